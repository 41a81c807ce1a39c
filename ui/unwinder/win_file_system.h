// The uninstaller's file system port on the real disk. Text files are in the
// system's ANSI code page.
#pragma once
#include "uninstaller/file_system.h"

namespace hx::unwinder {

class WinFileSystem : public uninstall::FileSystem {
 public:
  bool FileExists(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  std::optional<std::string> ReadText(const std::string& path) override;
  bool WriteText(const std::string& path, const std::string& text) override;
  bool RemoveFile(const std::string& path) override;
  bool RemoveEmptyFolder(const std::string& path) override;
  bool CreateFolders(const std::string& path) override;
  std::vector<uninstall::FolderEntry> List(const std::string& folder) override;
};

// Reads or writes a whole file in the code page; reading gives nothing when
// the file is missing or locked.
std::optional<std::string> ReadFileInCodePage(const std::string& path, unsigned codePage);
bool WriteFileInCodePage(const std::string& path, const std::string& utf8, unsigned codePage);

}  // namespace hx::unwinder
