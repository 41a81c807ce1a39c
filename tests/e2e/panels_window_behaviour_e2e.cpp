// The panels window's behaviour seen from outside: the taskbar clock it
// replaces, a Windows panel it follows, dragging with the real mouse and
// the lock, the tray icon's clicks, the context menu, a second start and a
// restarted shell. The shell's windows come from the fake_shell helper.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <future>
#include <map>
#include <regex>
#include <set>

#include "base/textfile.h"
#include "tests/e2e/harness.h"
// The tab control's messages; after <windows.h>, which the harness brings.
#include <commctrl.h>
#include "tests/helpers/fake_shell_client.h"
#include "win32/text.h"

namespace hx::e2e {
namespace {

constexpr UINT kCloseRequest = 1025;

// Handles this test program's own window messages until `condition` holds.
bool PumpMessagesUntil(const std::function<bool()>& condition) {
  return WaitUntil([&] {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    return condition();
  });
}

DWORD ProcessAt(POINT point) {
  DWORD owner = 0;
  GetWindowThreadProcessId(WindowFromPoint(point), &owner);
  return owner;
}

bool IsAt(HWND window, POINT topLeft) {
  const RECT r = WindowRect(window);
  return r.left == topLeft.x && r.top == topLeft.y;
}

POINT Inside(HWND window) {
  const RECT r = WindowRect(window);
  return {r.left + 20, r.top + 20};
}

std::vector<std::string> ShownTexts(const std::vector<PopupMenuItem>& items, int depth = 0) {
  std::vector<std::string> texts;
  for (const PopupMenuItem& item : items)
    if (item.depth == depth && !item.separator) texts.push_back(item.text);
  return texts;
}

bool Has(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class BehaviourTest : public ::testing::Test {
 protected:
  void SetUp() override {
    name_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    folder_ = FreshProgramFolder(name_);
    log_ = folder_.parent_path() / "shell.log";
  }

  void TearDown() override {
    program_.Kill();
    StopShell();
  }

  fs::path SettingsFile() const { return folder_ / "Settings" / "HXSettings.ini"; }
  void WriteSettings(const SettingsOptions& o) { WriteCp1251(SettingsFile(), SettingsFileText(o)); }

  // Starts fake_shell with these arguments and waits until its windows exist.
  void StartShell(const std::wstring& arguments = L"") {
    StopShell();
    shell_ = Process(HelperFile("fake_shell.exe"), L"--log \"" + log_.wstring() + L"\" " + arguments);
    ASSERT_TRUE(WaitUntil([&] { return Has(ShellLog(), "ready"); })) << "fake_shell did not start";
  }

  void StopShell() {
    if (!shell_.Running()) return;
    SendToShell("quit");
    if (!shell_.WaitForExit(kPatience)) shell_.Kill();
  }

  bool SendToShell(const std::string& command) {
    return fake_shell::Send(shell_.id(), command) == fake_shell::SendResult::Done;
  }

  std::vector<std::string> ShellLog() const { return Lines(log_); }

  // The log lines that tell what was done to the notification area.
  std::vector<std::string> TrayEvents() const {
    std::vector<std::string> events;
    for (const std::string& line : ShellLog())
      if (line.rfind("clock ", 0) == 0 || line.rfind("button ", 0) == 0 || line == "restarted") events.push_back(line);
    return events;
  }

  // Starts the program and waits until its panels window stands at
  // `topLeft` and the screen shows it there, so that the mouse finds it.
  HWND StartProgram(POINT topLeft) {
    program_ = Process(folder_ / "Horavex.KT.exe");
    clocks_ = WaitForWindow(L"TFormClocks", program_.id());
    EXPECT_NE(clocks_, nullptr) << "the panels window did not appear";
    if (!clocks_) return nullptr;
    EXPECT_TRUE(WaitUntil([&] { return IsAt(clocks_, topLeft); }))
        << "the window stands at " << WindowRect(clocks_).left << ", " << WindowRect(clocks_).top;
    EXPECT_TRUE(WaitUntilOnScreen(clocks_)) << "the panels window is not on the screen";
    return clocks_;
  }

  // Presses the left button at `from`, moves in steps to `to`, releases.
  void Drag(POINT from, POINT to) {
    EXPECT_EQ(GetAncestor(WindowFromPoint(from), GA_ROOT), clocks_) << "another window lies over the clock";
    MouseTo(from);
    Xdo(L"mousedown 1");
    constexpr int kSteps = 6;
    for (int i = 1; i <= kSteps; ++i) MouseTo({from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps});
    Xdo(L"mouseup 1");
  }

  // The program's hint once it shows, or nullptr.
  HWND WaitForHint() {
    HWND hint = nullptr;
    WaitUntil([&] {
      for (HWND w : TopWindows(L"tooltips_class32", program_.id()))
        if (IsWindowVisible(w)) hint = w;
      return hint != nullptr;
    });
    return hint;
  }

  // Waits until the time line shows another second: the program has run
  // its tick since the call.
  void WaitForNextSecond() {
    static const std::regex time{R"(\d\d : \d\d : \d\d)"};
    auto shown = [&] {
      for (HWND child : Children(clocks_))
        if (std::regex_match(WindowText(child), time)) return WindowText(child);
      return std::string();
    };
    const std::string before = shown();
    EXPECT_TRUE(WaitUntil([&] { return shown() != before; })) << "the time line stands still at " << before;
  }

  HWND MainWindow() const {
    const auto windows = TopWindows(L"TFormHoravex", program_.id());
    return windows.empty() ? nullptr : windows[0];
  }

  // Right click on the panels window; the menu it opens, read from inside.
  std::vector<PopupMenuItem> OpenWindowMenu(HWND& menu) {
    const POINT at = Inside(clocks_);
    MouseTo(at);
    Xdo(L"click 3");
    return ReadMenu(menu);
  }

  // The tray icon's right button; the menu it opens.
  std::vector<PopupMenuItem> OpenTrayMenu(HWND& menu) {
    MouseTo({600, 600});
    TrayClick(shell_.id(), "rbuttondown");
    return ReadMenu(menu);
  }

  // The menu that opened, read once the screen shows it for the mouse.
  std::vector<PopupMenuItem> ReadMenu(HWND& menu) {
    const auto items = ReadOpenedMenu(program_.id(), menu);
    EXPECT_NE(menu, nullptr) << "no menu opened";
    EXPECT_FALSE(items.empty()) << "the menu's items cannot be read";
    return items;
  }

  // Escape to the menu's own loop, which reads the keys of its thread.
  static void CloseMenu(HWND menu) {
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(menu) || !IsWindowVisible(menu); }));
  }

