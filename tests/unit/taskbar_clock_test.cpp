#include "core/taskbar_clock.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace hx {
namespace {

constexpr ScreenSize kScreen{1024, 768};
constexpr ShellWindow kClock = 11;
constexpr ShellWindow kButton = 12;

// The shell's windows as a test arranges them; records what the program does.
class FakeShell : public ShellWindows {
 public:
  TrayWindows tray{kClock, kButton};
  std::map<ShellWindow, bool> visible{{kClock, true}};
  std::vector<DeskToolbar> toolbars;
  std::vector<std::string> events;

  TrayWindows FindTray() override { return tray; }
  bool IsVisible(ShellWindow w) override { return visible[w]; }
  void SetVisible(ShellWindow w, bool v) override {
    visible[w] = v;
    events.push_back(v ? "show" : "hide");
  }
  void PressAndRelease(ShellWindow w) override { events.push_back("click " + std::to_string(w)); }
  std::vector<DeskToolbar> VisibleDeskToolbars() override { return toolbars; }
  ScreenSize Screen() override { return kScreen; }
};

using Events = std::vector<std::string>;
const Events kTwoClicks{"click 12", "click 12"};

// Toolbars as the shell docks them on a 1024 x 768 screen.
ScreenRect TopBar(int top = 0) { return {0, top, 1024, top + 30}; }
ScreenRect BottomBar(int top = 738) { return {0, top, 1024, top + 30}; }
ScreenRect LeftBar(int left = 0) { return {left, 0, left + 40, 700}; }
ScreenRect RightBar(int left = 984) { return {left, 0, left + 40, 700}; }

}  // namespace

TEST(ApplyTrayClockVisibility, NudgesTheTrayOnlyWhenTheClockChanges) {
  FakeShell shell;
  EXPECT_TRUE(ApplyTrayClockVisibility(shell, true));
  EXPECT_EQ(shell.events, (Events{"hide", "click 12", "click 12"}));

  shell.events.clear();
  EXPECT_FALSE(ApplyTrayClockVisibility(shell, true));  // already hidden
  EXPECT_TRUE(shell.events.empty());

  EXPECT_TRUE(ApplyTrayClockVisibility(shell, false));
  EXPECT_EQ(shell.events, (Events{"show", "click 12", "click 12"}));
  EXPECT_TRUE(shell.visible[kClock]);

  shell.events.clear();
  EXPECT_FALSE(ApplyTrayClockVisibility(shell, false));
  EXPECT_TRUE(shell.events.empty());
}

TEST(ApplyTrayClockVisibility, SkipsMissingWindows) {
  FakeShell shell;
  shell.tray.button = 0;
  EXPECT_TRUE(ApplyTrayClockVisibility(shell, true));
  EXPECT_EQ(shell.events, (Events{"hide"}));

  shell.events.clear();
  shell.tray = {0, kButton};
  EXPECT_FALSE(ApplyTrayClockVisibility(shell, false));
  EXPECT_TRUE(shell.events.empty());
  // The dialog's variant nudges the button even with nothing to change.
  EXPECT_FALSE(ApplyTrayClockVisibility(shell, false, TrayRefresh::Always));
  EXPECT_EQ(shell.events, kTwoClicks);
}

TEST(ToolbarEdge, ClassifiesDockedToolbarsAndSkipsFloatingOnes) {
  EXPECT_EQ(ToolbarEdge(TopBar(), kScreen), kEdgeTop);
  EXPECT_EQ(ToolbarEdge(TopBar(-28), kScreen), kEdgeTop);  // auto-hidden above the screen
  EXPECT_EQ(ToolbarEdge(BottomBar(), kScreen), kEdgeBottom);
  EXPECT_EQ(ToolbarEdge(LeftBar(), kScreen), kEdgeLeft);
  EXPECT_EQ(ToolbarEdge(LeftBar(-38), kScreen), kEdgeLeft);
  EXPECT_EQ(ToolbarEdge(RightBar(), kScreen), kEdgeRight);
  EXPECT_EQ(ToolbarEdge({200, 300, 400, 330}, kScreen), std::nullopt);  // touches neither top nor left
  EXPECT_EQ(ToolbarEdge({984, 20, 1024, 700}, kScreen), std::nullopt);
}

TEST(IsOutOfSight, TwoPixelsLeftOnScreenCountAsHidden) {
  EXPECT_FALSE(IsOutOfSight(TopBar(0), kScreen, kEdgeTop));
  EXPECT_TRUE(IsOutOfSight(TopBar(-1), kScreen, kEdgeTop));
  EXPECT_FALSE(IsOutOfSight(BottomBar(765), kScreen, kEdgeBottom));
  EXPECT_TRUE(IsOutOfSight(BottomBar(766), kScreen, kEdgeBottom));
  EXPECT_TRUE(IsOutOfSight(LeftBar(-38), kScreen, kEdgeLeft));
  EXPECT_FALSE(IsOutOfSight(RightBar(1021), kScreen, kEdgeRight));
  EXPECT_TRUE(IsOutOfSight(RightBar(1022), kScreen, kEdgeRight));
}

