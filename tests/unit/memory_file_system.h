// A file system in memory for the uninstaller's tests: folders, files with
// text, files held open (they cannot be deleted), files that cannot even be
// examined, and links to folders elsewhere. Paths are read as Windows reads
// them: "\" and "/" alike, case ignored, a relative path taken from the
// current folder, "." and ".." resolved by name before anything is looked
// up, trailing dots and blanks of the last name dropped, and a link on the
// way followed to its target. Every removal is recorded with the place it
// really hit.
#pragma once
#include <map>
#include <set>

#include "uninstaller/file_system.h"

namespace hx::uninstall {

class MemoryFileSystem : public FileSystem {
 public:
  // Creates the file (and its folders) with the text.
  void AddFile(const std::string& path, const std::string& text = std::string());
  void AddFolder(const std::string& path);
  // A junction to `target`, or to nowhere in particular when it is empty;
  // listed as a linked folder.
  void AddLink(const std::string& path, const std::string& target = std::string());
  // Takes the file or folder and everything below it away, unrecorded.
  void Erase(const std::string& path);
  void Lock(const std::string& path, bool locked = true);
  // Neither the path nor anything below it can be examined or removed, as
  // behind a denied folder or past the length a plain path may have.
  void Deny(const std::string& path);
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }  // every write fails
  // The folder a relative path is read from ("C:\" at first); a path
  // that begins with one "\" is read from its drive.
  void SetCurrentFolder(const std::string& folder) { current_ = folder; }
  // Characters (UTF-8) the OEM code page lacks.
  void SetOemLacks(const std::string& characters) { oemLacks_ = characters; }
  size_t FileCount() const;
  // Every file and folder removed, as the full path it resolved to (lower case).
  const std::vector<std::string>& Removed() const { return removed_; }

  bool FileExists(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  PathKind Kind(const std::string& path) override;
  std::optional<std::string> ReadText(const std::string& path) override;
  bool WriteText(const std::string& path, const std::string& text) override;
  bool OemCanHold(const std::string& text) override;
  std::optional<std::string> ReadOemText(const std::string& path) override;
  bool WriteOemText(const std::string& path, const std::string& text) override;
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
    std::string target;  // a link's folder, as a key
  };
  // The key of the place a path names: names resolved, links on the way
  // (but not the last name) followed.
  std::string Key(const std::string& path) const;
  static std::string ParentKey(const std::string& key);
  bool Denied(const std::string& key) const;
  Node* Find(const std::string& path);

  std::map<std::string, Node> nodes_;
  std::set<std::string> denied_;
  std::vector<std::string> removed_;
  std::string oemLacks_;
  std::string current_ = "C:\\";
  bool readOnly_ = false;
};

}  // namespace hx::uninstall