  static void Choose(const std::vector<PopupMenuItem>& items, const std::string& text) {
    const PopupMenuItem* item = FindItem(items, text);
    ASSERT_NE(item, nullptr) << text;
    MouseTo({(item->rect.left + item->rect.right) / 2, (item->rect.top + item->rect.bottom) / 2});
    Xdo(L"click 1");
  }

  std::string name_;
  fs::path folder_, log_;
  Process shell_, program_;
  HWND clocks_ = nullptr;
};

const std::vector<std::string> kTwoPressReleasePairs = {
    "button WM_LBUTTONDOWN 1 1", "button WM_LBUTTONUP 1 1", "button WM_LBUTTONDOWN 1 1", "button WM_LBUTTONUP 1 1"};

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(BehaviourTest, TrayClockIsHiddenWhileRunningAndShownAgainByEveryEnd) {
  enum class End { Menu, CloseRequest, AltF4 };
  for (const End end : {End::Menu, End::CloseRequest, End::AltF4}) {
    SCOPED_TRACE(end == End::Menu ? "closed by the menu" : end == End::CloseRequest ? "closed by message 1025" : "Alt+F4");
    StartShell();
    WriteSettings({.hideTrayClock = true});
    fs::remove(folder_ / "Settings" / "HXClocks.ini");
    StartProgram({300, 200});
    ASSERT_TRUE(WaitUntil([&] { return TrayEvents().size() >= 5; }));
    WaitForNextSecond();  // nothing more follows while the program runs
    const auto hidden = Concat({"clock hidden"}, kTwoPressReleasePairs);
    EXPECT_EQ(TrayEvents(), hidden);

    if (end == End::Menu) {
      HWND menu = nullptr;
      Choose(OpenWindowMenu(menu), "Закрыть");
    } else if (end == End::CloseRequest) {
      PostMessageW(MainWindow(), kCloseRequest, 0, 0);
    } else {
      // A click makes the clock the active window, as a person's would.
      MouseTo(Inside(clocks_));
      Xdo(L"click 1");
      ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == clocks_; }));
      Xdo(L"key alt+F4");
    }
    ASSERT_TRUE(program_.WaitForExit(kPatience));
    EXPECT_EQ(TrayEvents(), Concat(Concat(hidden, {"clock shown"}), kTwoPressReleasePairs));
    EXPECT_TRUE(fs::exists(folder_ / "Settings" / "HXClocks.ini")) << "the close command saves the panels";
  }
}