TEST(FindWindowsPanel, LastMatchInZOrderOwnsTheWindow) {
  FakeShell shell;
  EXPECT_EQ(FindWindowsPanel(shell, kEdgeTop), 0u);
  shell.toolbars = {{21, TopBar()}, {22, RightBar()}, {23, TopBar(-28)}, {24, {300, 300, 500, 330}}};
  EXPECT_EQ(FindWindowsPanel(shell, kEdgeTop), 23u);
  EXPECT_EQ(FindWindowsPanel(shell, kEdgeRight), 22u);
  EXPECT_EQ(FindWindowsPanel(shell, kEdgeBottom), 0u);
  EXPECT_EQ(DockedEdges(shell), (std::array<bool, 4>{true, false, false, true}));
}

TEST(FollowWindowsPanel, TopToolbarSlidingAwayAndBack) {
  PlacementState s;
  s.SetLocked(true, {300, 0});
  const ScreenRect shown{300, 0, 552, 56};
  std::vector<DeskToolbar> bars{{21, TopBar()}};

  auto out = FollowWindowsPanel(bars, kScreen, kEdgeTop, shown, s);
  EXPECT_FALSE(out.top);
  EXPECT_FALSE(out.mainWindowVisible);

  bars[0].rect = TopBar(-28);
  out = FollowWindowsPanel(bars, kScreen, kEdgeTop, shown, s);
  EXPECT_EQ(out.top, -56);
  EXPECT_EQ(out.mainWindowVisible, false);
  EXPECT_EQ(s.HiddenTop, 0);
  EXPECT_EQ(s.LockedTop, -56);  // the lock does not pull it back meanwhile
  EXPECT_FALSE(s.LockCorrection({300, -56}));

  const ScreenRect hidden{300, -56, 552, 0};
  out = FollowWindowsPanel(bars, kScreen, kEdgeTop, hidden, s);  // still away: nothing
  EXPECT_FALSE(out.top);
  EXPECT_FALSE(out.mainWindowVisible);

  bars[0].rect = TopBar(0);
  out = FollowWindowsPanel(bars, kScreen, kEdgeTop, hidden, s);
  EXPECT_EQ(out.top, 0);
  EXPECT_EQ(out.mainWindowVisible, true);
  EXPECT_EQ(s.HiddenTop, -1);
  EXPECT_EQ(s.LockedTop, 0);
}

TEST(FollowWindowsPanel, BottomToolbarKeepsTheSavedTop) {
  PlacementState s;
  std::vector<DeskToolbar> bars{{21, BottomBar(766)}};
  auto out = FollowWindowsPanel(bars, kScreen, kEdgeBottom, {10, 712, 262, 768}, s);
  EXPECT_EQ(out.top, -56);
  EXPECT_EQ(s.HiddenTop, 712);
  bars[0].rect = BottomBar();
  out = FollowWindowsPanel(bars, kScreen, kEdgeBottom, {10, -56, 262, 0}, s);
  EXPECT_EQ(out.top, 712);
}

TEST(FollowWindowsPanel, ClosedToolbarBringsTheWindowBack) {
  PlacementState s;
  s.HiddenTop = 0;
  const auto out = FollowWindowsPanel({}, kScreen, kEdgeTop, {300, -56, 552, 0}, s);
  EXPECT_EQ(out.top, 0);
  EXPECT_EQ(out.mainWindowVisible, true);
  EXPECT_EQ(s.HiddenTop, -1);

  // A toolbar at another edge does not count as the chosen one.
  s.HiddenTop = 100;
  const auto other = FollowWindowsPanel({{22, LeftBar()}}, kScreen, kEdgeTop, {300, -56, 552, 0}, s);
  EXPECT_EQ(other.top, 100);
}

TEST(FollowWindowsPanel, TwoToolbarsEndInTheStateOfTheLaterOne) {
  const ScreenRect shown{300, 0, 552, 56};
  PlacementState s;
  auto out = FollowWindowsPanel({{21, TopBar(-28)}, {23, TopBar(0)}}, kScreen, kEdgeTop, shown, s);
  EXPECT_FALSE(out.top);  // hidden and back within the tick: stays put
  EXPECT_EQ(out.mainWindowVisible, true);
  EXPECT_EQ(s.HiddenTop, -1);

  out = FollowWindowsPanel({{23, TopBar(0)}, {21, TopBar(-28)}}, kScreen, kEdgeTop, shown, s);
  EXPECT_EQ(out.top, -56);
  EXPECT_EQ(s.HiddenTop, 0);
}

TEST(FollowWindowsPanel, ReadsTheToolbarsThroughTheShell) {
  FakeShell shell;
  shell.toolbars = {{21, LeftBar(-38)}};
  PlacementState s;
  const auto out = FollowWindowsPanel(shell, kEdgeLeft, {0, 300, 252, 356}, s);
  EXPECT_EQ(out.top, -56);
  EXPECT_EQ(s.HiddenTop, 300);
}

TEST(TaskbarRecreation, ClosesOnceAndBuildsOnceHoweverOftenTheShellAnnouncesItself) {
  TaskbarRecreation r;
  EXPECT_FALSE(r.Pending());
  EXPECT_FALSE(r.Finish());  // a stray timer does nothing
  EXPECT_TRUE(r.Begin());
  EXPECT_TRUE(r.Pending());
  EXPECT_FALSE(r.Begin());   // a second announcement only restarts the wait
  EXPECT_TRUE(r.Finish());
  EXPECT_FALSE(r.Pending());
  EXPECT_FALSE(r.Finish());
}

}  // namespace hx
