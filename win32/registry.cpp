#include "win32/registry.h"

#include <windows.h>

#include "base/errors.h"
#include "win32/text.h"

namespace hx::win {
namespace {

HKEY RootHandle(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegistryRoot::Users: return HKEY_USERS;
    case RegistryRoot::CurrentConfig: return HKEY_CURRENT_CONFIG;
  }
  return HKEY_CURRENT_USER;
}

std::wstring KeyPath(const std::string& path) {
  std::wstring wide = Widen(path);
  const size_t b = wide.find_first_not_of(L'\\');
  return b == std::wstring::npos ? std::wstring() : wide.substr(b);
}

// An open key, closed when it goes out of scope.
class Key {
 public:
  Key(RegistryRoot root, const std::string& path, REGSAM access) {
    if (RegOpenKeyExW(RootHandle(root), KeyPath(path).c_str(), 0, access, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  explicit operator bool() const { return key_ != nullptr; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

void Check(LONG status, const char* what, const std::string& name) {
  if (status != ERROR_SUCCESS) throw RegistryError(std::string(what) + " " + name + " failed with " + std::to_string(status));
}

void WriteValue(RegistryRoot root, const std::string& path, const std::string& name, DWORD type, const void* data,
                DWORD size) {
  HKEY key = nullptr;
  Check(RegCreateKeyExW(RootHandle(root), KeyPath(path).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
        "create key", path);
  const LONG status = RegSetValueExW(key, Widen(name).c_str(), 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
  Check(status, "write value", name);
}

void DeleteTree(HKEY parent, const std::wstring& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, &key) == ERROR_SUCCESS) {
    wchar_t child[256];
    for (;;) {
      DWORD size = 256;
      if (RegEnumKeyExW(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      DeleteTree(key, std::wstring(child, size));
    }
    RegCloseKey(key);
  }
  Check(RegDeleteKeyW(parent, name.c_str()), "delete key", Narrow(name));
}

}  // namespace

bool SystemRegistry::KeyExists(RegistryRoot root, const std::string& path) {
  return static_cast<bool>(Key(root, path, KEY_READ));
}

bool SystemRegistry::CreateKey(RegistryRoot root, const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(RootHandle(root), KeyPath(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

bool SystemRegistry::ValueExists(RegistryRoot root, const std::string& path, const std::string& name) {
  Key key(root, path, KEY_READ);
  return key && RegQueryValueExW(key.get(), Widen(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::optional<std::string> SystemRegistry::ReadString(RegistryRoot root, const std::string& path, const std::string& name) {
  Key key(root, path, KEY_READ);
  if (!key) return std::nullopt;
  const std::wstring wname = Widen(name);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.get(), wname.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key.get(), wname.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  value.resize(size / sizeof(wchar_t));
  while (!value.empty() && value.back() == L'\0') value.pop_back();
  return Narrow(value);
}

std::optional<uint32_t> SystemRegistry::ReadDword(RegistryRoot root, const std::string& path, const std::string& name) {
  Key key(root, path, KEY_READ);
  if (!key) return std::nullopt;
  DWORD type = 0, value = 0, size = sizeof value;
  if (RegQueryValueExW(key.get(), Widen(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD)
    return std::nullopt;
  return value;
}

std::optional<std::string> SystemRegistry::ReadBinary(RegistryRoot root, const std::string& path,
                                                      const std::string& name) {
  Key key(root, path, KEY_READ);
  if (!key) return std::nullopt;
  const std::wstring wideName = Widen(name);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_BINARY)
    return std::nullopt;
  std::string bytes(size, '\0');
  if (RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) !=
          ERROR_SUCCESS ||
      type != REG_BINARY)
    return std::nullopt;
  bytes.resize(size);
  return bytes;
}

void SystemRegistry::WriteString(RegistryRoot root, const std::string& path, const std::string& name,
                                 const std::string& value) {
  const std::wstring wide = Widen(value);
  WriteValue(root, path, name, REG_SZ, wide.c_str(), static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

void SystemRegistry::WriteDword(RegistryRoot root, const std::string& path, const std::string& name, uint32_t value) {
  const DWORD dword = value;
  WriteValue(root, path, name, REG_DWORD, &dword, sizeof dword);
}

void SystemRegistry::WriteBinary(RegistryRoot root, const std::string& path, const std::string& name,
                                 const std::string& bytes) {
  WriteValue(root, path, name, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

void SystemRegistry::DeleteValue(RegistryRoot root, const std::string& path, const std::string& name) {
  Key key(root, path, KEY_SET_VALUE);
  if (!key) throw RegistryError("cannot open key " + path);
  Check(RegDeleteValueW(key.get(), Widen(name).c_str()), "delete value", name);
}

void SystemRegistry::DeleteKey(RegistryRoot root, const std::string& path) {
  DeleteTree(RootHandle(root), KeyPath(path));
}

std::vector<std::string> SystemRegistry::SubKeyNames(RegistryRoot root, const std::string& path) {
  std::vector<std::string> names;
  Key key(root, path, KEY_READ);
  if (!key) return names;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = 256;
    if (RegEnumKeyExW(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.push_back(Narrow(std::wstring_view(name, size)));
  }
  return names;
}

std::vector<std::string> SystemRegistry::ValueNames(RegistryRoot root, const std::string& path) {
  std::vector<std::string> names;
  Key key(root, path, KEY_READ);
  if (!key) return names;
  wchar_t name[16384];
  for (DWORD i = 0;; ++i) {
    DWORD size = 16384;
    if (RegEnumValueW(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.push_back(Narrow(std::wstring_view(name, size)));
  }
  return names;
}

}  // namespace hx::win
