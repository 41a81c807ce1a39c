// The system's own libraries, loaded from the system folder and nowhere
// else. Windows looks for a library named without a path in the program's
// folder first, and then in the working folder and the folders of PATH; a
// file there that bears a system library's name (mshtml.dll, mapi32.dll)
// would be loaded in its place and run inside the program.
#pragma once
#include <windows.h>

namespace hx::win {

// A function of a system library the process has loaded (kernel32.dll,
// user32.dll, shell32.dll) that older systems may lack; nullptr there.
// Newer functions are looked up this way, never imported: an import the
// system lacks would keep the program from loading at all.
template <typename Function>
Function SystemFunction(const wchar_t* module, const char* name) {
  HMODULE loaded = GetModuleHandleW(module);
  return loaded ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name))) : nullptr;
}

// Makes the system folder the only place where this process looks for a
// library named without a path, its own loads and the system's loads on
// its behalf alike. Call it first thing at start. Systems without the
// setting (Windows 7 without its loader update and older) keep their
// search order; the loads of LoadSystemLibrary are safe there anyway.
// Inline, so that the small helper programs need no library for it.
inline void RestrictDllSearchToSystemFolder() {
  using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
  const auto setDefault =
      SystemFunction<SetDefaultDllDirectoriesProc>(L"kernel32.dll", "SetDefaultDllDirectories");
  if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// Loads the system library `fileName` (such as L"mshtml.dll") from the
// system folder; nullptr when it is not there or does not load. Free it
// with FreeLibrary.
HMODULE LoadSystemLibrary(const wchar_t* fileName);

}  // namespace hx::win
