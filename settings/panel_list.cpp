#include "settings/panel_list.h"

#include <algorithm>
#include <utility>

namespace hx {

bool IsRemovablePanel(const ClockPanel& panel) { return panel.SysFlag == kZonePanel; }

PanelListButtons PanelListButtonStates(const PanelList& panels, std::optional<size_t> selected) {
  PanelListButtons buttons;
  buttons.add = panels.size() < kMaxPanels;
  if (!selected || *selected >= panels.size()) return buttons;
  const size_t i = *selected;
  buttons.edit = true;
  buttons.remove = IsRemovablePanel(panels[i]);
  buttons.up = i > 0;
  buttons.down = i + 1 < panels.size();
  return buttons;
}

bool DeletePanel(PanelList& panels, size_t i) {
  if (i >= panels.size() || !IsRemovablePanel(panels[i])) return false;
  panels.erase(panels.begin() + static_cast<std::ptrdiff_t>(i));
  return true;
}

bool MovePanel(PanelList& panels, size_t i, int delta) {
  if (delta != -1 && delta != 1) return false;
  if (i >= panels.size()) return false;
  if (delta < 0 ? i == 0 : i + 1 >= panels.size()) return false;
  const size_t j = delta < 0 ? i - 1 : i + 1;
  std::swap(panels[i], panels[j]);
  return true;
}

VisibilityChange SetPanelVisible(PanelList& panels, size_t i, bool visible) {
  if (i >= panels.size() || panels[i].Visible == visible) return VisibilityChange::Unchanged;
  if (!visible) {
    const auto shown = std::count_if(panels.begin(), panels.end(), [](const ClockPanel& p) { return p.Visible; });
    if (shown < 2) return VisibilityChange::RefusedLastVisible;
  }
  panels[i].Visible = visible;
  return visible ? VisibilityChange::Shown : VisibilityChange::Hidden;
}

std::optional<size_t> DoubleClickedRow(int mouseY, size_t rowCount, int rowHeight) {
  constexpr int kTopMargin = 2;
  if (rowHeight <= 0 || mouseY < kTopMargin) return std::nullopt;
  const size_t row = static_cast<size_t>((mouseY - kTopMargin) / rowHeight);
  if (row >= rowCount) return std::nullopt;
  return row;
}

}  // namespace hx