TEST_F(BehaviourTest, EmbeddedWindowFollowsATopToolbarOutOfSightAndBack) {
  StartShell(L"--bar 0 0 1024 28");
  WriteSettings({.embedded = true, .numPanel = 0, .left = 300, .top = 200});
  StartProgram({300, 0});
  const int height = WindowRect(clocks_).bottom - WindowRect(clocks_).top;
  const auto bars = TopWindows(L"BaseBar", shell_.id());
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_EQ(GetWindow(clocks_, GW_OWNER), bars[0]) << "the toolbar owns the embedded window";
  EXPECT_EQ(WindowRect(clocks_).top, 0) << "kept against the top edge";
  EXPECT_EQ(WindowRect(clocks_).left, 300);

  // Embedded, the window cannot go to the tray or leave the top band.
  HWND menu = nullptr;
  const auto items = OpenWindowMenu(menu);
  for (const char* text : {"Свернуть в трей", "Поверх остальных окон"}) {
    ASSERT_NE(FindItem(items, text), nullptr) << text;
    EXPECT_TRUE(FindItem(items, text)->grayed) << text;
  }
  CloseMenu(menu);

  auto topIs = [&](int top) { return WaitUntil([&] { return WindowRect(clocks_).top == top; }); };
  ASSERT_TRUE(SendToShell("move 0 0 -26 1024 2"));
  EXPECT_TRUE(topIs(-height)) << "hides just above the screen; top " << WindowRect(clocks_).top;
  EXPECT_EQ(WindowRect(clocks_).left, 300);
  ASSERT_TRUE(SendToShell("move 0 0 0 1024 28"));
  EXPECT_TRUE(topIs(0)) << "comes back with the toolbar; top " << WindowRect(clocks_).top;

  ASSERT_TRUE(SendToShell("move 0 0 -26 1024 2"));
  ASSERT_TRUE(topIs(-height));
  ASSERT_TRUE(SendToShell("close 0"));
  EXPECT_TRUE(topIs(0)) << "comes back when the toolbar is gone; top " << WindowRect(clocks_).top;
  EXPECT_TRUE(IsWindowVisible(clocks_)) << "the window outlives the toolbar that owned it";
  EXPECT_EQ(WindowRect(clocks_).left, 300);
}

TEST_F(BehaviourTest, DraggingIsClampedToTheScreenOnlyWithBorderScreen) {
  WriteSettings({.borderScreen = true, .left = 100, .top = 100});
  StartProgram({100, 100});
  const RECT start = WindowRect(clocks_);
  const int width = start.right - start.left, height = start.bottom - start.top;
  Drag(Inside(clocks_), {1015, 760});
  EXPECT_TRUE(WaitUntil([&] { return IsAt(clocks_, {1024 - width, 768 - height}); }))
      << "kept on the screen; at " << WindowRect(clocks_).left << ", " << WindowRect(clocks_).top;

  // The mouse rests on the bottom line: its hint, with no room below the
  // clock, shows above it and leaves every panel free for the next press.
  MouseTo({1014, 760});
  HWND hint = WaitForHint();
  ASSERT_NE(hint, nullptr) << "no hint for the bottom line";
  const RECT hintRect = WindowRect(hint), clockRect = WindowRect(clocks_);
  RECT overlap{};
  EXPECT_FALSE(IntersectRect(&overlap, &hintRect, &clockRect)) << "the hint covers the clock";
  EXPECT_EQ(hintRect.bottom, clockRect.top - 2) << "the hint is not just above the clock";
  // The release writes the settings file anew; the test reads it only then,
  // as a reader holding it open would make that replacement fail.
  fs::remove(SettingsFile());
  Drag(Inside(clocks_), {5, 5});
  EXPECT_TRUE(WaitUntil([&] { return IsAt(clocks_, {0, 0}); }))
      << "at " << WindowRect(clocks_).left << ", " << WindowRect(clocks_).top;
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(SettingsFile()); })) << "the release saves the settings";
  const std::string saved = ReadCp1251(SettingsFile());
  EXPECT_NE(saved.find("Left=0\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Top=0\r\n"), std::string::npos) << saved;
  program_.Kill();

  WriteSettings({.borderScreen = false, .left = 600, .top = 300});
  StartProgram({600, 300});
  const POINT grab = Inside(clocks_);
  Drag(grab, {grab.x + 380, grab.y + 420});
  EXPECT_TRUE(WaitUntil([&] { return IsAt(clocks_, {980, 720}); }))
      << "dragged partly off the screen; at " << WindowRect(clocks_).left << ", " << WindowRect(clocks_).top;
  Screenshot("dragged-off-screen", clocks_);
}

