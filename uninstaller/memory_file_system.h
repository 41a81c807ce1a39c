// A file system in memory for tests: folders, files with text, files held
// open (they cannot be deleted) and links to folders elsewhere.
#pragma once
#include <map>

#include "uninstaller/file_system.h"

namespace hx::uninstall {

class MemoryFileSystem : public FileSystem {
 public:
  // Creates the file (and its folders) with the text.
  void AddFile(const std::string& path, const std::string& text = std::string());
  void AddFolder(const std::string& path);
  void AddLink(const std::string& path);  // a junction: listed as a linked folder
  void Lock(const std::string& path, bool locked = true);
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }  // every write fails
  size_t FileCount() const;

  bool FileExists(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  std::optional<std::string> ReadText(const std::string& path) override;
  bool WriteText(const std::string& path, const std::string& text) override;
  bool RemoveFile(const std::string& path) override;
  bool RemoveEmptyFolder(const std::string& path) override;
  bool CreateFolders(const std::string& path) override;
  std::vector<FolderEntry> List(const std::string& folder) override;

 private:
  struct Node {
    std::string name;  // as created
    bool folder = false;
    bool link = false;
    bool locked = false;
    std::string text;
  };
  static std::string Key(const std::string& path);
  static std::string ParentKey(const std::string& key);
  Node* Find(const std::string& path);

  std::map<std::string, Node> nodes_;
  bool readOnly_ = false;
};

}  // namespace hx::uninstall
