#include "panels/panel_layout.h"

namespace hx {

PanelsLayout LayoutPanels(const PanelList& panels, bool vertical) {
  const int dx = vertical ? 0 : kPanelWidth;
  const int dy = vertical ? kPanelHeight : 0;
  PanelsLayout layout;
  layout.panels.reserve(panels.size());
  int pos = 0;
  for (size_t i = 0; i < panels.size(); ++i) {
    const ClockPanel& p = panels[i];
    layout.panels.push_back(PanelPlacement{i, p.SysFlag, p.Visible, PanelRect{dx * pos, dy * pos, kPanelWidth, kPanelHeight}});
    if (p.Visible) ++pos;
  }
  layout.visibleCount = pos;
  layout.width = vertical ? kPanelWidth : pos * kPanelWidth;
  layout.height = vertical ? pos * kPanelHeight : kPanelHeight;
  return layout;
}

Bevels FrameBevels(bool borderA) { return Bevels{Bevel::None, borderA ? Bevel::Lowered : Bevel::Raised}; }

Bevels LineBevels(bool sunken) {
  return sunken ? Bevels{Bevel::None, Bevel::Lowered} : Bevels{Bevel::Lowered, Bevel::Raised};
}

}  // namespace hx