// A position saved on a monitor that is no longer there brings the window
// back into the work area of the nearest monitor, here the only one. Locked
// there, the lock goes with it: a press and release keeps it in place and
// saves the new place.
TEST_F(BehaviourTest, SavedPositionOnAMonitorThatIsGoneComesBackWithItsLock) {
  WriteSettings({.blockedMove = true, .left = 3000, .top = 2000});
  program_ = Process(folder_ / "Horavex.KT.exe");
  clocks_ = WaitForWindow(L"TFormClocks", program_.id());
  ASSERT_NE(clocks_, nullptr) << "the panels window did not appear";
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_TRUE(WaitUntil([&] {
    const RECT r = WindowRect(clocks_);
    return r.right == work.right && r.bottom == work.bottom;
  })) << "at " << WindowRect(clocks_).left << ", " << WindowRect(clocks_).top;
  ASSERT_TRUE(WaitUntilOnScreen(clocks_));
  const RECT corner = WindowRect(clocks_);
  fs::remove(SettingsFile());
  Drag(Inside(clocks_), {100, 100});
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(SettingsFile()); })) << "the release saves the settings";
  EXPECT_TRUE(IsAt(clocks_, {corner.left, corner.top}));
  const std::string saved = ReadCp1251(SettingsFile());
  EXPECT_NE(saved.find("Left=" + std::to_string(corner.left) + "\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Top=" + std::to_string(corner.top) + "\r\n"), std::string::npos) << saved;
}

TEST_F(BehaviourTest, LockedWindowStaysPutAndStillSavesOnRelease) {
  WriteSettings({.blockedMove = true, .left = 100, .top = 100});
  StartProgram({100, 100});
  fs::remove(SettingsFile());
  Drag(Inside(clocks_), {500, 500});
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(SettingsFile()); })) << "release saves the settings";
  EXPECT_TRUE(IsAt(clocks_, {100, 100})) << "moved to " << WindowRect(clocks_).left << ", " << WindowRect(clocks_).top;
  const std::string saved = ReadCp1251(SettingsFile());
  for (const char* key : {"BlockedMove=1\r\n", "Left=100\r\n", "Top=100\r\n"})
    EXPECT_NE(saved.find(key), std::string::npos) << key;

  // Another program's move is refused: the window does not move at all.
  SetWindowPos(clocks_, nullptr, 400, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(IsAt(clocks_, {100, 100})) << "moved to " << WindowRect(clocks_).left << ", " << WindowRect(clocks_).top;
}

// The time line changes with the second, not up to a timer period later.
// One polling loop with short sleeps watches both the line and the system
// clock, so a busy machine delays both observations alike: each second, the
// line's lag is how much later the loop sees the line change than it sees
// the clock's second change. A clock on a free-running one-second timer
// changes at a fixed phase of its own, which two starts half a second apart
// cannot both hide.
TEST_F(BehaviourTest, TimeLineChangesRightAtTheSecond) {
  WriteSettings({});
  static const std::regex time{R"(\d\d : \d\d : \d\d)"};
  for (const WORD startAt : {0, 500}) {
    SCOPED_TRACE("started " + std::to_string(startAt) + " ms into a second");
    program_.Kill();
    SYSTEMTIME t{};
    ASSERT_TRUE(WaitUntil([&] {
      GetSystemTime(&t);
      return t.wMilliseconds >= startAt && t.wMilliseconds < startAt + 250;
    }));
    ASSERT_NE(StartProgram({300, 200}), nullptr);
    HWND line = nullptr;
    for (HWND child : Children(clocks_))
      if (std::regex_match(WindowText(child), time)) line = child;
    ASSERT_NE(line, nullptr);
    std::vector<int> lags;
    for (int k = 0; k < 5; ++k) {
      GetSystemTime(&t);
      const WORD second = t.wSecond;
      const std::string before = WindowText(line);
      int clockSeen = -1, lineSeen = -1;  // ms into the second when seen changed
      const auto start = std::chrono::steady_clock::now();
      while ((clockSeen < 0 || lineSeen < 0) && std::chrono::steady_clock::now() - start < kPatience) {
        Sleep(1);
        GetSystemTime(&t);
        if (clockSeen < 0 && t.wSecond != second) clockSeen = t.wMilliseconds;
        if (lineSeen < 0 && WindowText(line) != before) {
          GetSystemTime(&t);
          lineSeen = t.wMilliseconds;
        }
      }
      ASSERT_GE(lineSeen, 0) << "the time line stands still";
      lags.push_back(lineSeen - clockSeen);
    }
    std::sort(lags.begin(), lags.end());
    std::string shown;
    for (int lag : lags) shown += " " + std::to_string(lag);
    std::printf("time line lags behind the second, ms:%s\n", shown.c_str());
    EXPECT_LE(lags[lags.size() / 2], 100) << "median lag behind the second, ms;" << shown;
  }
}

