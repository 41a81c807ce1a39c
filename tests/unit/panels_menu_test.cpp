#include "core/panels_menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace hx {
namespace {

const PanelsMenuItem& Item(const std::vector<PanelsMenuItem>& menu, PanelsCommand command) {
  const PanelsMenuItem* item = FindMenuItem(menu, command);
  if (!item) throw std::runtime_error("no such item");
  return *item;
}

// The captions a user sees, top to bottom ("-" for separators).
std::vector<std::string> Shown(const std::vector<PanelsMenuItem>& menu) {
  std::vector<std::string> out;
  for (const auto& item : menu)
    if (item.visible) out.push_back(item.separator ? "-" : item.caption);
  return out;
}

}  // namespace

TEST(PanelsMenu, ShownWindowOffersMinimizeAndStayOnTop) {
  const auto menu = BuildPanelsMenu({});
  EXPECT_EQ(Shown(menu), (std::vector<std::string>{"Свернуть в трей", "Поверх остальных окон",
                                                   "Блокировать перемещение", "-", "Калькулятор времени...",
                                                   "Настройки программы...", "Настройка времени/даты...",
                                                   "Справка", "-", "Закрыть"}));
  const auto& help = menu[9].submenu;
  ASSERT_EQ(help.size(), 2u);
  EXPECT_EQ(help[0].caption, "Помощь...");
  EXPECT_EQ(help[1].command, PanelsCommand::About);
}

TEST(PanelsMenu, TrayMenuOfAMinimizedWindowOffersRestoreAndTheCorner) {
  PanelsMenuState state;
  state.panelsShown = false;
  state.fromTrayIcon = true;
  const auto shown = Shown(BuildPanelsMenu(state));
  EXPECT_EQ(shown[0], "Восстановить");
  EXPECT_EQ(shown[1], "Блокировать перемещение");
  EXPECT_EQ(shown[2], "В левый-верхний угол");
  EXPECT_EQ(std::count(shown.begin(), shown.end(), "Свернуть в трей"), 0);
  EXPECT_EQ(std::count(shown.begin(), shown.end(), "Поверх остальных окон"), 0);
}

TEST(PanelsMenu, MarksFollowTheSettings) {
  PanelsMenuState state;
  state.stayOnTop = true;
  auto menu = BuildPanelsMenu(state);
  EXPECT_TRUE(Item(menu, PanelsCommand::StayOnTop).checked);
  EXPECT_FALSE(Item(menu, PanelsCommand::LockPosition).checked);
  EXPECT_TRUE(Item(menu, PanelsCommand::LockPosition).checkable);

  state = {};
  state.blockedMove = true;
  menu = BuildPanelsMenu(state);
  EXPECT_FALSE(Item(menu, PanelsCommand::StayOnTop).checked);
  EXPECT_TRUE(Item(menu, PanelsCommand::LockPosition).checked);
}

TEST(PanelsMenu, EmbeddedOrRecreatedWindowCannotChangeItsPlace) {
  for (const bool embedded : {true, false}) {
    PanelsMenuState state;
    state.embedded = embedded;
    state.recreated = !embedded;
    const auto menu = BuildPanelsMenu(state);
    EXPECT_FALSE(Item(menu, PanelsCommand::StayOnTop).enabled);
    EXPECT_FALSE(Item(menu, PanelsCommand::MinimizeToTray).enabled);
    EXPECT_FALSE(Item(menu, PanelsCommand::Restore).enabled);
    EXPECT_TRUE(Item(menu, PanelsCommand::LockPosition).enabled);
    EXPECT_TRUE(Item(menu, PanelsCommand::Close).enabled);
    EXPECT_EQ(Item(menu, PanelsCommand::StayOnTop).checkable, !embedded);
  }
}

TEST(PanelsMenu, EveryCommandHasOneItemAndItsFailureCode) {
  const auto menu = BuildPanelsMenu({});
  EXPECT_STREQ(Item(menu, PanelsCommand::About).errorCode, Item(menu, PanelsCommand::TimeCalculator).errorCode);
  EXPECT_STREQ(Item(menu, PanelsCommand::Close).errorCode, "1.012 - 021.0");
  EXPECT_EQ(Item(menu, PanelsCommand::Help).name, "N8");
  for (int id = static_cast<int>(PanelsCommand::Restore); id <= static_cast<int>(PanelsCommand::Close); ++id) {
    const PanelsMenuItem* item = FindMenuItem(menu, static_cast<PanelsCommand>(id));
    ASSERT_NE(item, nullptr) << id;
    EXPECT_NE(item->errorCode, nullptr) << item->name;
  }
  EXPECT_EQ(FindMenuItem(menu, PanelsCommand::None), nullptr);
}

}  // namespace hx
