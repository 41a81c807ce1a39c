#include "core/placement.h"

#include <gtest/gtest.h>

namespace hx {
namespace {

constexpr ScreenSize kScreen{1024, 768};
constexpr ScreenSize kWindow{252, 56};

ScreenRect WindowAt(int left, int top) { return {left, top, left + kWindow.width, top + kWindow.height}; }

DragRules Rules(bool borderScreen, bool embedded = false, int numPanel = kEdgeTop, bool retain = true) {
  return {kScreen, borderScreen, embedded, retain, numPanel, {}};
}

// Presses at (10, 10) inside a control and moves the mouse to (10+dx, 10+dy).
std::optional<ScreenPoint> Drag(PlacementState& s, ScreenRect window, int dx, int dy, const DragRules& rules) {
  s.BeginDrag(MouseButton::Left, {10, 10});
  return s.DragTo(window, {10 + dx, 10 + dy}, rules);
}

}  // namespace

TEST(Drag, MovesByTheMouseDeltaInsideThePressedControl) {
  PlacementState s;
  const auto p = Drag(s, WindowAt(100, 200), 35, -20, Rules(true));
  ASSERT_TRUE(p);
  EXPECT_EQ(*p, (ScreenPoint{135, 180}));
}

TEST(Hint, GoesBesideTheClockNeverOverIt) {
  constexpr ScreenSize hint{150, 19};
  constexpr ScreenRect kScreenArea{0, 0, kScreen.width, kScreen.height};
  // Room below: under the window, from the mouse.
  EXPECT_EQ(HintPosition(WindowAt(100, 200), hint, 130, kScreenArea), (ScreenPoint{130, 258}));
  // At the bottom of the screen, or partly below it: above the window.
  EXPECT_EQ(HintPosition(WindowAt(100, 712), hint, 130, kScreenArea), (ScreenPoint{130, 691}));
  EXPECT_EQ(HintPosition(WindowAt(100, 740), hint, 130, kScreenArea), (ScreenPoint{130, 719}));
  // Near the right edge it ends at the edge.
  EXPECT_EQ(HintPosition(WindowAt(772, 200), hint, 1015, kScreenArea), (ScreenPoint{874, 258}));
  // A window as tall as the screen leaves no room: the hint stays on it.
  EXPECT_EQ(HintPosition({0, 0, 84, 768}, hint, 20, kScreenArea), (ScreenPoint{20, 749}));
  // Just room above it.
  EXPECT_EQ(HintPosition({0, 21, 84, 768}, hint, 20, kScreenArea), (ScreenPoint{20, 0}));
}

TEST(Drag, BorderScreenStopsAtEveryScreenEdge) {
  PlacementState s;
  EXPECT_EQ(*Drag(s, WindowAt(700, 300), 5000, 0, Rules(true)), (ScreenPoint{772, 300}));
  EXPECT_EQ(*Drag(s, WindowAt(700, 300), -5000, -5000, Rules(true)), (ScreenPoint{0, 0}));
  EXPECT_EQ(*Drag(s, WindowAt(700, 700), 0, 500, Rules(true)), (ScreenPoint{700, 712}));
  // Without the border rule the window may leave the screen partly.
  EXPECT_EQ(*Drag(s, WindowAt(700, 300), 200, -400, Rules(false)), (ScreenPoint{900, -100}));
}

TEST(Drag, EmbeddedWindowWithRetentionStaysOnItsEdge) {
  PlacementState s;
  // Top edge: vertical moves have no effect, horizontal ones work.
  EXPECT_EQ(*Drag(s, WindowAt(100, 0), 40, 300, Rules(true, true, kEdgeTop)), (ScreenPoint{140, 0}));
  EXPECT_EQ(*Drag(s, WindowAt(100, 500), 0, 0, Rules(true, true, kEdgeBottom)), (ScreenPoint{100, 712}));
  EXPECT_EQ(*Drag(s, WindowAt(100, 500), 50, 10, Rules(true, true, kEdgeLeft)), (ScreenPoint{0, 510}));
  // Edge retention applies even where the border rule is off.
  EXPECT_EQ(*Drag(s, WindowAt(100, 500), -500, 400, Rules(false, true, kEdgeRight)), (ScreenPoint{772, 900}));
  // Without retention an embedded window drags freely within the screen.
  EXPECT_EQ(*Drag(s, WindowAt(100, 0), 0, 300, Rules(true, true, kEdgeTop, false)), (ScreenPoint{100, 300}));
}

TEST(Drag, StartsOnlyWithTheLeftButtonAndWithoutTheLock) {
  PlacementState s;
  EXPECT_FALSE(s.BeginDrag(MouseButton::Right, {1, 1}));
  EXPECT_FALSE(s.DragTo(WindowAt(0, 0), {50, 50}, Rules(true)));

  s.SetLocked(true, {10, 20});
  EXPECT_FALSE(s.BeginDrag(MouseButton::Left, {1, 1}));
  EXPECT_FALSE(s.DragTo(WindowAt(10, 20), {50, 50}, Rules(true)));

  s.SetLocked(false, {10, 20});
  EXPECT_TRUE(s.BeginDrag(MouseButton::Left, {1, 1}));
  s.EndDrag();
  EXPECT_FALSE(s.DragTo(WindowAt(10, 20), {50, 50}, Rules(true)));
}

TEST(PositionLock, TickPullsTheWindowBackOnlyWhileLocked) {
  PlacementState s;
  EXPECT_FALSE(s.LockCorrection({5, 5}));
  s.SetLocked(true, {300, 40});
  EXPECT_FALSE(s.LockCorrection({300, 40}));
  EXPECT_EQ(s.LockCorrection({301, 40}), (ScreenPoint{300, 40}));
  EXPECT_EQ(s.LockCorrection({300, 0}), (ScreenPoint{300, 40}));
  EXPECT_EQ(s.SavedPosition({1, 2}), (ScreenPoint{300, 40}));

  // Unlocking keeps the old lock spot but stops enforcing it.
  s.SetLocked(false, {1, 2});
  EXPECT_FALSE(s.LockCorrection({1, 2}));
  EXPECT_EQ(s.SavedPosition({1, 2}), (ScreenPoint{1, 2}));
}

TEST(PositionLock, TopLeftCornerWhileLockedMovesTheLockWithTheWindow) {
  PlacementState s;
  s.SetLocked(true, {500, 500});
  s.PanelsShown = false;
  s.Dragging = true;
  EXPECT_EQ(s.MoveToTopLeft(), (ScreenPoint{0, 0}));
  EXPECT_TRUE(s.PanelsShown);
  EXPECT_FALSE(s.Dragging);
  EXPECT_TRUE(s.BlockedMove);
  EXPECT_FALSE(s.LockCorrection({0, 0}));  // stays there
}

TEST(TrayState, LeftClicksToggleAndAMenuDialogKeepsTheWindow) {
  PlacementState s;
  EXPECT_EQ(s.TrayLeftClick(), TrayClickAction::MinimizeToTray);
  EXPECT_TRUE(s.MinimizeToTray());
  EXPECT_FALSE(s.PanelsShown);
  EXPECT_EQ(s.TrayLeftClick(), TrayClickAction::Restore);
  s.Restore();
  EXPECT_TRUE(s.PanelsShown);

  s.MenuDialogOpen = true;
  EXPECT_FALSE(s.MinimizeToTray());
  EXPECT_TRUE(s.PanelsShown);
  s.MenuDialogOpen = false;  // after the dialog closed minimising works again
  EXPECT_TRUE(s.MinimizeToTray());
}

TEST(ReturnFromHidden, RestoresTheTopAndMovesTheVerticalLock) {
  PlacementState s;
  EXPECT_FALSE(s.ReturnFromHidden());

  s.SetLocked(true, {300, 0});
  s.HiddenTop = 0;  // 0 is a real saved Top
  s.LockedTop = -56;
  EXPECT_EQ(s.ReturnFromHidden(), 0);
  EXPECT_EQ(s.HiddenTop, -1);
  EXPECT_EQ(s.LockedTop, 0);
  EXPECT_EQ(s.LockedLeft, 300);  // the horizontal lock is left alone
  EXPECT_FALSE(s.LockCorrection({300, 0}));
}

TEST(PutAgainstEdge, MovesOnlyTheCoordinateOfTheEdge) {
  const ScreenPoint p{100, 200};
  EXPECT_EQ(PutAgainstEdge(p, kWindow, kScreen, kEdgeTop), (ScreenPoint{100, 0}));
  EXPECT_EQ(PutAgainstEdge(p, kWindow, kScreen, kEdgeBottom), (ScreenPoint{100, 712}));
  EXPECT_EQ(PutAgainstEdge(p, kWindow, kScreen, kEdgeLeft), (ScreenPoint{0, 200}));
  EXPECT_EQ(PutAgainstEdge(p, kWindow, kScreen, kEdgeRight), (ScreenPoint{772, 200}));
  EXPECT_EQ(PutAgainstEdge(p, kWindow, kScreen, 7), p);
}

}  // namespace hx