TEST_F(BehaviourTest, TrayIconTogglesTheWindowAndItsMenuOffersWhatTheStateAllows) {
  StartShell();
  WriteSettings({.left = 400, .top = 300});
  StartProgram({400, 300});

  // The menu of the shown window.
  HWND menu = nullptr;
  auto items = OpenWindowMenu(menu);
  Screenshot("menu-from-window", menu);
  auto texts = ShownTexts(items);
  EXPECT_EQ(texts, (std::vector<std::string>{"Свернуть в трей", "Поверх остальных окон", "Блокировать перемещение",
                                             "Калькулятор времени...", "Настройки программы...",
                                             "Настройка времени/даты...", "Справка", "Закрыть"}));
  EXPECT_EQ(ShownTexts(items, 1), (std::vector<std::string>{"Помощь...", "О программе..."}));
  ASSERT_NE(FindItem(items, "Поверх остальных окон"), nullptr);
  EXPECT_FALSE(FindItem(items, "Поверх остальных окон")->checked);
  EXPECT_EQ(std::count_if(items.begin(), items.end(), [](const auto& i) { return i.separator; }), 2);
  Choose(items, "Блокировать перемещение");  // the lock goes on
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }));

  // Left click: to the tray; the menu now offers to restore.
  TrayClick(shell_.id(), "lbuttonup");
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(clocks_); }));
  items = OpenTrayMenu(menu);
  Screenshot("menu-from-tray", menu);
  texts = ShownTexts(items);
  EXPECT_EQ(texts, (std::vector<std::string>{"Восстановить", "Блокировать перемещение", "В левый-верхний угол",
                                             "Калькулятор времени...", "Настройки программы...",
                                             "Настройка времени/даты...", "Справка", "Закрыть"}));
  ASSERT_NE(FindItem(items, "Блокировать перемещение"), nullptr);
  EXPECT_TRUE(FindItem(items, "Блокировать перемещение")->checked);
  CloseMenu(menu);

  // Meanwhile a window of another program covers the place of the clock.
  const RECT r = WindowRect(clocks_);
  HWND cover = CreateWindowExW(0, L"STATIC", L"cover", WS_POPUP | WS_VISIBLE | WS_BORDER | SS_NOTIFY, r.left - 50,
                               r.top - 50, r.right - r.left + 100, r.bottom - r.top + 100, nullptr, nullptr, nullptr,
                               nullptr);
  SetForegroundWindow(cover);
  const POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ASSERT_TRUE(PumpMessagesUntil([&] { return GetForegroundWindow() == cover && WindowFromPoint(middle) == cover; }));

  // Left click again: back, in front of the cover. The cover's program
  // keeps handling its messages, as any program in front does.
  TrayClick(shell_.id(), "lbuttonup");
  EXPECT_TRUE(PumpMessagesUntil([&] { return IsWindowVisible(clocks_) && ProcessAt(middle) == program_.id(); }))
      << "the clock is not in front";
  DestroyWindow(cover);

  // "В левый-верхний угол" while locked: there it stays, and there it is saved.
  fs::remove(SettingsFile());
  items = OpenTrayMenu(menu);
  Choose(items, "В левый-верхний угол");
  ASSERT_TRUE(WaitUntil([&] { return IsAt(clocks_, {0, 0}); }));
  WaitForNextSecond();
  EXPECT_TRUE(IsAt(clocks_, {0, 0})) << "the lock moved with the window";
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(SettingsFile()); })) << "the corner is not saved";
  const std::string saved = ReadCp1251(SettingsFile());
  for (const char* key : {"BlockedMove=1\r\n", "Left=0\r\n", "Top=0\r\n"})
    EXPECT_NE(saved.find(key), std::string::npos) << key;
}

