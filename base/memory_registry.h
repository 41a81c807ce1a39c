// An in-memory registry for tests. Names compare without regard to ASCII
// case, as in the real registry. A root can be made read-only to play a
// user without access to it.
#pragma once
#include <map>
#include <set>
#include <variant>

#include "base/registry.h"

namespace hx {

class MemoryRegistry : public Registry {
 public:
  void SetReadOnly(RegistryRoot root, bool readOnly);

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

 private:
  // Binary bytes are kept apart from strings so that each reads back only
  // as its own type.
  struct Bytes {
    std::string data;
  };
  using Value = std::variant<std::string, uint32_t, Bytes>;
  struct Key {
    std::string path;  // as first created
    std::map<std::string, std::pair<std::string, Value>> values;  // folded name -> (name, value)
  };
  using KeyId = std::pair<RegistryRoot, std::string>;  // root and folded path

  static std::string Trim(const std::string& path);  // without leading or trailing ""
  static std::string Fold(const std::string& text);
  Key* Find(RegistryRoot root, const std::string& path);
  void CheckWritable(RegistryRoot root) const;

  std::map<KeyId, Key> keys_;
  std::set<RegistryRoot> readOnly_;
};

}  // namespace hx
