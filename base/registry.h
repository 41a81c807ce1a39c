// The registry as the portable code sees it: keys by root and path, string
// and DWORD values. The Win32 layer implements it on the real registry;
// tests use MemoryRegistry.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hx {

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

class Registry {
 public:
  virtual ~Registry() = default;

  // Paths use "\" between key names; a leading "\" is ignored.
  virtual bool KeyExists(RegistryRoot root, const std::string& path) = 0;
  // Opens the key, creating it and its parents when missing. False when the
  // system refuses (for example no write access to the root).
  virtual bool CreateKey(RegistryRoot root, const std::string& path) = 0;

  virtual bool ValueExists(RegistryRoot root, const std::string& path, const std::string& name) = 0;
  virtual std::optional<std::string> ReadString(RegistryRoot root, const std::string& path, const std::string& name) = 0;
  virtual std::optional<uint32_t> ReadDword(RegistryRoot root, const std::string& path, const std::string& name) = 0;
  // A REG_BINARY value's bytes.
  virtual std::optional<std::string> ReadBinary(RegistryRoot root, const std::string& path, const std::string& name) = 0;

  // The writes and deletes throw RegistryError when the system refuses.
  virtual void WriteString(RegistryRoot root, const std::string& path, const std::string& name, const std::string& value) = 0;
  virtual void WriteDword(RegistryRoot root, const std::string& path, const std::string& name, uint32_t value) = 0;
  virtual void WriteBinary(RegistryRoot root, const std::string& path, const std::string& name, const std::string& bytes) = 0;
  virtual void DeleteValue(RegistryRoot root, const std::string& path, const std::string& name) = 0;
  // Deletes the key with everything below it.
  virtual void DeleteKey(RegistryRoot root, const std::string& path) = 0;

  virtual std::vector<std::string> SubKeyNames(RegistryRoot root, const std::string& path) = 0;
  virtual std::vector<std::string> ValueNames(RegistryRoot root, const std::string& path) = 0;
};

}  // namespace hx