// Keyboard only: the panels are named for a screen reader; the menu key and
// Shift+F10 open the window's menu at the window, not at the mouse; the icon (protocol version 3) takes Enter,
// Space and the menu key as the left and right click.
TEST_F(BehaviourTest, KeysOpenTheMenusAndTheIconTakesTheKeyboard) {
  StartShell();
  WriteSettings({.left = 400, .top = 300});
  StartProgram({400, 300});
  EXPECT_TRUE(WaitUntil([&] { return Has(ShellLog(), "icon version 1 3"); })) << "the icon speaks the first version";

  // Each panel's frame names it for a screen reader: caption, value.
  EXPECT_TRUE(WaitUntil([&] {
    int named = 0;
    for (HWND frame : Children(clocks_)) {
      const HWND caption = GetWindow(frame, GW_CHILD), value = caption ? GetWindow(caption, GW_HWNDNEXT) : nullptr;
      if (!value || GetWindow(value, GW_HWNDNEXT) || GetWindow(value, GW_CHILD)) continue;
      if (WindowText(frame) != WindowText(caption) + ", " + WindowText(value)) return false;
      ++named;
    }
    return named == 2;
  })) << "the two panels are not named by caption and value";

  // Enter, then Space on the icon: to the tray and back, in front with the
  // focus.
  TrayClick(shell_.id(), "keyselect");
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(clocks_); })) << "Enter on the icon did not minimise";
  TrayClick(shell_.id(), "select");
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(clocks_); })) << "Space on the icon did not restore";
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == clocks_; })) << "the restored window has no focus";
  const RECT r = WindowRect(clocks_);
  for (const wchar_t* keys : {L"Menu", L"shift+F10"}) {
    MouseTo({r.right - 4, r.top + 4});  // the window under the mouse gets the keys
    Xdo(std::wstring(L"key ") + keys);
    HWND menu = nullptr;
    const auto items = ReadMenu(menu);
    if (!menu) continue;
    EXPECT_TRUE(Has(ShownTexts(items), "Свернуть в трей")) << win::Narrow(keys);
    EXPECT_FALSE(Has(ShownTexts(items), "В левый-верхний угол")) << win::Narrow(keys);
    const RECT m = WindowRect(menu);
    EXPECT_TRUE(std::abs(m.left - r.left) <= 2 && std::abs(m.top - r.bottom) <= 2)
        << win::Narrow(keys) << ": the menu opened at " << m.left << ", " << m.top;
    CloseMenu(menu);
  }

  MouseTo({600, 600});
  TrayClick(shell_.id(), "contextmenu");
  HWND menu = nullptr;
  const auto items = ReadMenu(menu);
  EXPECT_TRUE(Has(ShownTexts(items), "В левый-верхний угол"));
  if (menu) CloseMenu(menu);
}

