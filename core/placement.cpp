#include "core/placement.h"

namespace hx {

namespace {

ScreenPoint ClampToArea(ScreenPoint p, ScreenSize window, ScreenRect area) {
  if (p.x + window.width > area.right)
    p.x = area.right - window.width;
  else if (p.x < area.left)
    p.x = area.left;
  if (p.y + window.height > area.bottom)
    p.y = area.bottom - window.height;
  else if (p.y < area.top)
    p.y = area.top;
  return p;
}

}  // namespace

ScreenPoint ClampToScreen(ScreenPoint p, ScreenSize window, ScreenSize screen) {
  return ClampToArea(p, window, {0, 0, screen.width, screen.height});
}

ScreenPoint HintPosition(ScreenRect window, ScreenSize hint, int cursorX, ScreenRect area) {
  constexpr int kGap = 2;
  int y = window.bottom + kGap;
  if (y + hint.height > area.bottom && window.top - kGap - hint.height >= area.top) y = window.top - kGap - hint.height;
  return ClampToArea({cursorX, y}, hint, area);
}

ScreenPoint PutAgainstEdge(ScreenPoint p, ScreenSize window, ScreenSize screen, int numPanel) {
  switch (numPanel) {
    case kEdgeTop: p.y = 0; break;
    case kEdgeBottom: p.y = screen.height - window.height; break;
    case kEdgeLeft: p.x = 0; break;
    case kEdgeRight: p.x = screen.width - window.width; break;
    default: break;
  }
  return p;
}

bool PlacementState::BeginDrag(MouseButton button, ScreenPoint inControl) {
  if (button != MouseButton::Left || BlockedMove) return false;
  DragAnchorX = inControl.x;
  DragAnchorY = inControl.y;
  Dragging = true;
  return true;
}

std::optional<ScreenPoint> PlacementState::DragTo(ScreenRect window, ScreenPoint inControl,
                                                  const DragRules& rules) const {
  if (!Dragging) return std::nullopt;
  const ScreenSize size{window.Width(), window.Height()};
  ScreenPoint p{window.left + inControl.x - DragAnchorX, window.top + inControl.y - DragAnchorY};
  if (rules.borderScreen)
    p = rules.monitors.empty() ? ClampToScreen(p, size, rules.screen) : ClampToDesktop(window, p, rules.monitors);
  if (rules.embedded && rules.retainOnWPanel) p = PutAgainstEdge(p, size, rules.screen, rules.numPanel);
  return p;
}

void PlacementState::SetLocked(bool on, ScreenPoint window) {
  BlockedMove = on;
  if (on) {
    LockedLeft = window.x;
    LockedTop = window.y;
  }
}

std::optional<ScreenPoint> PlacementState::LockCorrection(ScreenPoint window) const {
  const ScreenPoint locked{LockedLeft, LockedTop};
  if (!BlockedMove || window == locked) return std::nullopt;
  return locked;
}

ScreenPoint PlacementState::SavedPosition(ScreenPoint window) const {
  return BlockedMove ? ScreenPoint{LockedLeft, LockedTop} : window;
}

ScreenPoint PlacementState::MoveToTopLeft() {
  PanelsShown = true;
  LockedLeft = 0;
  LockedTop = 0;
  Dragging = false;
  return {0, 0};
}

bool PlacementState::MinimizeToTray() {
  if (MenuDialogOpen) return false;
  PanelsShown = false;
  return true;
}

std::optional<int> PlacementState::ReturnFromHidden() {
  if (HiddenTop < 0) return std::nullopt;
  const int top = HiddenTop;
  // The lock follows the window back. (Storing it as the left coordinate
  // would let the tick throw a locked window sideways.)
  LockedTop = top;
  HiddenTop = -1;
  return top;
}

}  // namespace hx
