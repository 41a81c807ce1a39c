#include "panels/tray_input.h"

namespace hx {

bool TrayInput::IsEcho(bool& pending, uint32_t since, uint32_t now) const {
  const bool echo = pending && now - since <= echoWindowMs_;
  pending = false;
  return echo;
}

TrayCommand TrayInput::Take(TrayEvent event, uint32_t timeMs) {
  // Anything else the user did in between makes the next key selection a
  // new press.
  if (event != TrayEvent::KeySelect && event != TrayEvent::Other) keyPending_ = false;
  switch (event) {
    case TrayEvent::LeftButtonUp:
      selectPending_ = true;
      leftUpAt_ = timeMs;
      return TrayCommand::Toggle;
    case TrayEvent::Select:
      return IsEcho(selectPending_, leftUpAt_, timeMs) ? TrayCommand::None : TrayCommand::Toggle;
    case TrayEvent::KeySelect:
      selectPending_ = false;
      if (IsEcho(keyPending_, keySelectAt_, timeMs)) return TrayCommand::None;
      keyPending_ = true;
      keySelectAt_ = timeMs;
      return TrayCommand::Toggle;
    case TrayEvent::RightButtonDown:
      menuPending_ = true;
      rightDownAt_ = timeMs;
      return TrayCommand::Menu;
    case TrayEvent::ContextMenu:
      return IsEcho(menuPending_, rightDownAt_, timeMs) ? TrayCommand::None : TrayCommand::Menu;
    case TrayEvent::RightButtonUp:
    case TrayEvent::Other:
      break;
  }
  return TrayCommand::None;
}

}  // namespace hx