// Keyboard only after the start: each dialog opens from the menu key and
// passes the keyboard walk (every page of the settings); a setting is
// changed and confirmed, or the dialog cancelled, with keys.
TEST_F(BehaviourTest, EveryDialogWorksFromTheKeyboard) {
  StartShell(L"--bar 0 0 1024 28");
  WriteSettings({.left = 300, .top = 60});
  StartProgram({300, 60});
  TrayClick(shell_.id(), "keyselect");
  TrayClick(shell_.id(), "select");
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(clocks_) && GetForegroundWindow() == clocks_; }));

  const auto open = [&](const std::wstring& menuKeys, const wchar_t* dialogClass) {
    KeyTo(clocks_, L"Menu");
    EXPECT_NE(WaitForPopupMenu(program_.id()), nullptr);
    KeyTo(clocks_, menuKeys);
    return WaitForDialog(dialogClass, program_.id());
  };
  // Tab until the focus is on a control that `wanted` takes.
  const auto tabTo = [&](HWND dialog, const std::function<bool(HWND)>& wanted) -> HWND {
    for (int i = 0; i < 40; ++i) {
      const HWND f = FocusOf(dialog);
      if (wanted(f)) return f;
      KeyTo(dialog, L"Tab");
      WaitUntil([&] { return FocusOf(dialog) != f; });
    }
    return nullptr;
  };
  const auto closed = [&](HWND dialog) {
    return WaitUntil([&] { return !IsWindow(dialog); });
  };

  // Settings: the first check box flips with Space; Enter confirms.
  HWND dialog = open(L"Down Down Down Down Down Return", L"TFormSettings");
  ASSERT_NE(dialog, nullptr);
  Screenshot("keyboard-settings", dialog);
  ExpectKeyboardWalk(dialog);
  const HWND box = tabTo(dialog, [](HWND f) {
    return ClassOf(f) == "Button" && (GetWindowLongW(f, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
  });
  ASSERT_NE(box, nullptr) << "Tab reaches no check box";
  const LRESULT was = SendMessageW(box, BM_GETCHECK, 0, 0);
  KeyTo(dialog, L"space");
  EXPECT_TRUE(WaitUntil([&] { return SendMessageW(box, BM_GETCHECK, 0, 0) != was; })) << ControlText(box);
  fs::remove(SettingsFile());
  KeyTo(dialog, L"Return");
  EXPECT_TRUE(closed(dialog)) << "Enter does not confirm the settings";
  EXPECT_TRUE(WaitUntil([&] { return fs::exists(SettingsFile()); })) << "the confirmed settings are not saved";

  // Settings again: every page; the panel editor from the panel list, which
  // Escape closes back into the settings; Escape then cancels them.
  dialog = open(L"Down Down Down Down Down Return", L"TFormSettings");
  ASSERT_NE(dialog, nullptr);
  ASSERT_NE(tabTo(dialog, [](HWND f) { return ClassOf(f) == "SysTabControl32"; }), nullptr);
  for (int page = 1; page <= 3; ++page) {
    const HWND tabs = FocusOf(dialog);
    KeyTo(dialog, L"Right");
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == page; }));
    ExpectKeyboardWalk(dialog);
  }
  const HWND add = tabTo(dialog, [](HWND f) { return ControlText(f) == "Добавить"; });
  ASSERT_NE(add, nullptr) << "Tab reaches no Add button";
  KeyTo(dialog, L"space");
  HWND editor = WaitForWindow(L"TFormSign", program_.id());
  ASSERT_NE(editor, nullptr) << "Space on Add opens no panel editor";
  ASSERT_TRUE(WaitUntilOnScreen(editor));
  ExpectKeyboardWalk(editor);
  KeyTo(editor, L"Escape");
  EXPECT_TRUE(closed(editor)) << "Escape does not cancel the panel editor";
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog && FocusOf(dialog) == add; }))
      << "the settings did not get the keyboard back";
  KeyTo(dialog, L"Escape");
  EXPECT_TRUE(closed(dialog)) << "Escape does not cancel the settings";

  // The placement dialog from its check box on the second page: Escape
  // cancels it and clears the box; the next time the docked edge is chosen
  // with Space and Enter confirms it.
  dialog = open(L"Down Down Down Down Down Return", L"TFormSettings");
  ASSERT_NE(dialog, nullptr);
  const HWND tabs = tabTo(dialog, [](HWND f) { return ClassOf(f) == "SysTabControl32"; });
  ASSERT_NE(tabs, nullptr);
  KeyTo(dialog, L"Right");
  ASSERT_TRUE(WaitUntil([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == 1; }));
  const HWND embed = tabTo(dialog, [](HWND f) { return ControlText(f) == "Встроить в панель Windows"; });
  ASSERT_NE(embed, nullptr) << "Tab reaches no \"Встроить в панель Windows\"";
  for (const bool confirm : {false, true}) {
    SCOPED_TRACE(confirm ? "Enter" : "Escape");
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(dialog) == embed; })) << "the check box lost the keyboard";
    KeyTo(dialog, L"space");
    HWND placement = WaitForWindow(L"TFormAddInWPanel", program_.id());
    ASSERT_NE(placement, nullptr) << "Space on the check box opens no placement dialog";
    ASSERT_TRUE(WaitUntilOnScreen(placement));
    if (confirm) {
      const HWND top = tabTo(placement, [](HWND f) { return ControlText(f) == "Верхняя панель"; });
      ASSERT_NE(top, nullptr) << "Tab reaches no docked edge";
      KeyTo(placement, L"space");
      EXPECT_TRUE(WaitUntil([&] { return SendMessageW(top, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
      KeyTo(placement, L"Return");
    } else {
      ExpectKeyboardWalk(placement);
      KeyTo(placement, L"Escape");
    }
    EXPECT_TRUE(closed(placement)) << "the placement dialog stays open";
    EXPECT_EQ(SendMessageW(embed, BM_GETCHECK, 0, 0), confirm ? BST_CHECKED : BST_UNCHECKED);
  }
  KeyTo(dialog, L"Escape");
  EXPECT_TRUE(closed(dialog)) << "Escape does not cancel the settings";

  // The time calculator: Escape closes it.
  dialog = open(L"Down Down Down Down Return", L"TFormCalcTime");
  ASSERT_NE(dialog, nullptr);
  ExpectKeyboardWalk(dialog);
  KeyTo(dialog, L"Escape");
  EXPECT_TRUE(closed(dialog)) << "Escape does not close the calculator";

  // About, in the help submenu: Enter closes it.
  dialog = open(L"Down Down Down Down Down Down Down Right Down Return", L"TFormAbout");
  ASSERT_NE(dialog, nullptr);
  ExpectKeyboardWalk(dialog);
  KeyTo(dialog, L"Return");
  EXPECT_TRUE(closed(dialog)) << "Enter does not close About";
}

TEST_F(BehaviourTest, SecondStartBringsTheMinimisedWindowBackWithANotice) {
  StartShell();
  WriteSettings({});
  StartProgram({300, 200});
  TrayClick(shell_.id(), "lbuttonup");
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(clocks_); }));

  Process second(folder_ / "Horavex.KT.exe");
  EXPECT_TRUE(second.WaitForExit(kPatience));
  const MessageBoxInfo box = WaitForMessageBox(program_.id());
  EXPECT_EQ(box.text, "Программа Horavex.KT уже запущена!");
  EXPECT_EQ(box.caption, "Horavex.KT 1.0.1.2k.ru - Warning...");
  EXPECT_TRUE(IsWindowVisible(clocks_));
  Screenshot("second-start", box.window);
  PressButton(box.window, "OK");
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box.window); }));
  EXPECT_TRUE(program_.Running());
}

