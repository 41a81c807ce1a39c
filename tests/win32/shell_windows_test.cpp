// The shell adapter against real windows: fake_shell builds the taskbar's
// window tree and desk toolbars the way the shell does.
#include "win32/shell_windows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/taskbar_clock.h"
#include "tests/helpers/fake_shell_client.h"

namespace hx::win {
namespace {

namespace fs = std::filesystem;

fs::path HelperExe() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return fs::path(self).parent_path().parent_path() / "helpers" / "fake_shell.exe";
}

bool Run(const std::wstring& commandLine, PROCESS_INFORMATION& process) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  std::wstring line = commandLine;
  return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
}

// A running fake_shell with its event log.
class FakeShellProcess {
 public:
  explicit FakeShellProcess(const std::wstring& arguments) {
    log_ = fs::temp_directory_path() / ("fake_shell_" + std::to_string(GetCurrentProcessId()) + ".log");
    fs::remove(log_);
    started_ = Run(L"\"" + HelperExe().wstring() + L"\" --log \"" + log_.wstring() + L"\" " + arguments, process_);
    for (int i = 0; started_ && i < 200 && Lines().empty(); ++i) Sleep(50);
  }
  ~FakeShellProcess() {
    if (!started_) return;
    Send("quit");
    if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    fs::remove(log_);
  }
  bool Ready() { return started_ && !Lines().empty() && Lines()[0] == "ready"; }

  fake_shell::SendResult Send(const std::string& command) { return fake_shell::Send(process_.dwProcessId, command); }

