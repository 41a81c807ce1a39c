// The panels window's behaviour seen from outside: the taskbar clock it
// replaces, a Windows panel it follows, dragging with the real mouse and
// the lock, the tray icon's clicks, the context menu, a second start and a
// restarted shell. The shell's windows come from the fake_shell helper.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "base/textfile.h"
#include "tests/e2e/harness.h"

namespace hx::e2e {
namespace {

constexpr UINT kTrayCallback = 1026;
constexpr UINT kCloseRequest = 1025;

struct Options {
  bool hideTrayClock = false;
  bool stayOnTop = false;
  bool blockedMove = false;
  bool borderScreen = true;
  bool embedded = false;
  int numPanel = 0;
  bool retainOnWPanel = true;
  int left = 300;
  int top = 200;
};

// A complete settings file, so that no repair notice interrupts a test.
std::string SettingsText(const Options& o) {
  auto flag = [](bool on) { return on ? "1" : "0"; };
  return std::string("[Main]\r\nFile=<Horavex Settings File>\r\nVersion=01.00\r\n"
                     "ProgramVersion=Horavex.KT 1.0.1.2k.ru\r\nDate=01.01.2024\r\n") +
         "[Settings]\r\nAlphaSet=255\r\nAlphaUsed=1\r\nStayOnTop=" + flag(o.stayOnTop) +
         "\r\nAutoLaunch=0\r\nBlockedMove=" + flag(o.blockedMove) + "\r\nHideTrayClock=" + flag(o.hideTrayClock) +
         "\r\nBorderScreen=" + flag(o.borderScreen) +
         "\r\nBorderA=1\r\nBorderC=1\r\nBorderT=1\r\nVertical=0\r\nPmAmFormat=0\r\nFormatDate=0\r\n"
         "[includeOnWPanel]\r\nEnabled=" + flag(o.embedded) + "\r\nNumPanel=" + std::to_string(o.numPanel) +
         "\r\nRetainOnWPanel=" + flag(o.retainOnWPanel) +
         "\r\n[Auto_Check_New_Version]\r\nIntervalAUCheck=2\r\nAUCheckEnabled=0\r\n"
         "[Position]\r\nLeft=" + std::to_string(o.left) + "\r\nTop=" + std::to_string(o.top) + "\r\n";
}

void Xdo(const std::wstring& arguments) { RunUnix(L"/usr/bin/xdotool " + arguments); }

void MouseTo(int x, int y) { Xdo(L"mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y)); }

// Presses the left button at `from`, moves in steps to `to`, releases.
void Drag(POINT from, POINT to) {
  HWND pressed = WindowFromPoint(from);
  wchar_t className[64] = L"";
  GetClassNameW(GetAncestor(pressed, GA_ROOT), className, 64);
  EXPECT_STREQ(className, L"TFormClocks") << "another window lies over the clock";
  MouseTo(from.x, from.y);
  Xdo(L"mousedown 1");
  constexpr int kSteps = 6;
  for (int i = 1; i <= kSteps; ++i) {
    MouseTo(from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps);
    Sleep(60);
  }
  Xdo(L"mouseup 1");
  Sleep(200);
}

// Lets this program's own windows paint.
void PumpMessages(std::chrono::milliseconds time) {
  const auto end = std::chrono::steady_clock::now() + time;
  while (std::chrono::steady_clock::now() < end) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
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
  void WriteSettings(const Options& o) { WriteCp1251(SettingsFile(), SettingsText(o)); }

  // Starts fake_shell with these arguments and waits until its windows exist.
  void StartShell(const std::wstring& arguments = L"") {
    StopShell();
    shell_ = Process(HelperFile("fake_shell.exe"), L"--log \"" + log_.wstring() + L"\" " + arguments);
    ASSERT_TRUE(WaitUntil([&] { return Has(ShellLog(), "ready"); })) << "fake_shell did not start";
  }

  void StopShell() {
    if (!shell_.Running()) return;
    SendToShell("quit");
    if (!shell_.WaitForExit(5s)) shell_.Kill();
  }

  bool SendToShell(const std::string& command) {
    Process client(HelperFile("fake_shell.exe"), L"--send \"" + std::wstring(command.begin(), command.end()) + L"\"");
    return client.WaitForExit(10s) && client.ExitCode() == 0;
  }

  std::vector<std::string> ShellLog() const {
    auto text = ReadTextFile(log_);
    return text ? SplitLines(*text) : std::vector<std::string>{};
  }

  // The log lines that tell what was done to the notification area.
  std::vector<std::string> TrayEvents() const {
    std::vector<std::string> events;
    for (const std::string& line : ShellLog())
      if (line.rfind("clock ", 0) == 0 || line.rfind("button ", 0) == 0 || line == "restarted") events.push_back(line);
    return events;
  }

  HWND StartProgram() {
    program_ = Process(folder_ / "Horavex.KT.exe");
    clocks_ = WaitForWindow(L"TFormClocks", program_.id());
    EXPECT_NE(clocks_, nullptr) << "the panels window did not appear";
    // Let the first ticks place it, and the X server map it: Wine shows a
    // new window on the screen a moment after Windows calls it visible, and
    // the mouse must not reach the desktop beneath instead.
    Sleep(1500);
    return clocks_;
  }

  HWND MainWindow() const {
    const auto windows = TopWindows(L"TFormHoravex", program_.id());
    return windows.empty() ? nullptr : windows[0];
  }

  // Right click on the panels window; the menu it opens, read from inside.
  std::vector<PopupMenuItem> OpenWindowMenu(HWND& menu) {
    const POINT at = Inside(clocks_);
    MouseTo(at.x, at.y);
    Xdo(L"click 3");
    return ReadMenu(menu);
  }

  // The tray icon's right button; the menu it opens.
  std::vector<PopupMenuItem> OpenTrayMenu(HWND& menu) {
    MouseTo(600, 600);
    PostMessageW(clocks_, kTrayCallback, 1, WM_RBUTTONDOWN);
    return ReadMenu(menu);
  }

  std::vector<PopupMenuItem> ReadMenu(HWND& menu) {
    menu = WaitForPopupMenu(program_.id());
    EXPECT_NE(menu, nullptr) << "no menu opened";
    return menu ? ReadPopupMenu(menu) : std::vector<PopupMenuItem>{};
  }

  void CloseMenu(HWND menu) {
    Xdo(L"key Escape");
    if (!WaitUntil([&] { return !IsWindow(menu) || !IsWindowVisible(menu); }, 3s)) {
      PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
      EXPECT_TRUE(WaitUntil([&] { return !IsWindow(menu) || !IsWindowVisible(menu); }, 3s));
    }
  }

  static void Choose(const std::vector<PopupMenuItem>& items, const std::string& text) {
    const PopupMenuItem* item = FindItem(items, text);
    ASSERT_NE(item, nullptr) << text;
    MouseTo((item->rect.left + item->rect.right) / 2, (item->rect.top + item->rect.bottom) / 2);
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

TEST_F(BehaviourTest, TrayClockIsHiddenWhileRunningAndShownAgainByEitherEnd) {
  for (const bool byMenu : {true, false}) {
    SCOPED_TRACE(byMenu ? "closed by the menu" : "closed by message 1025");
    StartShell();
    WriteSettings({.hideTrayClock = true});
    fs::remove(folder_ / "Settings" / "HXClocks.ini");
    StartProgram();
    ASSERT_TRUE(WaitUntil([&] { return TrayEvents().size() >= 5; }));
    Sleep(500);  // nothing more follows while the program runs
    const auto hidden = Concat({"clock hidden"}, kTwoPressReleasePairs);
    EXPECT_EQ(TrayEvents(), hidden);

    if (byMenu) {
      HWND menu = nullptr;
      Choose(OpenWindowMenu(menu), "Закрыть");
    } else {
      PostMessageW(MainWindow(), kCloseRequest, 0, 0);
    }
    ASSERT_TRUE(program_.WaitForExit(10s));
    EXPECT_EQ(TrayEvents(), Concat(Concat(hidden, {"clock shown"}), kTwoPressReleasePairs));
    EXPECT_TRUE(fs::exists(folder_ / "Settings" / "HXClocks.ini")) << "the close command saves the panels";
  }
}

TEST_F(BehaviourTest, EmbeddedWindowFollowsATopToolbarOutOfSightAndBack) {
  StartShell(L"--bar 0 0 1024 28");
  WriteSettings({.embedded = true, .numPanel = 0, .left = 300, .top = 200});
  StartProgram();
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

  auto topIs = [&](int top) { return WaitUntil([&] { return WindowRect(clocks_).top == top; }, 2s); };
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
  StartProgram();
  const RECT start = WindowRect(clocks_);
  const int width = start.right - start.left, height = start.bottom - start.top;
  Drag(Inside(clocks_), {1015, 760});
  EXPECT_EQ(WindowRect(clocks_).left, 1024 - width);
  EXPECT_EQ(WindowRect(clocks_).top, 768 - height);
  Drag(Inside(clocks_), {5, 5});
  EXPECT_EQ(WindowRect(clocks_).left, 0);
  EXPECT_EQ(WindowRect(clocks_).top, 0);
  const std::string saved = ReadCp1251(SettingsFile());
  EXPECT_NE(saved.find("Left=0\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Top=0\r\n"), std::string::npos) << saved;
  program_.Kill();

  WriteSettings({.borderScreen = false, .left = 600, .top = 300});
  StartProgram();
  const POINT grab = Inside(clocks_);
  Drag(grab, {grab.x + 380, grab.y + 420});
  EXPECT_EQ(WindowRect(clocks_).left, 980) << "dragged partly off the screen";
  EXPECT_EQ(WindowRect(clocks_).top, 720);
  Screenshot("dragged-off-screen");
}

TEST_F(BehaviourTest, LockedWindowStaysPutAndStillSavesOnRelease) {
  WriteSettings({.blockedMove = true, .left = 100, .top = 100});
  StartProgram();
  ASSERT_EQ(WindowRect(clocks_).left, 100);
  fs::remove(SettingsFile());
  Drag(Inside(clocks_), {500, 500});
  EXPECT_EQ(WindowRect(clocks_).left, 100);
  EXPECT_EQ(WindowRect(clocks_).top, 100);
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(SettingsFile()); }, 3s)) << "release saves the settings";
  const std::string saved = ReadCp1251(SettingsFile());
  for (const char* key : {"BlockedMove=1\r\n", "Left=100\r\n", "Top=100\r\n"})
    EXPECT_NE(saved.find(key), std::string::npos) << key;

  // Moved by another program, it is back within two ticks.
  SetWindowPos(clocks_, nullptr, 400, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const auto moved = std::chrono::steady_clock::now();
  while (WindowRect(clocks_).left != 100 && std::chrono::steady_clock::now() - moved < 2s) Sleep(2);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - moved);
  EXPECT_EQ(WindowRect(clocks_).left, 100);
  EXPECT_EQ(WindowRect(clocks_).top, 100);
  EXPECT_LE(took.count(), 100) << "back after " << took.count() << " ms";
}

TEST_F(BehaviourTest, TrayIconTogglesTheWindowAndItsMenuOffersWhatTheStateAllows) {
  WriteSettings({.left = 400, .top = 300});
  StartProgram();

  // The menu of the shown window.
  HWND menu = nullptr;
  auto items = OpenWindowMenu(menu);
  Screenshot("menu-from-window");
  auto texts = ShownTexts(items);
  EXPECT_EQ(texts, (std::vector<std::string>{"Свернуть в трей", "Поверх остальных окон", "Блокировать перемещение",
                                             "Калькулятор времени...", "Настройки программы...",
                                             "Настройка времени/даты...", "Справка", "Закрыть"}));
  EXPECT_EQ(ShownTexts(items, 1), (std::vector<std::string>{"Помощь...", "О программе..."}));
  EXPECT_FALSE(FindItem(items, "Поверх остальных окон")->checked);
  EXPECT_EQ(std::count_if(items.begin(), items.end(), [](const auto& i) { return i.separator; }), 2);
  Choose(items, "Блокировать перемещение");  // the lock goes on
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 3s));

