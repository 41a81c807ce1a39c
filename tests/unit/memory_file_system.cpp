#include "tests/unit/memory_file_system.h"

#include "base/cp1251.h"
#include "uninstaller/text_util.h"

namespace hx::uninstall {
namespace {

std::vector<std::string> Names(const std::string& path) {
  std::vector<std::string> names;
  std::string name;
  for (char c : path + "\\") {
    if (c != '\\' && c != '/') {
      name += c;
    } else if (!name.empty()) {
      names.push_back(name);
      name.clear();
    }
  }
  return names;
}

}  // namespace

std::string MemoryFileSystem::Key(const std::string& path) const {
  // A drive letter, or the first name after "\\", roots the path; ".."
  // never climbs above it, as in Windows.
  if (path.empty()) return std::string();
  std::string full = path;
  if (!IsAbsolutePath(path)) {
    const bool fromRoot = path[0] == '\\' || path[0] == '/';
    const bool driveRelative = path.size() >= 2 && path[1] == ':';
    if (driveRelative) full = path.substr(0, 2) + "\\" + path.substr(2);
    else full = (fromRoot ? current_.substr(0, 2) : current_ + "\\") + path;
  }
  std::vector<std::string> resolved;
  for (const std::string& name : Names(LowerAscii(full))) {
    if (name == ".") continue;
    if (name == "..") {
      if (resolved.size() > 1) resolved.pop_back();
      continue;
    }
    resolved.push_back(name);
  }
  if (!resolved.empty()) {
    std::string& last = resolved.back();
    while (last.size() > 1 && (last.back() == '.' || last.back() == ' ')) last.pop_back();
  }
  std::string key;
  for (size_t i = 0; i < resolved.size(); ++i) {
    key += (i ? "\\" : "") + resolved[i];
    if (i + 1 == resolved.size()) break;
    auto it = nodes_.find(key);
    if (it != nodes_.end() && it->second.link && !it->second.target.empty()) key = it->second.target;
  }
  return key;
}

std::string MemoryFileSystem::ParentKey(const std::string& key) {
  const size_t pos = key.rfind('\\');
  return pos == std::string::npos ? std::string() : key.substr(0, pos);
}

bool MemoryFileSystem::Denied(const std::string& key) const {
  for (std::string k = key; !k.empty(); k = ParentKey(k))
    if (denied_.count(k)) return true;
  return false;
}

MemoryFileSystem::Node* MemoryFileSystem::Find(const std::string& path) {
  const std::string key = Key(path);
  if (Denied(key)) return nullptr;
  auto it = nodes_.find(key);
  return it == nodes_.end() ? nullptr : &it->second;
}

void MemoryFileSystem::AddFolder(const std::string& path) { CreateFolders(path); }

void MemoryFileSystem::AddFile(const std::string& path, const std::string& text) {
  CreateFolders(FolderOf(path));
  nodes_[Key(path)] = Node{NameOf(path), false, false, false, text, {}};
}

void MemoryFileSystem::AddLink(const std::string& path, const std::string& target) {
  CreateFolders(FolderOf(path));
  if (!target.empty()) CreateFolders(target);
  nodes_[Key(path)] = Node{NameOf(path), true, true, false, {}, target.empty() ? std::string() : Key(target)};
}

void MemoryFileSystem::Erase(const std::string& path) {
  const std::string key = Key(path);
  std::erase_if(nodes_, [&](const auto& entry) { return entry.first == key || entry.first.rfind(key + "\\", 0) == 0; });
}

void MemoryFileSystem::Lock(const std::string& path, bool locked) {
  if (Node* node = Find(path)) node->locked = locked;
}

void MemoryFileSystem::Deny(const std::string& path) { denied_.insert(Key(path)); }

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

PathKind MemoryFileSystem::Kind(const std::string& path) {
  if (Denied(Key(path))) return PathKind::Unknown;
  const Node* node = Find(path);
  if (!node) return PathKind::Missing;
  return node->link ? PathKind::Link : node->folder ? PathKind::Folder : PathKind::File;
}

std::optional<std::string> MemoryFileSystem::ReadText(const std::string& path) {
  const Node* node = Find(path);
  if (!node || node->folder || node->locked) return std::nullopt;
  return node->text;
}

bool MemoryFileSystem::WriteText(const std::string& path, const std::string& text) {
  if (readOnly_ || !FolderExists(FolderOf(path)) || Denied(Key(path))) return false;
  Node* node = Find(path);
  if (node && (node->folder || node->locked)) return false;
  nodes_[Key(path)] = Node{NameOf(path), false, false, false, text, {}};
  return true;
}

bool MemoryFileSystem::OemCanHold(const std::string& text) {
  const std::u32string lacking = Utf8ToCodePoints(oemLacks_);
  for (char32_t c : Utf8ToCodePoints(text))
    if (lacking.find(c) != std::u32string::npos) return false;
  return true;
}

std::optional<std::string> MemoryFileSystem::ReadOemText(const std::string& path) { return ReadText(path); }

bool MemoryFileSystem::WriteOemText(const std::string& path, const std::string& text) {
  return OemCanHold(text) && WriteText(path, text);
}

bool MemoryFileSystem::RemoveFile(const std::string& path) {
  const Node* node = Find(path);
  if (readOnly_ || !node || node->folder || node->locked) return false;
  const std::string key = Key(path);
  nodes_.erase(key);
  removed_.push_back(key);
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
  removed_.push_back(key);
  return true;
}

bool MemoryFileSystem::CreateFolders(const std::string& path) {
  const std::string key = Key(path);
  if (key.empty()) return true;
  if (Denied(key)) return false;
  if (Node* node = Find(path)) return node->folder;
  if (readOnly_) return false;
  const std::string parent = FolderOf(path);
  if (!parent.empty() && Key(parent) != key && !CreateFolders(parent)) return false;
  nodes_[key] = Node{NameOf(WithoutTrailingSeparators(path)), true, false, false, {}, {}};
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
