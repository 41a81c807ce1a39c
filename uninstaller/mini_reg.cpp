#include "uninstaller/mini_reg.h"

#include <exception>

namespace hx::uninstall {

std::optional<RegistryPath> SplitRegistryPath(std::string_view path) {
  const size_t pos = path.rfind('\\');
  if (pos == std::string_view::npos) return std::nullopt;
  return RegistryPath{std::string(path.substr(0, pos)), std::string(path.substr(pos + 1))};
}

bool MiniReg::PathKeyExists(RegistryRoot root, std::string_view path) {
  const auto p = SplitRegistryPath(path);
  return p && !p->key.empty() && registry_.KeyExists(root, p->key);
}

bool MiniReg::PathValueExists(RegistryRoot root, std::string_view path) {
  const auto p = SplitRegistryPath(path);
  return p && registry_.ValueExists(root, p->key, p->name);
}

bool MiniReg::PathDeleteValue(RegistryRoot root, std::string_view path) {
  const auto p = SplitRegistryPath(path);
  if (!p || !registry_.ValueExists(root, p->key, p->name)) return false;
  try {
    registry_.DeleteValue(root, p->key, p->name);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool MiniReg::PathDeleteKey(RegistryRoot root, std::string_view path) {
  const auto p = SplitRegistryPath(path);
  if (!p) return false;
  const std::string target = p->name.empty() ? p->key : p->key.empty() ? p->name : p->key + "\\" + p->name;
  if (target.find_first_not_of('\\') == std::string::npos) return false;  // never a root
  try {
    if (!registry_.KeyExists(root, target) || !registry_.SubKeyNames(root, target).empty()) return false;
    registry_.DeleteKey(root, target);
    return !registry_.KeyExists(root, target);
  } catch (const std::exception&) {
    return false;
  }
}

std::optional<std::string> MiniReg::PathReadString(RegistryRoot root, std::string_view path) {
  const auto p = SplitRegistryPath(path);
  if (!p) return std::nullopt;
  return registry_.ReadString(root, p->key, p->name);
}

std::optional<uint32_t> MiniReg::PathReadInteger(RegistryRoot root, std::string_view path) {
  const auto p = SplitRegistryPath(path);
  if (!p) return std::nullopt;
  return registry_.ReadDword(root, p->key, p->name);
}

bool MiniReg::PathWriteString(RegistryRoot root, std::string_view path, const std::string& text) {
  const auto p = SplitRegistryPath(path);
  if (!p) return false;
  try {
    registry_.WriteString(root, p->key, p->name, text);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool MiniReg::PathWriteInteger(RegistryRoot root, std::string_view path, uint32_t value) {
  const auto p = SplitRegistryPath(path);
  if (!p) return false;
  try {
    registry_.WriteDword(root, p->key, p->name, value);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace hx::uninstall
