#include "ui/unwinder/api_forms.h"

#include <commctrl.h>

#include <algorithm>

#include "uninstaller/batch.h"
#include "uninstaller/text_util.h"
#include "win32/text.h"

namespace hx::unwinder {
namespace {

using uninstall::RemovalMode;

enum class Screen { Language = 0, Choice = 1, Progress = 2 };

// The one main window and what its procedure reports back.
struct Form {
  HWND window = nullptr;
  Screen screen = Screen::Language;
  bool windowClosed = false;
  bool languageCancelled = false;
  bool removalUnderWay = false;
  RemovalMode mode = RemovalMode::RemoveEverything;
  std::string languageName;
  const uninstall::UninstallerTexts* texts = nullptr;
  std::string programName;
  HFONT normal = nullptr, bold = nullptr, big = nullptr;
  HBITMAP banner = nullptr;
  HWND combo = nullptr, prompt = nullptr, cancel = nullptr, bannerStatic = nullptr, next = nullptr;
  HWND choices[4] = {};
  // Progress window.
  HWND done = nullptr, frame = nullptr, log = nullptr, tooltip = nullptr, bar = nullptr, elapsed = nullptr;
  DWORD start = 0;
  int counter = 0;
  int tipItem = -1;
} g;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

void MakeFonts() {
  if (g.normal) return;
  auto font = [](int height, int weight) {
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
  };
  g.normal = font(13, FW_NORMAL);
  g.bold = font(13, FW_BOLD);
  g.big = font(18, FW_BOLD);
  g.banner = static_cast<HBITMAP>(LoadImageW(Instance(), L"BGIMAGE", IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

HWND Control(const wchar_t* cls, const std::string& text, DWORD style, HFONT font, int id, int x, int y, int w, int h) {
  HWND c = CreateWindowExW(0, cls, win::Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, g.window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
  if (c && font) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

HWND Banner(int width, DWORD extra) {
  HWND b = Control(L"static", "", SS_BITMAP | extra, nullptr, -1, 0, 0, width, 59);
  if (b && g.banner) SendMessageW(b, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(g.banner));
  return b;
}

const std::string& Text(int n) { return (*g.texts)[n]; }

void Destroy(HWND& control) {
  if (control) DestroyWindow(control);
  control = nullptr;
}

// The tooltip that shows a log line too long for the list.
void UpdateTooltip() {
  if (g.screen != Screen::Progress || !g.log || !g.tooltip) return;
  POINT cursor;
  RECT rect;
  GetCursorPos(&cursor);
  GetWindowRect(g.log, &rect);
  int item = -1;
  const int itemHeight = std::max<int>(1, static_cast<int>(SendMessageW(g.log, LB_GETITEMHEIGHT, 0, 0)));
  const int top = static_cast<int>(SendMessageW(g.log, LB_GETTOPINDEX, 0, 0));
  if (cursor.x >= rect.left && cursor.x <= rect.right && cursor.y >= rect.top && cursor.y <= rect.bottom) {
    item = top + (cursor.y - rect.top) / itemHeight;
    if (item >= static_cast<int>(SendMessageW(g.log, LB_GETCOUNT, 0, 0))) item = -1;
  }
  if (item == g.tipItem) return;
  bool show = false;
  std::wstring text;
  int width = 0;
  if (item >= 0) {
    const LRESULT length = SendMessageW(g.log, LB_GETTEXTLEN, item, 0);
    if (length > 0) {
      text.resize(length + 1);
      SendMessageW(g.log, LB_GETTEXT, item, reinterpret_cast<LPARAM>(text.data()));
      text.resize(length);
      HDC dc = GetDC(g.log);
      HGDIOBJ old = SelectObject(dc, g.normal);
      SIZE size{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
      SelectObject(dc, old);
      ReleaseDC(g.log, dc);
      width = size.cx;
      show = width > (rect.right - rect.left) - 20;
    }
  }
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = g.window;
  tool.uId = reinterpret_cast<UINT_PTR>(g.window);
  if (show) {
    int x = rect.left + 20;
    const int screen = GetSystemMetrics(SM_CXSCREEN);
    if (screen < width + x + 20) x = screen - width - 10;
    const int y = (item - top + 1) * itemHeight + rect.top;
    tool.lpszText = text.data();
    SendMessageW(g.tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(g.tooltip, TTM_TRACKPOSITION, 0, MAKELPARAM(x, y));
    SendMessageW(g.tooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    g.tipItem = item;
  } else if (g.tipItem >= 0) {
    SendMessageW(g.tooltip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    g.tipItem = -1;
  }
}

void RunMessageLoop() {
  ShowWindow(g.window, SW_SHOWNORMAL);
  UpdateWindow(g.window);
  BringWindowToTop(g.window);
  UpdateTooltip();
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    UpdateTooltip();
  }
  UpdateTooltip();
}

// Dispatches what is waiting; a quit request taken here is dropped, the
// close box being ignored while the removal runs anyway.
void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  UpdateTooltip();
}

void OnCommand(int id) {
  switch (id) {
    case 1044: case 1045: case 1046: case 1047:
      g.mode = static_cast<RemovalMode>(id);
      CheckRadioButton(g.window, 1044, 1047, id);
      break;
    case kIdCancel:
      g.languageCancelled = true;
      DestroyWindow(g.window);
      break;
    case kIdNext: {
      const int number = g.mode == RemovalMode::ResetSettings        ? 16
                         : g.mode == RemovalMode::RemoveProgramFiles ? 17
                         : g.mode == RemovalMode::RemoveEverything   ? 18
                                                                     : 15;
      if (ShowBox(uninstall::FillPlaceholders(Text(number), {g.programName}), Text(4), "Quest",
                  MB_SYSTEMMODAL | MB_YESNO) == IDYES)
        PostQuitMessage(0);
      break;
    }
    case kIdDone: PostQuitMessage(0); break;
    case kIdOk: {
      const LRESULT index = SendMessageW(g.combo, CB_GETCURSEL, 0, 0);
      if (index != CB_ERR) {
        std::wstring name(SendMessageW(g.combo, CB_GETLBTEXTLEN, index, 0) + 1, L'\0');
        SendMessageW(g.combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(name.data()));
        g.languageName = win::Narrow(name.c_str());
      }
      DestroyWindow(g.window);
      break;
    }
  }
}

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      g.windowClosed = true;
      PostQuitMessage(0);
      return 0;
    case WM_CLOSE:
      if (g.removalUnderWay) return 0;
      if (g.screen == Screen::Language) {
        g.languageCancelled = true;
        DestroyWindow(window);
      } else if (ShowBox(Text(5), Text(4), "Quest", MB_SYSTEMMODAL | MB_YESNO) == IDYES) {
        DestroyWindow(window);
      }
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam));
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Registers the class on first use and creates the window with the client
// area of the given size, centred on the screen.
bool MakeWindow(const std::string& title, int width, int height, DWORD style) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = FormProc;
    wc.hInstance = Instance();
    wc.hIcon = static_cast<HICON>(LoadImageW(Instance(), L"MICON", IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    wc.hIconSm = static_cast<HICON>(LoadImageW(Instance(), L"SICON", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    if (!RegisterClassExW(&wc)) {
      g.windowClosed = true;
      return false;
    }
    registered = true;
  }
  MakeFonts();
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, style | WS_CAPTION, FALSE, 0);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - w / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2 - h / 2;
  g.window = CreateWindowExW(0, kFormClass, win::Widen(title).c_str(), style | WS_CAPTION, x, y, w, h, nullptr, nullptr,
                             Instance(), nullptr);
  if (!g.window) {
    g.windowClosed = true;
    return false;
  }
  g.windowClosed = false;
  return true;
}

// The line under the bar and the product caption at the bottom.
void Footer(int width, int height) {
  Control(L"static", "", SS_ETCHEDHORZ, nullptr, -1, 10, height - 40, width - 20, 10);
  Control(L"static", "Tanvolk Unwinder.KT 1.0", WS_DISABLED, g.normal, -1, 12, height - 26, 210, 14);
}

// The progress window as the removal sees it. The log takes every line at
// once but repaints only when the view is refreshed: the bar, the scroll
// position, the time and the window's paint are brought up to date about
// ten times a second, so a removal of thousands of files is
// not held up by drawing while the window still follows it smoothly.
class ProgressView : public uninstall::RemovalProgress {
 public:
  ProgressView() { SendMessageW(g.log, WM_SETREDRAW, FALSE, 0); }
  void SetRange(int total) override {
    range_ = std::max(total, 0);
    SendMessageW(g.bar, PBM_SETRANGE32, 0, range_);
  }
  void StepProgress(bool logged, const std::string& line) override {
    ++g.counter;
    if (logged) AddLine(line);
    Refresh(false);
  }
  void AddLogLine(const std::string& line) override {
    AddLine(line);
    Refresh(false);
  }
  void FinishBar() override {
    g.counter = std::max(g.counter, range_);
    Refresh(true);
  }
  // The last refresh; the log draws itself as usual from here on.
  void Flush() {
    Refresh(true);
    SendMessageW(g.log, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(g.log, nullptr, TRUE);
    UpdateWindow(g.log);
  }

 private:
  void AddLine(const std::string& line) {
    SendMessageW(g.log, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::Widen(line).c_str()));
  }
  // Refreshes about ten times a second, and never spends more than about a
  // tenth of the time on drawing when drawing is slow.
  void Refresh(bool now) {
    const DWORD tick = GetTickCount();
    if (!now && tick - last_ < std::max<DWORD>(100, 9 * cost_)) return;
    SendMessageW(g.bar, PBM_SETPOS, g.counter, 0);
    SetWindowTextW(g.elapsed, win::Widen(Text(31) + " " + uninstall::FormatElapsed(tick - g.start)).c_str());
    // Keep the newest line in sight.
    SendMessageW(g.log, WM_SETREDRAW, TRUE, 0);
    const LRESULT count = SendMessageW(g.log, LB_GETCOUNT, 0, 0);
    if (count > 0) SendMessageW(g.log, LB_SETTOPINDEX, count - 1, 0);
    InvalidateRect(g.log, nullptr, TRUE);
    UpdateWindow(g.window);
    PumpMessages();
    SendMessageW(g.log, WM_SETREDRAW, FALSE, 0);
    last_ = GetTickCount();
    cost_ = last_ - tick;
  }
  int range_ = 0;
  DWORD last_ = 0;
  DWORD cost_ = 0;
};

}  // namespace

int ShowBox(const std::string& text, const std::string& caption, const std::string& kind, UINT style) {
  const std::string k = uninstall::LowerAscii(kind);
  if (k == "warning") style |= MB_ICONEXCLAMATION;
  else if (k == "info") style |= MB_ICONINFORMATION;
  else if (k == "quest") style |= MB_ICONQUESTION;
  else if (k == "error") style |= MB_ICONERROR;
  return MessageBoxW(nullptr, win::Widen(text).c_str(), win::Widen(caption).c_str(), style);
}

std::optional<std::string> ShowLanguageWindow(const std::vector<std::string>& languages) {
  g.screen = Screen::Language;
  g.languageCancelled = false;
  g.languageName.clear();
  if (!MakeWindow("Uninstaller language...", 340, 160, WS_SYSMENU)) return std::nullopt;
  Banner(340, 0);
  Control(L"static", "", SS_ETCHEDFRAME, nullptr, -1, 120, 17, 200, 24);
  Control(L"static", "", SS_LEFT, nullptr, -1, 121, 18, 197, 21);
  Control(L"static", "Choose your language...", SS_CENTER, g.bold, -1, 121, 22, 197, 15);
  Control(L"static", "", SS_ETCHEDHORZ, nullptr, -1, 10, 120, 320, 10);
  Control(L"static", "Tanvolk Unwinder.KT 1.0", WS_DISABLED, g.normal, -1, 12, 134, 210, 14);
  Control(L"button", "Ok", BS_PUSHBUTTON, g.normal, kIdOk, 160, 130, 80, 22);
  Control(L"button", "Cancel", BS_PUSHBUTTON, g.normal, kIdCancel, 248, 130, 80, 22);
  g.combo = Control(L"COMBOBOX", "", CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL, g.normal, -1, 60, 80, 220, 30 + 120);
  for (const std::string& name : languages)
    SendMessageW(g.combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::Widen(name).c_str()));
  SendMessageW(g.combo, CB_SETCURSEL, 0, 0);
  RunMessageLoop();
  if (g.languageCancelled || g.languageName.empty()) return std::nullopt;
  return g.languageName;
}

std::optional<RemovalMode> ShowChoiceWindow(const uninstall::UninstallerTexts& texts,
                                            const uninstall::ManifestHeader& header) {
  g.texts = &texts;
  g.programName = header.programName;
  g.screen = Screen::Choice;
  const std::string title = uninstall::FillPlaceholders(texts[19], {header.programName, header.programVers});
  if (!MakeWindow(title, 500, 360, WS_SYSMENU | WS_MINIMIZEBOX)) return std::nullopt;
  Footer(500, 360);
  g.bannerStatic = Banner(500, SS_CENTERIMAGE);
  Control(L"static", "", SS_ETCHEDFRAME, nullptr, -1, 140, 17, 340, 24);
  Control(L"static", "", SS_LEFT, nullptr, -1, 141, 18, 337, 21);
  Control(L"static", title, SS_CENTER, g.bold, -1, 141, 22, 337, 15);
  g.prompt = Control(L"static", texts[20], SS_LEFT, g.bold, -1, 50, 64, 400, 20);
  g.cancel = Control(L"button", texts[21], BS_PUSHBUTTON, g.normal, kIdCancel, 360, 330, 120, 22);
  const int lines[4][2] = {{10, 11}, {12, 13}, {14, 8}, {7, 6}};
  for (int i = 0; i < 4; ++i)
    g.choices[i] = Control(L"button", texts[lines[i][0]] + "\r" + texts[lines[i][1]], BS_RADIOBUTTON | BS_MULTILINE,
                           g.normal, 1044 + i, 50, 78 + 60 * i, 400, 60);
  g.next = Control(L"button", texts[9], BS_PUSHBUTTON, g.normal, kIdNext, 230, 330, 120, 22);
  SendMessageW(g.choices[3], BM_CLICK, 0, 0);
  RunMessageLoop();
  if (g.windowClosed) return std::nullopt;
  for (HWND& choice : g.choices) Destroy(choice);
  Destroy(g.next);
  return g.mode;
}

bool RunProgressWindow(const uninstall::UninstallerTexts& texts,
                       const std::function<void(uninstall::RemovalProgress&)>& removal,
                       const std::function<bool()>& cancelled) {
  if (!g.window || g.windowClosed) return false;
  g.texts = &texts;
  Destroy(g.cancel);
  SetWindowTextW(g.prompt, win::Widen(texts[26]).c_str());
  g.screen = Screen::Progress;
  g.removalUnderWay = true;
  g.counter = 0;
  g.done = Control(L"button", texts[25], BS_PUSHBUTTON | WS_DISABLED, g.normal, kIdDone, 360, 330, 120, 22);
  g.frame = Control(L"static", "", SS_ETCHEDFRAME, nullptr, -1, 49, 137, 403, 155);
  g.log = Control(L"listbox", "", WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_DISABLED, g.normal, -1, 50, 138,
                  400, 152);
  g.tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, L"", WS_POPUP, 0, 0, 0, 0, g.window, nullptr, Instance(), nullptr);
  if (g.tooltip) {
    SendMessageW(g.tooltip, WM_SETFONT, reinterpret_cast<WPARAM>(g.normal), FALSE);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
    tool.hwnd = g.window;
    tool.uId = reinterpret_cast<UINT_PTR>(g.window);
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(g.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(g.tooltip, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN));
  }
  g.bar = Control(PROGRESS_CLASSW, "", 0, g.normal, -1, 50, 100, 400, 17);
  g.elapsed = Control(L"static", texts[31], SS_LEFT, g.normal, -1, 50, 298, 400, 20);
  ShowWindow(g.window, SW_SHOWNORMAL);
  UpdateWindow(g.window);
  g.start = GetTickCount();
  ProgressView view;
  removal(view);
  view.Flush();
  if (!cancelled()) {
    EnableWindow(g.done, TRUE);
    EnableWindow(g.log, TRUE);
    RunMessageLoop();
  }
  for (HWND* control : {&g.done, &g.frame, &g.log, &g.tooltip, &g.bar, &g.elapsed, &g.prompt, &g.bannerStatic})
    Destroy(*control);
  return !g.windowClosed;
}

}  // namespace hx::unwinder
