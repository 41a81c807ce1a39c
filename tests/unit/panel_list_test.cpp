#include "settings/panel_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hx {
namespace {

ClockPanel Panel(const std::string& name, int sysFlag = kZonePanel, bool visible = true) {
  ClockPanel p;
  p.Name = name;
  p.SysFlag = sysFlag;
  p.Visible = visible;
  return p;
}

// A zone panel between the fixed ones and one at the end, so every row
// kind sits both inside the list and at an end.
PanelList SampleList() {
  return {Panel("Системное", kSystemTimePanel), Panel("Токио"), Panel("Дата", kDatePanel), Panel("Лондон")};
}

std::vector<std::string> Names(const PanelList& panels) {
  std::vector<std::string> names;
  for (const ClockPanel& p : panels) names.push_back(p.Name);
  return names;
}

using Buttons = PanelListButtons;

}  // namespace

TEST(PanelListButtonStates, FollowTheSelectedRowsKindAndPlace) {
  const PanelList panels = SampleList();
  //                                              add   edit  remove up     down
  EXPECT_EQ(PanelListButtonStates(panels, 0), (Buttons{true, true, false, false, true}));  // system time, first
  EXPECT_EQ(PanelListButtonStates(panels, 1), (Buttons{true, true, true, true, true}));    // zone, inside
  EXPECT_EQ(PanelListButtonStates(panels, 2), (Buttons{true, true, false, true, true}));   // date, inside
  EXPECT_EQ(PanelListButtonStates(panels, 3), (Buttons{true, true, true, true, false}));   // zone, last

  // The date panel last, a zone panel first.
  const PanelList reversed{Panel("Токио"), Panel("Системное", kSystemTimePanel), Panel("Дата", kDatePanel)};
  EXPECT_EQ(PanelListButtonStates(reversed, 0), (Buttons{true, true, true, false, true}));
  EXPECT_EQ(PanelListButtonStates(reversed, 2), (Buttons{true, true, false, true, false}));

  // No selection, or one the list no longer has: only "Добавить".
  EXPECT_EQ(PanelListButtonStates(panels, std::nullopt), (Buttons{true, false, false, false, false}));
  EXPECT_EQ(PanelListButtonStates(panels, 4), (Buttons{true, false, false, false, false}));
  EXPECT_EQ(PanelListButtonStates({}, std::nullopt), (Buttons{true, false, false, false, false}));
}

TEST(PanelListButtonStates, AddStopsAtTheLoadersLimit) {
  PanelList panels = SampleList();
  panels.resize(kMaxPanels - 1, Panel("Зона"));
  EXPECT_TRUE(PanelListButtonStates(panels, std::nullopt).add);
  panels.push_back(Panel("Зона"));
  EXPECT_FALSE(PanelListButtonStates(panels, std::nullopt).add);
  EXPECT_EQ(PanelListButtonStates(panels, kMaxPanels - 1), (Buttons{false, true, true, true, false}));
}

TEST(DeletePanel, RemovesZonePanelsOnlyAndKeepsTheOrder) {
  PanelList panels = SampleList();
  EXPECT_FALSE(DeletePanel(panels, 0));  // system time
  EXPECT_FALSE(DeletePanel(panels, 2));  // date
  EXPECT_FALSE(DeletePanel(panels, 4));  // past the end
  EXPECT_EQ(panels, SampleList());

  EXPECT_TRUE(DeletePanel(panels, 3));  // the last row
  EXPECT_TRUE(DeletePanel(panels, 1));  // a row inside; those behind it move up
  EXPECT_EQ(Names(panels), (std::vector<std::string>{"Системное", "Дата"}));
  EXPECT_EQ(panels[1].SysFlag, kDatePanel);
}

TEST(MovePanel, SwapsWholeRecordsAndRefusesMovesOffTheList) {
  PanelList panels = SampleList();
  panels[1].BGColor1 = 255;
  panels[1].TimeValue = "+";
  panels[1].TimeValue1 = 9;
  const ClockPanel tokyo = panels[1];
  const PanelList before = panels;

  EXPECT_FALSE(MovePanel(panels, 0, -1));  // first row up
  EXPECT_FALSE(MovePanel(panels, 3, +1));  // last row down
  EXPECT_FALSE(MovePanel(panels, 4, -1));  // no such row
  EXPECT_FALSE(MovePanel(panels, 1, 2));   // only by one
  EXPECT_FALSE(MovePanel(panels, 1, 0));
  EXPECT_EQ(panels, before);

  EXPECT_TRUE(MovePanel(panels, 0, +1));  // first row down
  EXPECT_EQ(Names(panels), (std::vector<std::string>{"Токио", "Системное", "Дата", "Лондон"}));
  EXPECT_EQ(panels[0], tokyo);  // every field travels with the record
  EXPECT_TRUE(MovePanel(panels, 3, -1));  // last row up
  EXPECT_EQ(Names(panels), (std::vector<std::string>{"Токио", "Системное", "Лондон", "Дата"}));
}

TEST(SetPanelVisible, NeverHidesTheLastVisiblePanel) {
  PanelList panels{Panel("Системное", kSystemTimePanel), Panel("Дата", kDatePanel, false), Panel("Токио", kZonePanel, false)};
  EXPECT_EQ(SetPanelVisible(panels, 0, false), VisibilityChange::RefusedLastVisible);
  EXPECT_TRUE(panels[0].Visible);
  EXPECT_EQ(SetPanelVisible(panels, 1, false), VisibilityChange::Unchanged);  // already hidden
  EXPECT_EQ(SetPanelVisible(panels, 3, true), VisibilityChange::Unchanged);   // no such row

  EXPECT_EQ(SetPanelVisible(panels, 2, true), VisibilityChange::Shown);
  EXPECT_EQ(SetPanelVisible(panels, 2, true), VisibilityChange::Unchanged);
  // Two visible: either may go, then the other is the last one.
  EXPECT_EQ(SetPanelVisible(panels, 0, false), VisibilityChange::Hidden);
  EXPECT_EQ(SetPanelVisible(panels, 2, false), VisibilityChange::RefusedLastVisible);
  EXPECT_EQ((std::vector<bool>{panels[0].Visible, panels[1].Visible, panels[2].Visible}),
            (std::vector<bool>{false, false, true}));
}

TEST(DoubleClickedRow, CountsOnlyRowsBelowTheTopMargin) {
  // Three rows of 16 pixels: row 0 is y 2..17, row 2 is y 34..49.
  EXPECT_EQ(DoubleClickedRow(1, 3, 16), std::nullopt);  // in the margin
  EXPECT_EQ(DoubleClickedRow(2, 3, 16), 0u);
  EXPECT_EQ(DoubleClickedRow(17, 3, 16), 0u);
  EXPECT_EQ(DoubleClickedRow(18, 3, 16), 1u);
  EXPECT_EQ(DoubleClickedRow(49, 3, 16), 2u);
  EXPECT_EQ(DoubleClickedRow(50, 3, 16), std::nullopt);  // below the last row
  EXPECT_EQ(DoubleClickedRow(-5, 3, 16), std::nullopt);
  EXPECT_EQ(DoubleClickedRow(10, 0, 16), std::nullopt);  // empty list
  EXPECT_EQ(DoubleClickedRow(10, 3, 0), std::nullopt);   // no row height yet
}

}  // namespace hx
