#include "uninstaller/memory_file_system.h"

#include "uninstaller/text_util.h"

namespace hx::uninstall {

std::string MemoryFileSystem::Key(const std::string& path) {
  std::string key;
  for (char c : path) {
    if (c == '/') c = '\\';
    if (c == '\\' && !key.empty() && key.back() == '\\') continue;
    key += c;
  }
  while (key.size() > 1 && key.back() == '\\') key.pop_back();
  return LowerAscii(key);
}

std::string MemoryFileSystem::ParentKey(const std::string& key) {
  const size_t pos = key.rfind('\\');
  return pos == std::string::npos ? std::string() : key.substr(0, pos);
}

MemoryFileSystem::Node* MemoryFileSystem::Find(const std::string& path) {
  auto it = nodes_.find(Key(path));
  return it == nodes_.end() ? nullptr : &it->second;
}

void MemoryFileSystem::AddFolder(const std::string& path) { CreateFolders(path); }

void MemoryFileSystem::AddFile(const std::string& path, const std::string& text) {
  CreateFolders(FolderOf(path));
  Node& node = nodes_[Key(path)];
  node = Node{NameOf(path), false, false, false, text};
}

void MemoryFileSystem::AddLink(const std::string& path) {
  CreateFolders(FolderOf(path));
  nodes_[Key(path)] = Node{NameOf(path), true, true, false, {}};
}

void MemoryFileSystem::Lock(const std::string& path, bool locked) {
  if (Node* node = Find(path)) node->locked = locked;
}

size_t MemoryFileSystem::FileCount() const {
  size_t n = 0;
  for (const auto& [key, node] : nodes_) n += node.folder ? 0 : 1;
  return n;
}

bool MemoryFileSystem::FileExists(const std::string& path) {
  const Node* node = Find(path);
  return node && !node->folder;
}

bool MemoryFileSystem::FolderExists(const std::string& path) {
  const Node* node = Find(path);
  return node && node->folder;
}

std::optional<std::string> MemoryFileSystem::ReadText(const std::string& path) {
  const Node* node = Find(path);
  if (!node || node->folder || node->locked) return std::nullopt;
  return node->text;
}

bool MemoryFileSystem::WriteText(const std::string& path, const std::string& text) {
  if (readOnly_ || !FolderExists(FolderOf(path))) return false;
  Node* node = Find(path);
  if (node && (node->folder || node->locked)) return false;
  nodes_[Key(path)] = Node{NameOf(path), false, false, false, text};
  return true;
}

bool MemoryFileSystem::RemoveFile(const std::string& path) {
  const Node* node = Find(path);
  if (readOnly_ || !node || node->folder || node->locked) return false;
  nodes_.erase(Key(path));
  return true;
}

bool MemoryFileSystem::RemoveEmptyFolder(const std::string& path) {
  const Node* node = Find(path);
  if (readOnly_ || !node || !node->folder) return false;
  const std::string key = Key(path);
  if (!node->link)
    for (const auto& [other, n] : nodes_)
      if (ParentKey(other) == key) return false;
  nodes_.erase(key);
  return true;
}

bool MemoryFileSystem::CreateFolders(const std::string& path) {
  const std::string key = Key(path);
  if (key.empty()) return true;
  if (Node* node = Find(path)) return node->folder;
  if (readOnly_) return false;
  const std::string parent = FolderOf(path);
  if (!parent.empty() && Key(parent) != key && !CreateFolders(parent)) return false;
  nodes_[key] = Node{NameOf(WithoutTrailingSeparators(path)), true, false, false, {}};
  return true;
}

std::vector<FolderEntry> MemoryFileSystem::List(const std::string& folder) {
  std::vector<FolderEntry> entries;
  const std::string key = Key(folder);
  const Node* node = Find(folder);
  if (!node || !node->folder || node->link) return entries;
  for (const auto& [other, n] : nodes_)
    if (ParentKey(other) == key) entries.push_back({n.name, n.folder, n.link});
  return entries;
}

}  // namespace hx::uninstall
