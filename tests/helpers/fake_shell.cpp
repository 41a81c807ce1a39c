// fake_shell: the shell windows a desktop clock looks for, for tests under
// Wine, which has none of them.
//
// Server:  fake_shell.exe [--log FILE] [--bar L T R B]... [--no-button] [--no-clock]
//   Builds a visible top-level "Shell_TrayWnd" > "TrayNotifyWnd" >
//   "TrayClockWClass" and "Button", and one visible top-level "BaseBar"
//   (empty title) per --bar, numbered from 0; bar 0 is highest in z-order.
//   Appends one line per event to FILE (LF line ends):
//     ready                               all windows exist
//     clock hidden | clock shown          ShowWindow on the tray clock
//     button WM_LBUTTONDOWN <wp> <lp>     (and WM_LBUTTONUP) sent to the button
//     bar <i> moved L T R B | bar <i> closed | bar <i> added L T R B
//     state clock visible | state clock hidden | state clock missing
//                                         answer to "report"
//     restarted | quit
//     icon add <id> [message <m>] | icon modify <id> [message <m>]
//     icon delete <id> | icon version <id> <v>
//                                         Shell_NotifyIcon calls that reach
//                                         the taskbar (Wine's form of them);
//                                         <m> is the callback message of a
//                                         registration with NIF_MESSAGE
//     tray <id> <click>                   a click sent to an icon's owner
// Commands reach the server's message-only control window as WM_COPYDATA
//   (fake_shell_client.h), each done when the call returns:
//     move I L T R B   move bar I to that rectangle
//     close I          destroy bar I
//     add L T R B      a new bar, highest in z-order
//     report           log the clock's state
//     restart          rebuild the taskbar windows (clock shown again) and
//                      broadcast "TaskbarCreated"
//     tray ID CLICK [answered]
//                      tell the owner of icon ID of a click, as the shell
//                      does: the callback message of the icon's registration
//                      goes to the window it names, posted; with "answered"
//                      sent, and done only when the window handled it within
//                      20 s. CLICK is one of lbuttonup, lbuttondblclk,
//                      rbuttondown, rbuttonup, contextmenu, select,
//                      keyselect. Icons of version 0 to 3 get wParam = ID,
//                      lParam = the click; version 4 and later get
//                      wParam = the anchor point (the mouse position) and
//                      lParam = MAKELPARAM(click, ID). Refused when no icon
//                      or more than one has that id, or its registration
//                      carries no callback message.
//     quit             end the server
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/helpers/fake_shell_client.h"

