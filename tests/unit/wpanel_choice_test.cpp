#include "settings/wpanel_choice.h"

#include <gtest/gtest.h>

#include "core/placement.h"

namespace hx {
namespace {

constexpr EdgeFlags kNone{};
constexpr EdgeFlags kRightOnly{false, false, false, true};
constexpr EdgeFlags kLeftOnly{false, false, true, false};
constexpr EdgeFlags kLeftAndBottom{false, true, true, false};

}  // namespace

TEST(InitialWPanelChoice, OffersTheDockedEdgesAndMarksTheFirst) {
  // Nothing docked: nothing to choose, nothing marked.
  EXPECT_EQ(InitialWPanelChoice(kNone, false, 2, true), (WPanelChoiceView{kNone, std::nullopt, true}));
  EXPECT_EQ(InitialWPanelChoice(kRightOnly, false, 0, false), (WPanelChoiceView{kRightOnly, kEdgeRight, false}));
  // Bottom comes before left.
  EXPECT_EQ(InitialWPanelChoice(kLeftAndBottom, false, 2, true).selected, kEdgeBottom);
  EXPECT_EQ(InitialWPanelChoice({true, true, true, true}, false, 3, true).selected, kEdgeTop);
}

TEST(InitialWPanelChoice, KeepsTheCurrentEdgeWhileEmbedded) {
  // Embedded at the bottom while only a left panel is docked: the bottom
  // stays marked though it cannot be chosen anew.
  const WPanelChoiceView view = InitialWPanelChoice(kLeftOnly, true, kEdgeBottom, true);
  EXPECT_EQ(view.selected, kEdgeBottom);
  EXPECT_EQ(view.enabled, kLeftOnly);
  EXPECT_EQ(InitialWPanelChoice(kNone, true, kEdgeRight, true).selected, kEdgeRight);
  // An edge number that names no edge marks the first docked one.
  EXPECT_EQ(InitialWPanelChoice(kLeftOnly, true, 7, true).selected, kEdgeLeft);
  EXPECT_EQ(InitialWPanelChoice(kNone, true, -1, true).selected, std::nullopt);
}

TEST(AcceptWPanelChoice, StoresTheMarkedEdgeAndRebuildsOnlyOnAChange) {
  EXPECT_EQ(AcceptWPanelChoice(kRightOnly, true, kEdgeTop), (WPanelDecision{kEdgeRight, true, true}));
  EXPECT_EQ(AcceptWPanelChoice(kRightOnly, false, kEdgeRight), (WPanelDecision{kEdgeRight, false, false}));
  EXPECT_EQ(AcceptWPanelChoice({false, true, false, false}, true, kEdgeLeft), (WPanelDecision{kEdgeBottom, true, true}));
  EXPECT_EQ(AcceptWPanelChoice({true, false, false, false}, true, kEdgeTop), (WPanelDecision{kEdgeTop, true, false}));
  // Nothing marked (no panel docked): the top edge.
  EXPECT_EQ(AcceptWPanelChoice(kNone, true, kEdgeTop), (WPanelDecision{kEdgeTop, true, false}));
  EXPECT_EQ(AcceptWPanelChoice(kNone, true, kEdgeBottom), (WPanelDecision{kEdgeTop, true, true}));
  // Two marks at once: right before left before bottom.
  EXPECT_EQ(AcceptWPanelChoice(kLeftAndBottom, true, kEdgeTop).numPanel, kEdgeLeft);
  EXPECT_EQ(AcceptWPanelChoice({true, true, true, true}, true, kEdgeTop).numPanel, kEdgeRight);
}

}  // namespace hx