  // Left click: to the tray; the menu now offers to restore.
  PostMessageW(clocks_, kTrayCallback, 1, WM_LBUTTONUP);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(clocks_); }, 3s));
  items = OpenTrayMenu(menu);
  Screenshot("menu-from-tray");
  texts = ShownTexts(items);
  EXPECT_EQ(texts, (std::vector<std::string>{"Восстановить", "Блокировать перемещение", "В левый-верхний угол",
                                             "Калькулятор времени...", "Настройки программы...",
                                             "Настройка времени/даты...", "Справка", "Закрыть"}));
  EXPECT_TRUE(FindItem(items, "Блокировать перемещение")->checked);
  CloseMenu(menu);

  // Meanwhile a window of another program covers the place of the clock.
  const RECT r = WindowRect(clocks_);
  HWND cover = CreateWindowExW(0, L"STATIC", L"cover", WS_POPUP | WS_VISIBLE | WS_BORDER, r.left - 50, r.top - 50,
                               r.right - r.left + 100, r.bottom - r.top + 100, nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(cover);
  PumpMessages(300ms);

  // Left click again: back, in front of the cover.
  PostMessageW(clocks_, kTrayCallback, 1, WM_LBUTTONUP);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(clocks_); }, 3s));
  Sleep(300);
  const POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  DWORD owner = 0;
  GetWindowThreadProcessId(WindowFromPoint(middle), &owner);
  EXPECT_EQ(owner, program_.id()) << "the clock is in front";
  DestroyWindow(cover);

  // "В левый-верхний угол" while locked: there it stays, and there it is saved.
  items = OpenTrayMenu(menu);
  Choose(items, "В левый-верхний угол");
  ASSERT_TRUE(WaitUntil([&] { return WindowRect(clocks_).left == 0 && WindowRect(clocks_).top == 0; }, 3s));
  Sleep(300);
  EXPECT_EQ(WindowRect(clocks_).left, 0) << "the lock moved with the window";
  const std::string saved = ReadCp1251(SettingsFile());
  for (const char* key : {"BlockedMove=1\r\n", "Left=0\r\n", "Top=0\r\n"})
    EXPECT_NE(saved.find(key), std::string::npos) << key;
}

