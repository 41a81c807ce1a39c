// Registry access by one path string relative to a root: the part before the
// last "\" is the key, the part after it the value name (or, for key
// deletion, the subkey's name). A path that ends with "\" names the key
// itself; a path without any "\" names nothing and every operation fails.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/registry.h"

namespace hx::uninstall {

struct RegistryPath {
  std::string key;
  std::string name;
};
std::optional<RegistryPath> SplitRegistryPath(std::string_view path);

class MiniReg {
 public:
  explicit MiniReg(Registry& registry) : registry_(registry) {}

  bool PathKeyExists(RegistryRoot root, std::string_view path);
  bool PathValueExists(RegistryRoot root, std::string_view path);
  bool PathDeleteValue(RegistryRoot root, std::string_view path);
  // Deletes the named subkey of the key (the key itself for a path ending
  // in "\"), only when it has no subkeys of its own, as RegDeleteKey does.
  bool PathDeleteKey(RegistryRoot root, std::string_view path);
  std::optional<std::string> PathReadString(RegistryRoot root, std::string_view path);
  std::optional<uint32_t> PathReadInteger(RegistryRoot root, std::string_view path);
  bool PathWriteString(RegistryRoot root, std::string_view path, const std::string& text);
  bool PathWriteInteger(RegistryRoot root, std::string_view path, uint32_t value);

 private:
  Registry& registry_;
};

}  // namespace hx::uninstall
