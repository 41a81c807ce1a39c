// menu_probe.dll: reads an open popup menu of another program, for tests.
//
// Menus are private to their process under Wine, so a test cannot read
// another program's menu by its handle. The test installs MenuProbeHook as
// a WH_GETMESSAGE hook on the thread that shows the menu, which loads this
// library into that program, and posts the registered message
// "HxMenuProbe" to the menu window ("#32768") with its own process id as
// wParam. The hook then writes the menu, one line per item, to
// menu_probe-<that id>.txt beside this library, so that runs of the tests
// at the same time never read each other's answers (UTF-8,
// LF line ends):
//   <depth> TAB <text> TAB <flags> TAB <left> <top> <right> <bottom>
// depth 0 for the menu's own items, 1 for those of its submenus; flags are
// letters: s separator, g grayed, c checked, p submenu (or "-" for none);
// the rectangle is the item's on screen (submenus that are not open give
// 0 0 0 0).
#include <windows.h>

#include <string>

namespace {

HMODULE g_self = nullptr;

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

void Describe(HWND menuWindow, HMENU menu, int depth, std::string& out) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = L"";
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 255;
    GetMenuItemInfoW(menu, i, TRUE, &info);
    std::string flags;
    if (info.fType & MFT_SEPARATOR) flags += 's';
    if (info.fState & MFS_GRAYED) flags += 'g';
    if (info.fState & MFS_CHECKED) flags += 'c';
    if (info.hSubMenu) flags += 'p';
    if (flags.empty()) flags = "-";
    RECT r{};
    if (depth == 0) GetMenuItemRect(menuWindow, menu, i, &r);
    out += std::to_string(depth) + "\t" + Utf8(text) + "\t" + flags + "\t" + std::to_string(r.left) + " " +
           std::to_string(r.top) + " " + std::to_string(r.right) + " " + std::to_string(r.bottom) + "\n";
    if (info.hSubMenu) Describe(menuWindow, info.hSubMenu, depth + 1, out);
  }
}

std::wstring OutputFile(WPARAM asker) {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(g_self, path, MAX_PATH);
  std::wstring file(path, n);
  return file.substr(0, file.find_last_of(L"\\/") + 1) + L"menu_probe-" + std::to_wstring(asker) + L".txt";
}

void Write(const std::string& text, WPARAM asker) {
  const std::wstring file = OutputFile(asker), temporary = file + L".tmp";
  HANDLE h = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(h);
  MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuProbeHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT probe = RegisterWindowMessageW(L"HxMenuProbe");
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && msg && msg->message == probe) {
    std::string out;
    if (HMENU menu = reinterpret_cast<HMENU>(SendMessageW(msg->hwnd, 0x01E1 /* MN_GETHMENU */, 0, 0)))
      Describe(msg->hwnd, menu, 0, out);
    Write(out, msg->wParam);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_self = instance;
  return TRUE;
}
