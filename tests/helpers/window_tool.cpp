// window_tool: what a script needs of another program's windows under Wine,
// where X tools see neither window classes nor window messages. Works on the
// windows of 32-bit programs too when run in the same (WoW64) prefix.
//
//   window_tool rect CLASS          prints "LEFT TOP WIDTH HEIGHT" of the first
//                                   visible top-level window of that class
//   window_tool post CLASS MESSAGE  posts MESSAGE (wParam 0, lParam 0) to every
//                                   top-level window of that class
//   window_tool title CLASS         prints the title of the first visible one
//
// Exit status 0 when a window of the class was found, 1 when none was, 2 on
// a wrong command line.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// The first visible top-level window of `windowClass`, or nullptr.
HWND VisibleWindow(const wchar_t* windowClass) {
  for (HWND w = FindWindowExW(nullptr, nullptr, windowClass, nullptr); w;
       w = FindWindowExW(nullptr, w, windowClass, nullptr))
    if (IsWindowVisible(w)) return w;
  return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const std::wstring command = argv[1];
  const wchar_t* windowClass = argv[2];
  if (command == L"rect" && argc == 3) {
    HWND w = VisibleWindow(windowClass);
    RECT r{};
    if (!w || !GetWindowRect(w, &r)) return 1;
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
  }
  if (command == L"title" && argc == 3) {
    HWND w = VisibleWindow(windowClass);
    if (!w) return 1;
    wchar_t title[512] = {};
    GetWindowTextW(w, title, 512);
    char utf8[2048] = {};
    WideCharToMultiByte(CP_UTF8, 0, title, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("%s\n", utf8);
    return 0;
  }
  if (command == L"post" && argc == 4) {
    const UINT message = static_cast<UINT>(std::wcstoul(argv[3], nullptr, 10));
    bool found = false;
    for (HWND w = FindWindowExW(nullptr, nullptr, windowClass, nullptr); w;
         w = FindWindowExW(nullptr, w, windowClass, nullptr))
      found = PostMessageW(w, message, 0, 0) != FALSE || found;
    return found ? 0 : 1;
  }
  return 2;
}
