#include "core/panels_menu.h"

namespace hx {
namespace {

PanelsMenuItem Command(const char* name, const char* caption, PanelsCommand command, const char* errorCode) {
  PanelsMenuItem item;
  item.name = name;
  item.caption = caption;
  item.command = command;
  item.errorCode = errorCode;
  return item;
}

PanelsMenuItem Separator(const char* name) {
  PanelsMenuItem item;
  item.name = name;
  item.separator = true;
  return item;
}

}  // namespace

std::vector<PanelsMenuItem> BuildPanelsMenu(const PanelsMenuState& s) {
  // Embedded or re-created windows cannot leave their place: no topmost
  // switch and no trip to the tray.
  const bool placeFixed = s.embedded || s.recreated;

  auto restore = Command("N14", "Восстановить", PanelsCommand::Restore, "1.012 - 0.012");
  restore.visible = !s.panelsShown;
  restore.enabled = !placeFixed;

  auto minimize = Command("N1", "Свернуть в трей", PanelsCommand::MinimizeToTray, "1.012 - 011.0");
  minimize.visible = s.panelsShown;
  minimize.enabled = !placeFixed;

  auto onTop = Command("N13", "Поверх остальных окон", PanelsCommand::StayOnTop, "1.012 - 023.0");
  onTop.visible = s.panelsShown;
  onTop.enabled = !placeFixed;
  onTop.checkable = !s.embedded;
  onTop.checked = s.stayOnTop;

  auto lock = Command("N3", "Блокировать перемещение", PanelsCommand::LockPosition, "1.012 - 0.015");
  lock.checkable = true;
  lock.checked = s.blockedMove;

  auto corner = Command("N2", "В левый-верхний угол", PanelsCommand::TopLeftCorner, "1.012 - 0.016");
  corner.visible = s.fromTrayIcon;

  auto help = Command("N9", "Справка", PanelsCommand::None, nullptr);
  help.submenu = {Command("N8", "Помощь...", PanelsCommand::Help, "1.012 - 0.020"),
                  Command("N10", "О программе...", PanelsCommand::About, "1.012 - 0.017")};

  return {restore,
          minimize,
          onTop,
          lock,
          corner,
          Separator("N11"),
          Command("N4", "Калькулятор времени...", PanelsCommand::TimeCalculator, "1.012 - 0.017"),
          Command("N12", "Настройки программы...", PanelsCommand::Settings, "1.012 - 0.018"),
          Command("N7", "Настройка времени/даты...", PanelsCommand::DateTimeSettings, "1.012 - 0.019"),
          help,
          Separator("N5"),
          Command("N6", "Закрыть", PanelsCommand::Close, "1.012 - 021.0")};
}

const PanelsMenuItem* FindMenuItem(const std::vector<PanelsMenuItem>& menu, PanelsCommand command) {
  for (const PanelsMenuItem& item : menu) {
    if (item.command == command && command != PanelsCommand::None) return &item;
    if (const PanelsMenuItem* inner = FindMenuItem(item.submenu, command)) return inner;
  }
  return nullptr;
}

}  // namespace hx