  std::vector<std::string> Lines() const {
    std::ifstream in(log_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // The log lines after the first `skip`.
  std::vector<std::string> LinesAfter(size_t skip) const {
    auto lines = Lines();
    lines.erase(lines.begin(), lines.begin() + std::min(skip, lines.size()));
    return lines;
  }

 private:
  fs::path log_;
  PROCESS_INFORMATION process_ = {};
  bool started_ = false;
};

std::wstring ClassOf(ShellWindow window) {
  wchar_t name[128] = {};
  GetClassNameW(ToHwnd(window), name, 128);
  return name;
}

using Lines = std::vector<std::string>;

TEST(SystemShellWindows, HidesAndShowsTheTrayClockAndNudgesItsButton) {
  FakeShellProcess fake(L"");
  ASSERT_TRUE(fake.Ready());
  SystemShellWindows shell;
  const TrayWindows tray = shell.FindTray();
  ASSERT_NE(tray.clock, 0u);
  ASSERT_NE(tray.button, 0u);
  EXPECT_EQ(ClassOf(tray.clock), L"TrayClockWClass");
  EXPECT_EQ(ClassOf(tray.button), L"Button");
  EXPECT_EQ(ClassOf(FromHwnd(GetParent(ToHwnd(tray.clock)))), L"TrayNotifyWnd");

  const Lines nudge{"button WM_LBUTTONDOWN 1 1", "button WM_LBUTTONUP 1 1", "button WM_LBUTTONDOWN 1 1",
                    "button WM_LBUTTONUP 1 1"};
  size_t seen = fake.Lines().size();
  EXPECT_TRUE(ApplyTrayClockVisibility(shell, true));
  EXPECT_FALSE(shell.IsVisible(tray.clock));
  Lines expected{"clock hidden"};
  expected.insert(expected.end(), nudge.begin(), nudge.end());
  EXPECT_EQ(fake.LinesAfter(seen), expected);

  seen = fake.Lines().size();
  EXPECT_FALSE(ApplyTrayClockVisibility(shell, true));
  EXPECT_EQ(fake.Send("report"), fake_shell::SendResult::Done);
  EXPECT_EQ(fake.LinesAfter(seen), Lines{"state clock hidden"});

  seen = fake.Lines().size();
  EXPECT_TRUE(ApplyTrayClockVisibility(shell, false));
  EXPECT_EQ(fake.LinesAfter(seen).front(), "clock shown");
  EXPECT_EQ(fake.LinesAfter(seen).size(), 5u);

  // A restarted shell has a new, visible clock; the handles are found afresh.
  ApplyTrayClockVisibility(shell, true);
  EXPECT_EQ(fake.Send("restart"), fake_shell::SendResult::Done);
  const TrayWindows renewed = shell.FindTray();
  EXPECT_NE(renewed.clock, tray.clock);
  EXPECT_TRUE(shell.IsVisible(renewed.clock));
}

TEST(SystemShellWindows, ListsDockedToolbarsAndFollowsTheirMoves) {
  FakeShellProcess fake(L"--bar 0 0 1024 30 --bar 984 0 1024 700 --bar 300 300 500 330");
  ASSERT_TRUE(fake.Ready());
  SystemShellWindows shell;
  EXPECT_EQ(shell.Screen(), (ScreenSize{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));

  const auto bars = shell.VisibleDeskToolbars();
  ASSERT_EQ(bars.size(), 3u);
  EXPECT_EQ(bars[0].rect, (ScreenRect{0, 0, 1024, 30}));  // z-order: bar 0 highest
  EXPECT_EQ(bars[1].rect, (ScreenRect{984, 0, 1024, 700}));
  EXPECT_EQ(FindWindowsPanel(shell, kEdgeTop), bars[0].window);
  EXPECT_EQ(FindWindowsPanel(shell, kEdgeRight), bars[1].window);
  EXPECT_EQ(FindWindowsPanel(shell, kEdgeLeft), 0u);

  PlacementState state;
  const ScreenRect panels{300, 0, 552, 56};
  EXPECT_EQ(fake.Send("move 0 0 -28 1024 2"), fake_shell::SendResult::Done);
  EXPECT_EQ(FollowWindowsPanel(shell, kEdgeTop, panels, state).top, -56);

  EXPECT_EQ(fake.Send("close 0"), fake_shell::SendResult::Done);
  EXPECT_EQ(shell.VisibleDeskToolbars().size(), 2u);
  EXPECT_EQ(FollowWindowsPanel(shell, kEdgeTop, {300, -56, 552, 0}, state).top, 0);

  EXPECT_EQ(fake.Send("close 0"), fake_shell::SendResult::Refused);  // already gone
  EXPECT_EQ(fake.Send("fly away"), fake_shell::SendResult::Refused);
}

LRESULT CALLBACK DecoyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(SystemShellWindows, FindsTheTaskbarThatHostsTheTrayAmongBareOnes) {
  FakeShellProcess fake(L"");
  ASSERT_TRUE(fake.Ready());
  // A bare "Shell_TrayWnd", like Wine's own, made last and on top like the
  // fake taskbar, and so found first.
  WNDCLASSW wc = {};
  wc.lpfnWndProc = &DecoyProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"Shell_TrayWnd";
  RegisterClassW(&wc);
  HWND decoy = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"Shell_TrayWnd", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                               nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(decoy);
  ASSERT_EQ(FindWindowW(L"Shell_TrayWnd", nullptr), decoy);
  SystemShellWindows shell;
  EXPECT_EQ(ClassOf(shell.FindTray().clock), L"TrayClockWClass");
  DestroyWindow(decoy);
  UnregisterClassW(L"Shell_TrayWnd", wc.hInstance);
}

TEST(SystemShellWindows, MissingTrayWindowsAreNoFailure) {
  FakeShellProcess fake(L"--no-button --no-clock");
  ASSERT_TRUE(fake.Ready());
  SystemShellWindows shell;
  EXPECT_EQ(shell.FindTray().clock, 0u);
  EXPECT_EQ(shell.FindTray().button, 0u);
  EXPECT_FALSE(ApplyTrayClockVisibility(shell, true, TrayRefresh::Always));
}

// The monitor list as the system knows it: the primary monitor first, at
// the origin with the screen's size and SPI_GETWORKAREA's work area (which
// is also what systems without the monitor functions get), and all of them
// together the virtual screen.
TEST(SystemShellWindows, DisplayMonitorsListThePrimaryFirstAndCoverTheVirtualScreen) {
  SystemShellWindows shell;
  const Monitors monitors = shell.DisplayMonitors();
  ASSERT_EQ(static_cast<int>(monitors.size()), GetSystemMetrics(SM_CMONITORS));
  EXPECT_EQ(monitors.front().rect, (ScreenRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
  EXPECT_EQ(monitors.front(), MonitorsFromSystemMetrics().front());
  ScreenRect all = monitors.front().rect;
  for (const Monitor& m : monitors) {
    EXPECT_GE(m.workArea.left, m.rect.left);
    EXPECT_GE(m.workArea.top, m.rect.top);
    EXPECT_LE(m.workArea.right, m.rect.right);
    EXPECT_LE(m.workArea.bottom, m.rect.bottom);
    all = {std::min(all.left, m.rect.left), std::min(all.top, m.rect.top), std::max(all.right, m.rect.right),
           std::max(all.bottom, m.rect.bottom)};
  }
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  EXPECT_EQ(all, (ScreenRect{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)}));
}

}  // namespace
}  // namespace hx::win
