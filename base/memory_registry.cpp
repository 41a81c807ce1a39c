#include "base/memory_registry.h"

#include "base/errors.h"

namespace hx {

void MemoryRegistry::SetReadOnly(RegistryRoot root, bool readOnly) {
  if (readOnly) readOnly_.insert(root);
  else readOnly_.erase(root);
}

std::string MemoryRegistry::Trim(const std::string& path) {
  size_t b = path.find_first_not_of('\\');
  if (b == std::string::npos) return {};
  size_t e = path.find_last_not_of('\\');
  return path.substr(b, e - b + 1);
}

std::string MemoryRegistry::Fold(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

MemoryRegistry::Key* MemoryRegistry::Find(RegistryRoot root, const std::string& path) {
  const std::string trimmed = Trim(path);
  if (trimmed.empty()) {  // the root itself always exists
    auto& key = keys_[{root, ""}];
    return &key;
  }
  auto it = keys_.find({root, Fold(trimmed)});
  return it == keys_.end() ? nullptr : &it->second;
}

void MemoryRegistry::CheckWritable(RegistryRoot root) const {
  if (readOnly_.count(root)) throw RegistryError("access denied");
}

bool MemoryRegistry::KeyExists(RegistryRoot root, const std::string& path) { return Find(root, path) != nullptr; }

bool MemoryRegistry::CreateKey(RegistryRoot root, const std::string& path) {
  if (Find(root, path)) return true;
  if (readOnly_.count(root)) return false;
  // Create every missing parent on the way down.
  const std::string trimmed = Trim(path);
  size_t pos = 0;
  while (true) {
    pos = trimmed.find('\\', pos);
    const std::string part = trimmed.substr(0, pos);
    auto& key = keys_[{root, Fold(part)}];
    if (key.path.empty()) key.path = part;
    if (pos == std::string::npos) break;
    ++pos;
  }
  return true;
}

bool MemoryRegistry::ValueExists(RegistryRoot root, const std::string& path, const std::string& name) {
  const Key* key = Find(root, path);
  return key && key->values.count(Fold(name));
}

std::optional<std::string> MemoryRegistry::ReadString(RegistryRoot root, const std::string& path, const std::string& name) {
  const Key* key = Find(root, path);
  if (!key) return std::nullopt;
  auto it = key->values.find(Fold(name));
  if (it == key->values.end() || !std::holds_alternative<std::string>(it->second.second)) return std::nullopt;
  return std::get<std::string>(it->second.second);
}

std::optional<uint32_t> MemoryRegistry::ReadDword(RegistryRoot root, const std::string& path, const std::string& name) {
  const Key* key = Find(root, path);
  if (!key) return std::nullopt;
  auto it = key->values.find(Fold(name));
  if (it == key->values.end() || !std::holds_alternative<uint32_t>(it->second.second)) return std::nullopt;
  return std::get<uint32_t>(it->second.second);
}

std::optional<std::string> MemoryRegistry::ReadBinary(RegistryRoot root, const std::string& path, const std::string& name) {
  const Key* key = Find(root, path);
  if (!key) return std::nullopt;
  auto it = key->values.find(Fold(name));
  if (it == key->values.end() || !std::holds_alternative<Bytes>(it->second.second)) return std::nullopt;
  return std::get<Bytes>(it->second.second).data;
}

void MemoryRegistry::WriteString(RegistryRoot root, const std::string& path, const std::string& name, const std::string& value) {
  CheckWritable(root);
  CreateKey(root, path);
  Find(root, path)->values[Fold(name)] = {name, value};
}

void MemoryRegistry::WriteDword(RegistryRoot root, const std::string& path, const std::string& name, uint32_t value) {
  CheckWritable(root);
  CreateKey(root, path);
  Find(root, path)->values[Fold(name)] = {name, value};
}

void MemoryRegistry::WriteBinary(RegistryRoot root, const std::string& path, const std::string& name,
                                 const std::string& bytes) {
  CheckWritable(root);
  CreateKey(root, path);
  Find(root, path)->values[Fold(name)] = {name, Bytes{bytes}};
}

void MemoryRegistry::DeleteValue(RegistryRoot root, const std::string& path, const std::string& name) {
  CheckWritable(root);
  Key* key = Find(root, path);
  if (!key || !key->values.erase(Fold(name))) throw RegistryError("value not found: " + name);
}

void MemoryRegistry::DeleteKey(RegistryRoot root, const std::string& path) {
  CheckWritable(root);
  const std::string folded = Fold(Trim(path));
  if (!keys_.count({root, folded})) throw RegistryError("key not found: " + path);
  for (auto it = keys_.begin(); it != keys_.end();) {
    const auto& [r, p] = it->first;
    const bool below = r == root && (p == folded || p.rfind(folded + "\\", 0) == 0);
    it = below ? keys_.erase(it) : std::next(it);
  }
}

std::vector<std::string> MemoryRegistry::SubKeyNames(RegistryRoot root, const std::string& path) {
  const std::string folded = Fold(Trim(path));
  const std::string prefix = folded.empty() ? "" : folded + "\\";
  std::vector<std::string> names;
  for (const auto& [id, key] : keys_) {
    if (id.first != root || id.second.empty() || id.second.rfind(prefix, 0) != 0) continue;
    const std::string rest = id.second.substr(prefix.size());
    if (!rest.empty() && rest.find('\\') == std::string::npos) names.push_back(key.path.substr(prefix.size()));
  }
  return names;
}

std::vector<std::string> MemoryRegistry::ValueNames(RegistryRoot root, const std::string& path) {
  std::vector<std::string> names;
  if (const Key* key = Find(root, path))
    for (const auto& [folded, entry] : key->values) names.push_back(entry.first);
  return names;
}

}  // namespace hx
