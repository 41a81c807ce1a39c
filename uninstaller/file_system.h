// The file system as the uninstaller sees it: Windows paths in UTF-8, "\" or
// "/" between names, names compared without regard to case. Text files are
// in the system's ANSI code page on disk and UTF-8 here; batch files are in
// its OEM code page, the one the command interpreter reads them in. The
// Win32 layer implements it on the real disk; tests use a fake in memory.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace hx::uninstall {

struct FolderEntry {
  std::string name;
  bool folder = false;
  // A junction, symbolic link or other reparse point: its content belongs
  // somewhere else, so walks never enter it.
  bool link = false;
};

// What a path names, told without following a link at its end.
enum class PathKind {
  Missing,  // nothing of that name, or no such folder on the way
  File,
  Folder,
  Link,     // a junction, symbolic link or other reparse point
  Unknown,  // cannot tell: its attributes cannot be read (access denied, path too long, ...)
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual bool FileExists(const std::string& path) = 0;    // a file, not a folder
  virtual bool FolderExists(const std::string& path) = 0;  // a folder, not a file
  virtual PathKind Kind(const std::string& path) = 0;
  // The whole text; nothing when the file is missing or cannot be read.
  virtual std::optional<std::string> ReadText(const std::string& path) = 0;
  // Creates or replaces the file; false when that fails.
  virtual bool WriteText(const std::string& path, const std::string& text) = 0;
  // Whether the OEM code page holds every character of the text as itself:
  // no look-alike stand-in and no "?" for a character it lacks.
  virtual bool OemCanHold(const std::string& text) = 0;
  // A batch file's text; writing fails, leaving nothing, when the text holds
  // a character the OEM code page lacks.
  virtual std::optional<std::string> ReadOemText(const std::string& path) = 0;
  virtual bool WriteOemText(const std::string& path, const std::string& text) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  // Removes an empty folder; false when it holds anything or is refused.
  virtual bool RemoveEmptyFolder(const std::string& path) = 0;
  // Creates the folder and any missing parents.
  virtual bool CreateFolders(const std::string& path) = 0;
  // The folder's entries (without "." and "..") in the order the file system
  // gives them; empty when the folder cannot be read.
  virtual std::vector<FolderEntry> List(const std::string& folder) = 0;
};

}  // namespace hx::uninstall
