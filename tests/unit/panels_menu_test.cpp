#include "core/panels_menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
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

TEST(PanelsMenu, OnlyTheTrayMenuOffersTheCornerWhetherOrNotTheWindowIsShown) {
  PanelsMenuState state;
  state.panelsShown = false;
  state.fromTrayIcon = true;
  auto shown = Shown(BuildPanelsMenu(state));
  EXPECT_EQ(shown[0], "Восстановить");
  EXPECT_EQ(shown[1], "Блокировать перемещение");
  EXPECT_EQ(shown[2], "В левый-верхний угол");
  EXPECT_EQ(std::count(shown.begin(), shown.end(), "Свернуть в трей"), 0);
  EXPECT_EQ(std::count(shown.begin(), shown.end(), "Поверх остальных окон"), 0);

  // A right click on the tray icon while the window is on the screen.
  state.panelsShown = true;
  shown = Shown(BuildPanelsMenu(state));
  EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.begin() + 4),
            (std::vector<std::string>{"Свернуть в трей", "Поверх остальных окон", "Блокировать перемещение",
                                      "В левый-верхний угол"}));
  EXPECT_EQ(std::count(shown.begin(), shown.end(), "Восстановить"), 0);

  state.fromTrayIcon = false;
  shown = Shown(BuildPanelsMenu(state));
  EXPECT_EQ(std::count(shown.begin(), shown.end(), "В левый-верхний угол"), 0);
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

// Each command reports its failures under a code of the panels window's unit
// that no other command uses, except the calculator and About, which share
// one; every command is reachable from exactly one item.
TEST(PanelsMenu, EveryCommandHasOneItemAndAFailureCodeOfItsOwn) {
  const auto menu = BuildPanelsMenu({});
  std::vector<PanelsCommand> commands;
  std::function<void(const std::vector<PanelsMenuItem>&)> collect = [&](const std::vector<PanelsMenuItem>& level) {
    for (const auto& item : level) {
      if (item.command != PanelsCommand::None) commands.push_back(item.command);
      collect(item.submenu);
    }
  };
  collect(menu);
  std::vector<const PanelsMenuItem*> items;
  for (int id = static_cast<int>(PanelsCommand::Restore); id <= static_cast<int>(PanelsCommand::Close); ++id) {
    const auto command = static_cast<PanelsCommand>(id);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), command), 1) << id;
    const PanelsMenuItem* item = FindMenuItem(menu, command);
    ASSERT_NE(item, nullptr) << id;
    ASSERT_NE(item->errorCode, nullptr) << item->name;
    EXPECT_EQ(std::string(item->errorCode).rfind("1.012 - ", 0), 0u) << item->name << ": " << item->errorCode;
    EXPECT_NE(std::string(item->errorCode), kPanelsMenuOpenErrorCode) << item->name;
    items.push_back(item);
  }
  for (size_t i = 0; i < items.size(); ++i)
    for (size_t j = i + 1; j < items.size(); ++j) {
      const bool sharedPair = (items[i]->command == PanelsCommand::TimeCalculator &&
                               items[j]->command == PanelsCommand::About);
      EXPECT_EQ(std::string(items[i]->errorCode) == items[j]->errorCode, sharedPair)
          << items[i]->name << " and " << items[j]->name;
      EXPECT_NE(items[i]->name, items[j]->name);
    }
  EXPECT_EQ(FindMenuItem(menu, PanelsCommand::None), nullptr);
}

}  // namespace hx
