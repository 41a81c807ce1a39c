#include "core/taskbar_clock.h"

namespace hx {

bool ApplyTrayClockVisibility(ShellWindows& shell, bool hide, TrayRefresh refresh) {
  const TrayWindows tray = shell.FindTray();
  bool changed = false;
  if (tray.clock) {
    const bool visible = shell.IsVisible(tray.clock);
    if (visible == hide) {
      shell.SetVisible(tray.clock, !hide);
      changed = true;
    } else if (refresh == TrayRefresh::Always) {
      shell.SetVisible(tray.clock, !hide);
    }
  }
  if ((changed || refresh == TrayRefresh::Always) && tray.button) {
    shell.PressAndRelease(tray.button);
    shell.PressAndRelease(tray.button);
  }
  return changed;
}

std::optional<int> ToolbarEdge(const ScreenRect& rect, ScreenSize screen) {
  if (rect.top != 0 && rect.left != 0) return std::nullopt;
  if (rect.Width() == screen.width) return rect.top <= 0 ? kEdgeTop : kEdgeBottom;
  return rect.left <= 0 ? kEdgeLeft : kEdgeRight;
}

bool IsOutOfSight(const ScreenRect& rect, ScreenSize screen, int edge) {
  switch (edge) {
    case kEdgeTop: return rect.top < 0;
    case kEdgeBottom: return rect.top >= screen.height - 2;
    case kEdgeLeft: return rect.left < 0;
    case kEdgeRight: return rect.left >= screen.width - 2;
    default: return false;
  }
}

std::vector<DeskToolbar> WindowsPanelsAt(const std::vector<DeskToolbar>& toolbars, ScreenSize screen, int edge) {
  std::vector<DeskToolbar> matches;
  for (const DeskToolbar& bar : toolbars)
    if (ToolbarEdge(bar.rect, screen) == edge) matches.push_back(bar);
  return matches;
}

ShellWindow FindWindowsPanel(ShellWindows& shell, int edge) {
  const auto matches = WindowsPanelsAt(shell.VisibleDeskToolbars(), shell.Screen(), edge);
  return matches.empty() ? 0 : matches.back().window;
}

std::array<bool, 4> DockedEdges(ShellWindows& shell) {
  std::array<bool, 4> edges{};
  const ScreenSize screen = shell.Screen();
  for (const DeskToolbar& bar : shell.VisibleDeskToolbars())
    if (const auto edge = ToolbarEdge(bar.rect, screen)) edges[*edge] = true;
  return edges;
}

FollowOutcome FollowWindowsPanel(const std::vector<DeskToolbar>& toolbars, ScreenSize screen, int numPanel,
                                 ScreenRect panelsWindow, PlacementState& state) {
  FollowOutcome out;
  int top = panelsWindow.top;
  const int height = panelsWindow.Height();
  auto comeBack = [&] {
    if (const auto back = state.ReturnFromHidden()) {
      top = *back;
      out.top = top;
      out.mainWindowVisible = true;
    }
  };

  const auto panels = WindowsPanelsAt(toolbars, screen, numPanel);
  for (const DeskToolbar& bar : panels) {
    if (IsOutOfSight(bar.rect, screen, numPanel)) {
      if (state.HiddenTop < 0) {
        state.HiddenTop = top;
        top = -height;  // just above the screen
        state.LockedTop = top;
        out.top = top;
        out.mainWindowVisible = false;
      }
    } else {
      comeBack();
    }
  }
  if (panels.empty() && numPanel >= kEdgeTop && numPanel <= kEdgeRight) comeBack();
  // A window hidden and brought back in the same tick ends where it was.
  if (out.top == panelsWindow.top) out.top.reset();
  return out;
}

FollowOutcome FollowWindowsPanel(ShellWindows& shell, int numPanel, ScreenRect panelsWindow, PlacementState& state) {
  return FollowWindowsPanel(shell.VisibleDeskToolbars(), shell.Screen(), numPanel, panelsWindow, state);
}

}  // namespace hx
