// The uninstaller's file system port on the real disk. Text files are in the
// system's ANSI code page, batch files in its OEM code page. Every path goes
// to Windows in its full "\\?\" form, so paths longer than MAX_PATH work
// and no name is read twice in different ways.
#pragma once
#include <string>

#include "uninstaller/file_system.h"

namespace hx::unwinder {

class WinFileSystem : public uninstall::FileSystem {
 public:
  bool FileExists(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  uninstall::PathKind Kind(const std::string& path) override;
  std::optional<std::string> ReadText(const std::string& path) override;
  bool WriteText(const std::string& path, const std::string& text) override;
  bool OemCanHold(const std::string& text) override;
  std::optional<std::string> ReadOemText(const std::string& path) override;
  bool WriteOemText(const std::string& path, const std::string& text) override;
  bool RemoveFile(const std::string& path) override;
  bool RemoveEmptyFolder(const std::string& path) override;
  bool CreateFolders(const std::string& path) override;
  std::vector<uninstall::FolderEntry> List(const std::string& folder) override;
};

// The path as Windows reads it ("." and ".." resolved, relative paths made
// full), with the "\\?\" or "\\?\UNC\" prefix that lifts the MAX_PATH limit.
std::wstring LongPath(const std::string& path);

}  // namespace hx::unwinder
