#include "core/monitors.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/placement.h"

namespace hx {
namespace {

// The primary monitor with a 30-pixel taskbar at the bottom, and
// neighbours of other sizes: right of it, left of it and above it (both with
// negative coordinates), and a small one below it.
const Monitor kA{{0, 0, 1024, 768}, {0, 0, 1024, 738}};
const Monitor kB{{1024, 0, 2304, 1024}, {1024, 0, 2304, 1024}};
const Monitor kL{{-1280, -256, 0, 768}, {-1280, -216, 0, 768}};
const Monitor kU{{-128, -1024, 1152, 0}, {-128, -1024, 1152, -30}};
const Monitor kD{{0, 768, 600, 1368}, {0, 768, 600, 1368}};
constexpr ScreenSize kWindow{252, 56};

ScreenRect WindowAt(ScreenPoint p) { return {p.x, p.y, p.x + kWindow.width, p.y + kWindow.height}; }

}  // namespace

TEST(Monitors, BorderRuleStopsOnlyAtTheOuterEdgesOfTheDesktop) {
  struct Case {
    Monitors desktop;
    ScreenPoint from, to, expected;
  };
  const Case cases[] = {
      {{kA, kB}, {700, 300}, {900, 300}, {900, 300}},      // across the shared edge
      {{kA, kB}, {700, 300}, {1500, 300}, {1500, 300}},    // in one jump
      {{kA, kB}, {1500, 300}, {5000, 300}, {2052, 300}},   // B's outer right edge
      {{kA, kB}, {1500, 900}, {1500, 2000}, {1500, 968}},  // B's bottom, lower than A's
      {{kA, kB}, {500, 300}, {500, 2000}, {500, 712}},     // A's bottom, over its taskbar
      {{kA, kB}, {1100, 900}, {900, 900}, {1024, 900}},    // below A's end B's left edge is outer
      {{kL, kA, kB}, {100, 300}, {-600, 300}, {-600, 300}},
      {{kL, kA, kB}, {-600, 300}, {-5000, -5000}, {-1280, -256}},
      {{kL, kA, kB}, {-600, -200}, {100, -200}, {-252, -200}},  // nothing right of L up there
      {{kA, kU}, {100, 100}, {100, -500}, {100, -500}},         // stacked: up across
      {{kA, kU}, {100, -500}, {100, -5000}, {100, -1024}},
      {{kA, kU}, {100, -500}, {-400, -500}, {-128, -500}},
      {{kA, kD}, {300, 700}, {300, 900}, {300, 900}},  // down onto the narrower monitor
      {{kA, kD}, {700, 300}, {700, 900}, {700, 712}},  // beside it A's bottom holds
      {{kA, kB}, {1500, 300}, {INT_MAX - 4, INT_MAX - 4}, {2052, 968}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ClampToDesktop(WindowAt(c.from), c.to, c.desktop), c.expected) << c.to.x << "," << c.to.y;

  // One monitor: exactly the single-screen rule, also where the window is
  // larger than the screen.
  const Monitors one = SingleMonitor({1024, 768}, {0, 0, 1024, 738});
  for (int x : {-5000, -1, 0, 500, 772, 773, 5000})
    for (int y : {-5000, -1, 0, 300, 712, 713, 5000}) {
      EXPECT_EQ(ClampToDesktop(WindowAt({400, 300}), {x, y}, one), ClampToScreen({x, y}, kWindow, {1024, 768}));
      EXPECT_EQ(ClampToDesktop({400, 300, 1500, 900}, {x, y}, one), ClampToScreen({x, y}, {1100, 600}, {1024, 768}));
    }
}

TEST(Monitors, DragUsesTheDesktopWhenItIsKnown) {
  PlacementState s;
  s.BeginDrag(MouseButton::Left, {10, 10});
  DragRules rules{{1024, 768}, true, false, true, kEdgeTop, {kA, kB}};
  EXPECT_EQ(*s.DragTo(WindowAt({700, 300}), {510, 10}, rules), (ScreenPoint{1200, 300}));
  rules.borderScreen = false;
  EXPECT_EQ(*s.DragTo(WindowAt({1500, 300}), {5010, 10}, rules), (ScreenPoint{6500, 300}));
}

TEST(Monitors, SavedPositionOnNoMonitorComesBackOntoTheNearestWorkArea) {
  struct Case {
    Monitors desktop;
    ScreenPoint saved, expected;
  };
  const Case cases[] = {
      {{kA}, {3000, 300}, {772, 300}},  // the monitor on the right is gone
      {{kA}, {-900, -100}, {0, 0}},
      {{kA}, {500, 1500}, {500, 682}},   // above the taskbar
      {{kA}, {-300, 300}, {0, 300}},
      {{kA}, {1000, 300}, {1000, 300}},  // partly on the screen: stays
      {{kA, kB}, {1500, 300}, {1500, 300}},
      {{kL, kA, kB}, {-2000, 900}, {-1280, 712}},
      {{kA, kU}, {100, -1500}, {100, -1024}},
      // Any int may stand in the settings file.
      {{kA, kB}, {INT_MAX - 4, INT_MAX - 4}, {2052, 968}},
      {{kL, kA}, {INT_MIN, INT_MIN}, {-1280, -216}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(OntoNearestMonitor(c.saved, kWindow, c.desktop), c.expected) << c.saved.x << "," << c.saved.y;
}

TEST(Monitors, DialogsCentreOnTheWorkAreaOfTheClocksMonitor) {
  constexpr ScreenSize dialog{400, 300};
  const ScreenRect onB = WindowAt({1500, 300}), onL = WindowAt({-600, 300}), astride = WindowAt({900, 300}),
                   gone = WindowAt({5000, 300});
  EXPECT_EQ(CentredOnClockMonitor(nullptr, dialog, {kA, kB}), (ScreenPoint{312, 219}));
  EXPECT_EQ(CentredOnClockMonitor(&onB, dialog, {kA, kB}), (ScreenPoint{1464, 362}));
  EXPECT_EQ(CentredOnClockMonitor(&astride, dialog, {kA, kB}), (ScreenPoint{1464, 362}));  // mostly on B
  EXPECT_EQ(CentredOnClockMonitor(&gone, dialog, {kA, kB}), (ScreenPoint{1464, 362}));     // nearest
  EXPECT_EQ(CentredOnClockMonitor(&onL, dialog, {kL, kA, kB}), (ScreenPoint{-840, 126}));
  // One screen without reserved space: centred on the screen as before.
  EXPECT_EQ(CentredOnClockMonitor(&onB, dialog, SingleMonitor({1024, 768})), (ScreenPoint{312, 234}));
}

TEST(Monitors, HintStaysOnTheClocksMonitor) {
  // At the bottom of the monitor above: the hint goes above the clock, not
  // onto the primary monitor.
  EXPECT_EQ(HintPosition(WindowAt({100, -56}), {150, 19}, 130, kU.rect), (ScreenPoint{130, -77}));
}

}  // namespace hx
