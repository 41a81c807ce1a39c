// The Registry port on the real Windows registry.
#pragma once
#include "base/registry.h"

namespace hx::win {

class SystemRegistry : public Registry {
 public:
  bool KeyExists(RegistryRoot root, const std::string& path) override;
  bool CreateKey(RegistryRoot root, const std::string& path) override;
  bool ValueExists(RegistryRoot root, const std::string& path, const std::string& name) override;
  std::optional<std::string> ReadString(RegistryRoot root, const std::string& path, const std::string& name) override;
  std::optional<uint32_t> ReadDword(RegistryRoot root, const std::string& path, const std::string& name) override;
  std::optional<std::string> ReadBinary(RegistryRoot root, const std::string& path, const std::string& name) override;
  void WriteString(RegistryRoot root, const std::string& path, const std::string& name, const std::string& value) override;
  void WriteDword(RegistryRoot root, const std::string& path, const std::string& name, uint32_t value) override;
  void WriteBinary(RegistryRoot root, const std::string& path, const std::string& name, const std::string& bytes) override;
  void DeleteValue(RegistryRoot root, const std::string& path, const std::string& name) override;
  void DeleteKey(RegistryRoot root, const std::string& path) override;
  std::vector<std::string> SubKeyNames(RegistryRoot root, const std::string& path) override;
  std::vector<std::string> ValueNames(RegistryRoot root, const std::string& path) override;
};

}  // namespace hx::win
