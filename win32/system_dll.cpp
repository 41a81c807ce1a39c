#include "win32/system_dll.h"

#include <string>

namespace hx::win {

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
  // A system that knows the search flags of LoadLibraryEx also has
  // AddDllDirectory (Windows 8, and 7 and Vista with the loader update);
  // older ones refuse the flags as an invalid parameter.
  if (GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory"))
    return LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Windows 2000 and XP: the full path names the one file meant, and the
  // libraries it needs are looked for beside it before anywhere else.
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::wstring path(folder, length);
  if (path.back() != L'\\') path += L'\\';
  path += fileName;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace hx::win
