#include "ui/unwinder/win_file_system.h"

#include <windows.h>

#include "win32/text.h"

namespace hx::unwinder {
namespace {

using uninstall::PathKind;

DWORD Attributes(const std::string& path) { return GetFileAttributesW(LongPath(path).c_str()); }

std::optional<std::string> ReadBytes(const std::string& path) {
  HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[16384];
  DWORD read = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr)) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return bytes;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  return CloseHandle(file) && ok;
}

}  // namespace

std::wstring LongPath(const std::string& path) {
  std::wstring wide = win::Widen(path);
  for (wchar_t& c : wide)
    if (c == L'/') c = L'\\';
  // Already in the form Windows takes literally, or a device.
  if (wide.rfind(L"\\\\?\\", 0) == 0 || wide.rfind(L"\\\\.\\", 0) == 0) return wide;
  std::wstring full(MAX_PATH, L'\0');
  DWORD n = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (n >= full.size()) {
    full.resize(n);
    n = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  if (n == 0 || n >= full.size()) return wide;
  full.resize(n);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

bool WinFileSystem::FileExists(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool WinFileSystem::FolderExists(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Only an answer that the name is not there counts as missing; a denied
// folder, a path too long or a failing device leave it open.
PathKind WinFileSystem::Kind(const std::string& path) {
  const DWORD a = Attributes(path);
  if (a == INVALID_FILE_ATTRIBUTES) {
    switch (GetLastError()) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
      case ERROR_INVALID_NAME:
      case ERROR_BAD_PATHNAME:
      case ERROR_INVALID_DRIVE:
        return PathKind::Missing;
      default:
        return PathKind::Unknown;
    }
  }
  if (a & FILE_ATTRIBUTE_REPARSE_POINT) return PathKind::Link;
  return a & FILE_ATTRIBUTE_DIRECTORY ? PathKind::Folder : PathKind::File;
}

std::optional<std::string> WinFileSystem::ReadText(const std::string& path) {
  const auto bytes = ReadBytes(path);
  if (!bytes) return std::nullopt;
  return win::FromCodePage(*bytes, CP_ACP);
}

bool WinFileSystem::WriteText(const std::string& path, const std::string& text) {
  return WriteBytes(path, win::ToCodePage(text, CP_ACP));
}

bool WinFileSystem::OemCanHold(const std::string& text) { return win::ToCodePageExactly(text, CP_OEMCP).has_value(); }

std::optional<std::string> WinFileSystem::ReadOemText(const std::string& path) {
  const auto bytes = ReadBytes(path);
  if (!bytes) return std::nullopt;
  return win::FromCodePage(*bytes, CP_OEMCP);
}

bool WinFileSystem::WriteOemText(const std::string& path, const std::string& text) {
  const auto bytes = win::ToCodePageExactly(text, CP_OEMCP);
  return bytes && WriteBytes(path, *bytes);
}

// A read-only file is what an installer copied from a CD leaves behind; it
// is still the program's file, so the flag is cleared and the delete retried.
bool WinFileSystem::RemoveFile(const std::string& path) {
  const std::wstring wide = LongPath(path);
  if (DeleteFileW(wide.c_str())) return true;
  if (GetLastError() != ERROR_ACCESS_DENIED) return false;
  const DWORD a = GetFileAttributesW(wide.c_str());
  if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_DIRECTORY) || !(a & FILE_ATTRIBUTE_READONLY)) return false;
  SetFileAttributesW(wide.c_str(), a & ~FILE_ATTRIBUTE_READONLY);
  if (DeleteFileW(wide.c_str())) return true;
  SetFileAttributesW(wide.c_str(), a);
  return false;
}

bool WinFileSystem::RemoveEmptyFolder(const std::string& path) { return RemoveDirectoryW(LongPath(path).c_str()) != 0; }

bool WinFileSystem::CreateFolders(const std::string& path) {
  if (path.empty() || FolderExists(path)) return true;
  const size_t pos = path.find_last_of("\\/");
  if (pos != std::string::npos && pos > 0 && !CreateFolders(path.substr(0, pos))) return false;
  return CreateDirectoryW(LongPath(path).c_str(), nullptr) || FolderExists(path);
}

std::vector<uninstall::FolderEntry> WinFileSystem::List(const std::string& folder) {
  std::vector<uninstall::FolderEntry> entries;
  WIN32_FIND_DATAW data;
  std::wstring pattern = LongPath(folder);
  if (pattern.empty() || pattern.back() != L'\\') pattern += L'\\';
  HANDLE find = FindFirstFileW((pattern + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return entries;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    entries.push_back({win::Narrow(name), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                       (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return entries;
}

}  // namespace hx::unwinder