TEST_F(BehaviourTest, SecondStartBringsTheMinimisedWindowBackWithANotice) {
  WriteSettings({});
  StartProgram();
  PostMessageW(clocks_, kTrayCallback, 1, WM_LBUTTONUP);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(clocks_); }, 3s));

  Process second(folder_ / "Horavex.KT.exe");
  EXPECT_TRUE(second.WaitForExit(10s));
  const MessageBoxInfo box = WaitForMessageBox(program_.id());
  EXPECT_EQ(box.text, "Программа Horavex.KT уже запущена!");
  EXPECT_EQ(box.caption, "Horavex.KT 1.0.1.2k.ru - Warning...");
  EXPECT_TRUE(IsWindowVisible(clocks_));
  Screenshot("second-start");
  PressButton(box.window, "OK");
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box.window); }));
  EXPECT_TRUE(program_.Running());
}

TEST_F(BehaviourTest, RestartedShellGetsANewWindowWhileTheProgramKeepsAnswering) {
  StartShell();
  WriteSettings({.hideTrayClock = true});
  StartProgram();
  ASSERT_TRUE(WaitUntil([&] { return TrayEvents().size() >= 5; }));

  ASSERT_TRUE(SendToShell("restart"));
  const auto restarted = std::chrono::steady_clock::now();
  // The broadcast reaches the program within a couple of seconds under Wine.
  EXPECT_TRUE(WaitUntil([&] { return TopWindows(L"TFormClocks", program_.id()).empty(); }, 4s));
  // The wait for the new taskbar does not hold up the program.
  for (int i = 0; i < 3; ++i) {
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, &result), 0)
        << "the program does not answer during the wait";
    Sleep(800);
  }
  EXPECT_TRUE(TopWindows(L"TFormClocks", program_.id()).empty()) << "rebuilt before the wait was over";
  HWND rebuilt = WaitForWindow(L"TFormClocks", program_.id(), 8s);
  ASSERT_NE(rebuilt, nullptr);
  const auto after = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - restarted);
  EXPECT_GE(after.count(), 4500);
  ASSERT_TRUE(WaitUntil([&] { return TrayEvents().size() >= 11; }, 3s));
  const auto events = TrayEvents();
  const std::vector<std::string> tail(events.end() - 6, events.end());
  EXPECT_EQ(tail, Concat({"restarted", "clock hidden"}, kTwoPressReleasePairs)) << "the new taskbar's clock is hidden";
}

}  // namespace
}  // namespace hx::e2e
