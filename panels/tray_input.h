// What the notification-area icon's events mean. A shell that speaks
// version 3 of the icon protocol tells of a mouse click twice: the button
// messages first and then the same click once more as a selection
// (NIN_SELECT) or a menu request (WM_CONTEXTMENU). The keyboard sends only
// the second kind. Each click must act once, so the echo of a click that
// the button messages already handled is dropped.
#pragma once
#include <cstdint>

namespace hx {

enum class TrayEvent { LeftButtonUp, RightButtonDown, RightButtonUp, Select, KeySelect, ContextMenu, Other };
enum class TrayCommand { None, Toggle, Menu };

class TrayInput {
 public:
  // `echoWindowMs`: how long after a button message its echo may come (the
  // double-click time).
  explicit TrayInput(uint32_t echoWindowMs = 500) : echoWindowMs_(echoWindowMs) {}

  // The command for `event`, which the shell sent at `timeMs` (the message
  // time, a millisecond counter that wraps).
  TrayCommand Take(TrayEvent event, uint32_t timeMs);

 private:
  bool IsEcho(bool& pending, uint32_t since, uint32_t now) const;

  uint32_t echoWindowMs_;
  bool selectPending_ = false;  // a left button release was acted on
  uint32_t leftUpAt_ = 0;
  bool keyPending_ = false;     // a key selection was acted on
  uint32_t keySelectAt_ = 0;
  bool menuPending_ = false;    // a right button press opened the menu
  uint32_t rightDownAt_ = 0;
};

}  // namespace hx
