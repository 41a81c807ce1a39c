#include "ui/unwinder/win_file_system.h"

#include <windows.h>

#include "win32/text.h"

namespace hx::unwinder {
namespace {

DWORD Attributes(const std::string& path) { return GetFileAttributesW(win::Widen(path).c_str()); }

}  // namespace

std::optional<std::string> ReadFileInCodePage(const std::string& path, unsigned codePage) {
  HANDLE file = CreateFileW(win::Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[16384];
  DWORD read = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr)) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return win::FromCodePage(bytes, codePage);
}

bool WriteFileInCodePage(const std::string& path, const std::string& utf8, unsigned codePage) {
  HANDLE file = CreateFileW(win::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const std::string bytes = win::ToCodePage(utf8, codePage);
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  return CloseHandle(file) && ok;
}

bool WinFileSystem::FileExists(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool WinFileSystem::FolderExists(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> WinFileSystem::ReadText(const std::string& path) { return ReadFileInCodePage(path, CP_ACP); }

bool WinFileSystem::WriteText(const std::string& path, const std::string& text) {
  return WriteFileInCodePage(path, text, CP_ACP);
}

// A read-only file is what an installer copied from a CD leaves behind; it
// is still the program's file, so the flag is cleared and the delete retried.
bool WinFileSystem::RemoveFile(const std::string& path) {
  const std::wstring wide = win::Widen(path);
  if (DeleteFileW(wide.c_str())) return true;
  if (GetLastError() != ERROR_ACCESS_DENIED) return false;
  const DWORD a = GetFileAttributesW(wide.c_str());
  if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_DIRECTORY) || !(a & FILE_ATTRIBUTE_READONLY)) return false;
  SetFileAttributesW(wide.c_str(), a & ~FILE_ATTRIBUTE_READONLY);
  if (DeleteFileW(wide.c_str())) return true;
  SetFileAttributesW(wide.c_str(), a);
  return false;
}

bool WinFileSystem::RemoveEmptyFolder(const std::string& path) {
  return RemoveDirectoryW(win::Widen(path).c_str()) != 0;
}

bool WinFileSystem::CreateFolders(const std::string& path) {
  if (path.empty() || FolderExists(path)) return true;
  const size_t pos = path.find_last_of("\\/");
  if (pos != std::string::npos && pos > 0 && !CreateFolders(path.substr(0, pos))) return false;
  return CreateDirectoryW(win::Widen(path).c_str(), nullptr) || FolderExists(path);
}

std::vector<uninstall::FolderEntry> WinFileSystem::List(const std::string& folder) {
  std::vector<uninstall::FolderEntry> entries;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(win::Widen(folder + "\\*.*").c_str(), &data);
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