namespace {

using hx::fake_shell::kCommandTag;
using hx::fake_shell::kControlClass;

HINSTANCE g_instance = nullptr;
std::wstring g_logPath;
bool g_withButton = true;
bool g_withClock = true;
HWND g_taskbar = nullptr;
HWND g_clock = nullptr;
WNDPROC g_buttonProc = nullptr;
std::vector<HWND> g_bars;
bool g_ready = false;  // events are logged once the windows are built
// A notification-area icon as its registrations left it.
struct Icon {
  UINT callbackMessage = 0;  // 0: no registration named one
  UINT version = 0;          // NIM_SETVERSION; 0 for the first behaviour
};
// The icons the taskbar holds, by window and id.
std::map<std::pair<LONG, UINT>, Icon> g_icons;

void Log(const std::string& line) {
  if (g_logPath.empty() || !g_ready) return;
  HANDLE file = CreateFileW(g_logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string text = line + "\n";
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

std::string RectText(const RECT& r) {
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
         std::to_string(r.bottom);
}

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK ClockProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SHOWWINDOW && lParam == 0) Log(wParam ? "clock shown" : "clock hidden");
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT r;
    GetClientRect(window, &r);
    DrawTextW(dc, L"12:00", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(window, &ps);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The start of what Wine's Shell_NotifyIcon hands the taskbar: its own
// platform-independent form of NOTIFYICONDATA, with the window as 32 bits.
struct NotifyData {
  LONG window;
  UINT id;
  UINT flags;
  UINT callbackMessage;  // set only with NIF_MESSAGE
  WCHAR tip[128];
  DWORD state;
  DWORD stateMask;
  WCHAR info[256];
  UINT version;  // set only by NIM_SETVERSION
};

std::string IconLine(const char* what, const NotifyData& data) {
  std::string line = std::string("icon ") + what + " " + std::to_string(data.id);
  if (data.flags & NIF_MESSAGE) line += " message " + std::to_string(data.callbackMessage);
  return line;
}

// A WM_COPYDATA whose dwData is the NIM_ command. The taskbar takes a new
// icon, changes or removes a known one, and forgets them all when it is
// rebuilt, as a real one does. A change without NIF_MESSAGE keeps the
// callback message the icon had.
LRESULT CALLBACK TaskbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProcW(window, message, wParam, lParam);
  const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (!copy || !copy->lpData || copy->cbData < sizeof(NotifyData)) return FALSE;
  NotifyData data;
  std::memcpy(&data, copy->lpData, sizeof data);
  const std::pair<LONG, UINT> key{data.window, data.id};
  const auto known = g_icons.find(key);
  switch (copy->dwData) {
    case NIM_ADD:
      Log(IconLine("add", data));
      if (known != g_icons.end()) return FALSE;
      g_icons[key].callbackMessage = (data.flags & NIF_MESSAGE) ? data.callbackMessage : 0;
      return TRUE;
    case NIM_MODIFY:
      Log(IconLine("modify", data));
      if (known == g_icons.end()) return FALSE;
      if (data.flags & NIF_MESSAGE) known->second.callbackMessage = data.callbackMessage;
      return TRUE;
    case NIM_DELETE:
      Log("icon delete " + std::to_string(data.id));
      return g_icons.erase(key) != 0;
    case NIM_SETVERSION:
      Log("icon version " + std::to_string(data.id) + " " + std::to_string(data.version));
      if (known == g_icons.end()) return FALSE;
      known->second.version = data.version;
      return TRUE;
  }
  return known != g_icons.end();
}

// The mouse and key events a click on an icon tells its owner about.
const std::map<std::string, UINT> kClicks = {
    {"lbuttonup", WM_LBUTTONUP},     {"lbuttondblclk", WM_LBUTTONDBLCLK}, {"rbuttondown", WM_RBUTTONDOWN},
    {"rbuttonup", WM_RBUTTONUP},     {"contextmenu", WM_CONTEXTMENU},     {"select", NIN_SELECT},
    {"keyselect", NIN_KEYSELECT}};

// From this version on (NOTIFYICON_VERSION_4, which the headers offer only
// to programs for Vista) an icon's owner learns where it was clicked.
constexpr UINT kVersionWithAnchor = 4;

// The "tray" command: the shell's message about a click to the icon's owner.
bool TellOwner(UINT id, const std::string& click, bool answered) {
  const auto event = kClicks.find(click);
  if (event == kClicks.end()) return false;
  const std::pair<const std::pair<LONG, UINT>, Icon>* icon = nullptr;
  for (const auto& entry : g_icons) {
    if (entry.first.second != id) continue;
    if (icon) return false;  // which one was clicked?
    icon = &entry;
  }
  if (!icon || !icon->second.callbackMessage) return false;
  HWND owner = reinterpret_cast<HWND>(static_cast<LONG_PTR>(icon->first.first));
  WPARAM wParam = id;
  LPARAM lParam = event->second;
  if (icon->second.version >= kVersionWithAnchor) {
    POINT anchor{};
    GetCursorPos(&anchor);
    wParam = MAKEWPARAM(anchor.x, anchor.y);
    lParam = MAKELPARAM(event->second, id);
  }
  Log("tray " + std::to_string(id) + " " + click);
  if (!answered) return PostMessageW(owner, icon->second.callbackMessage, wParam, lParam) != FALSE;
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(owner, icon->second.callbackMessage, wParam, lParam, SMTO_NORMAL, 20000, &result) != 0;
}

// The real button would capture the mouse; only the messages matter here.
LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) {
    Log(std::string("button ") + (message == WM_LBUTTONDOWN ? "WM_LBUTTONDOWN " : "WM_LBUTTONUP ") +
        std::to_string(wParam) + " " + std::to_string(lParam));
    return 0;
  }
  return CallWindowProcW(g_buttonProc, window, message, wParam, lParam);
}

void RegisterWindowClass(const wchar_t* name, WNDPROC proc) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = proc;
  wc.hInstance = g_instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  RegisterClassW(&wc);
}

void BuildTaskbar() {
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  // A small strip in the bottom right corner, out of the way of screenshots.
  // Always on top as a real taskbar is, which also keeps it ahead of Wine's
  // own hidden "Shell_TrayWnd" in z-order: Shell_NotifyIcon hands icons to
  // the first window of that class.
  g_taskbar = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"Shell_TrayWnd", L"", WS_POPUP | WS_VISIBLE,
                              cx - 120, cy - 24, 120, 24, nullptr, nullptr, g_instance, nullptr);
  HWND area = CreateWindowExW(0, L"TrayNotifyWnd", L"", WS_CHILD | WS_VISIBLE, 0, 0, 120, 24, g_taskbar, nullptr,
                              g_instance, nullptr);
  g_clock = g_withClock ? CreateWindowExW(0, L"TrayClockWClass", L"", WS_CHILD | WS_VISIBLE, 24, 0, 96, 24, area,
                                          nullptr, g_instance, nullptr)
                        : nullptr;
  if (g_withButton) {
    HWND button = CreateWindowExW(0, L"Button", L"<", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 24, 24, area,
                                  nullptr, g_instance, nullptr);
    g_buttonProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ButtonProc)));
  }
}