// Bringing the clock forward leaves another program's always-on-top window
// as it is; the clock cannot cover it and does not try.
TEST_F(BehaviourTest, BringingTheClockForwardLeavesOtherTopmostWindowsAlone) {
  StartShell();
  WriteSettings({});
  StartProgram({300, 200});
  TrayClick(shell_.id(), "lbuttonup");
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(clocks_); }));
  HWND player = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"player", WS_POPUP | WS_VISIBLE | WS_BORDER, 600, 500, 200,
                                100, nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(player);
  ASSERT_TRUE(PumpMessagesUntil([&] { return GetForegroundWindow() == player; }));
  TrayClick(shell_.id(), "lbuttonup");
  EXPECT_TRUE(PumpMessagesUntil([&] { return IsWindowVisible(clocks_); }));
  // The click is handled in full once the program answers the next message.
  DWORD_PTR ignored = 0;
  ASSERT_TRUE(SendMessageTimeoutW(clocks_, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored));
  EXPECT_TRUE(GetWindowLongPtrW(player, GWL_EXSTYLE) & WS_EX_TOPMOST) << "the player lost its always-on-top";
  DestroyWindow(player);
}

TEST_F(BehaviourTest, RestartedShellGetsANewWindowWhileTheProgramKeepsAnswering) {
  StartShell();
  WriteSettings({.hideTrayClock = true});
  StartProgram({300, 200});
  ASSERT_TRUE(WaitUntil([&] { return TrayEvents().size() >= 5; }));
  // Minimised to the tray when the shell restarts.
  TrayClick(shell_.id(), "lbuttonup");
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(clocks_); }));

  HWND before = clocks_;
  // The shell restarts on another thread while this one watches the old
  // window: the program takes it down before it starts to wait, so the wait
  // starts after the last moment the window was seen, and no slowness of
  // this test or of the machine can make the time from that moment to the
  // new window look shorter than the wait.
  auto seenLast = std::chrono::steady_clock::now();
  auto restart = std::async(std::launch::async, [&] { return SendToShell("restart"); });
  EXPECT_TRUE(WaitUntil([&] {
    const auto now = std::chrono::steady_clock::now();
    if (!IsWindow(before)) return true;
    seenLast = now;  // taken before the look that found the window
    return false;
  })) << "the panels window was not taken down";
  ASSERT_TRUE(restart.get());
  // The program waits a few seconds for the new taskbar to settle, and it
  // keeps answering meanwhile.
  HWND rebuilt = nullptr;
  int answers = 0;
  EXPECT_TRUE(WaitUntil(
      [&] {
        auto newWindow = [&] { return WaitForWindow(L"TFormClocks", program_.id(), 0ms); };
        DWORD_PTR result = 0;
        if (!newWindow() && SendMessageTimeoutW(MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result) &&
            !newWindow())
          ++answers;  // an answer while the wait still runs
        rebuilt = newWindow();
        return rebuilt != nullptr;
      },
      kPatience))
      << "no new panels window";
  const auto after = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - seenLast);
  std::printf("new panels window %lld ms after the old one was last seen\n", static_cast<long long>(after.count()));
  EXPECT_GE(after.count(), 4900) << "rebuilt before the wait was over";
  EXPECT_GT(answers, 0) << "the program does not answer during the wait";
  ASSERT_TRUE(WaitUntil([&] { return TrayEvents().size() >= 11; }));
  const auto events = TrayEvents();
  const std::vector<std::string> tail(events.end() - 6, events.end());
  EXPECT_EQ(tail, Concat({"restarted", "clock hidden"}, kTwoPressReleasePairs)) << "the new taskbar's clock is hidden";

  // The new window is in sight, and the tray icon and menu know it.
  clocks_ = rebuilt;
  EXPECT_TRUE(IsWindowVisible(rebuilt));
  HWND menu = nullptr;
  const auto items = OpenTrayMenu(menu);
  EXPECT_NE(FindItem(items, "Свернуть в трей"), nullptr) << "the menu offers to restore a window in sight";
  CloseMenu(menu);
  TrayClick(shell_.id(), "lbuttonup");
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(rebuilt); })) << "the first tray click does nothing";
}

}  // namespace
}  // namespace hx::e2e