// A new top-level window goes to the top of the z-order.
HWND CreateBar(const RECT& r) {
  return CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"BaseBar", L"", WS_POPUP | WS_VISIBLE, r.left, r.top,
                         r.right - r.left, r.bottom - r.top, nullptr, nullptr, g_instance, nullptr);
}

HWND Bar(long index) {
  return index >= 0 && static_cast<size_t>(index) < g_bars.size() ? g_bars[index] : nullptr;
}

bool ReadRect(std::istringstream& in, RECT& r) {
  long left, top, right, bottom;
  if (!(in >> left >> top >> right >> bottom)) return false;
  r = {left, top, right, bottom};
  return true;
}

bool RunCommand(const std::string& text) {
  std::istringstream in(text);
  std::string verb;
  in >> verb;
  long index = 0;
  RECT r;
  if (verb == "move") {
    if (!(in >> index) || !Bar(index) || !ReadRect(in, r)) return false;
    SetWindowPos(Bar(index), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    Log("bar " + std::to_string(index) + " moved " + RectText(r));
  } else if (verb == "close") {
    if (!(in >> index) || !Bar(index)) return false;
    DestroyWindow(g_bars[index]);
    g_bars[index] = nullptr;
    Log("bar " + std::to_string(index) + " closed");
  } else if (verb == "add") {
    if (!ReadRect(in, r)) return false;
    g_bars.push_back(CreateBar(r));
    Log("bar " + std::to_string(g_bars.size() - 1) + " added " + RectText(r));
  } else if (verb == "report") {
    Log(!g_clock ? "state clock missing" : IsWindowVisible(g_clock) ? "state clock visible" : "state clock hidden");
  } else if (verb == "restart") {
    g_ready = false;
    g_icons.clear();
    DestroyWindow(g_taskbar);
    BuildTaskbar();
    g_ready = true;
    Log("restarted");
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  } else if (verb == "tray") {
    UINT id = 0;
    std::string click, option;
    if (!(in >> id >> click)) return false;
    in >> option;
    if (!option.empty() && option != "answered") return false;
    return TellOwner(id, click, !option.empty());
  } else if (verb == "quit") {
    Log("quit");
    PostQuitMessage(0);
  } else {
    return false;
  }
  return true;
}

LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!data || data->dwData != kCommandTag) return 0;
    return RunCommand(std::string(static_cast<const char*>(data->lpData), data->cbData)) ? 1 : 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int Serve(const std::vector<RECT>& bars) {
  if (!g_logPath.empty()) {  // a fresh log per run
    HANDLE file = CreateFileW(g_logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  RegisterWindowClass(kControlClass, &ControlProc);
  RegisterWindowClass(L"Shell_TrayWnd", &TaskbarProc);
  RegisterWindowClass(L"TrayNotifyWnd", &PlainProc);
  RegisterWindowClass(L"TrayClockWClass", &ClockProc);
  RegisterWindowClass(L"BaseBar", &PlainProc);
  BuildTaskbar();
  // Built from the last so that bar 0 ends highest.
  g_bars.resize(bars.size());
  for (size_t i = bars.size(); i-- > 0;) g_bars[i] = CreateBar(bars[i]);
  CreateWindowExW(0, kControlClass, L"fake_shell", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, g_instance, nullptr);
  g_ready = true;
  Log("ready");
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  g_instance = instance;
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<RECT> bars;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--log" && i + 1 < argc) {
      g_logPath = argv[++i];
    } else if (arg == L"--bar" && i + 4 < argc) {
      RECT r;
      r.left = std::wcstol(argv[i + 1], nullptr, 10);
      r.top = std::wcstol(argv[i + 2], nullptr, 10);
      r.right = std::wcstol(argv[i + 3], nullptr, 10);
      r.bottom = std::wcstol(argv[i + 4], nullptr, 10);
      bars.push_back(r);
      i += 4;
    } else if (arg == L"--no-button") {
      g_withButton = false;
    } else if (arg == L"--no-clock") {
      g_withClock = false;
    } else {
      return 2;
    }
  }
  LocalFree(argv);
  return Serve(bars);
}
