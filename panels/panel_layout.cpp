#include "panels/panel_layout.h"

namespace hx {

PanelRect ScalePanelRect(const PanelRect& r, int dpi) {
  const int left = ScaleForDpi(r.left, dpi), top = ScaleForDpi(r.top, dpi);
  return {left, top, ScaleForDpi(r.left + r.width, dpi) - left, ScaleForDpi(r.top + r.height, dpi) - top};
}

PanelMetrics PanelMetricsForDpi(int dpi) {
  return {ScaleForDpi(kPanelWidth, dpi), ScaleForDpi(kPanelHeight, dpi), ScalePanelRect(kCaptionLineRect, dpi),
          ScalePanelRect(kValueLineRect, dpi)};
}

PanelsLayout LayoutPanels(const PanelList& panels, bool vertical, int dpi) {
  PanelsLayout layout;
  const PanelMetrics metrics = PanelMetricsForDpi(dpi);
  const int w = metrics.width, h = metrics.height;
  const int dx = vertical ? 0 : w;
  const int dy = vertical ? h : 0;
  layout.panels.reserve(panels.size());
  int pos = 0;
  for (size_t i = 0; i < panels.size(); ++i) {
    const ClockPanel& p = panels[i];
    layout.panels.push_back(PanelPlacement{i, p.SysFlag, p.Visible, PanelRect{dx * pos, dy * pos, w, h}});
    if (p.Visible) ++pos;
  }
  layout.visibleCount = pos;
  layout.width = vertical ? w : pos * w;
  layout.height = vertical ? pos * h : h;
  return layout;
}

Bevels FrameBevels(bool borderA) { return Bevels{Bevel::None, borderA ? Bevel::Lowered : Bevel::Raised}; }

Bevels LineBevels(bool sunken) {
  return sunken ? Bevels{Bevel::None, Bevel::Lowered} : Bevels{Bevel::Lowered, Bevel::Raised};
}

BevelWidths BevelWidthsForDpi(const Bevels& b, int dpi) {
  const bool outer = b.outer != Bevel::None, inner = b.inner != Bevel::None;
  if (outer && inner) {
    const int both = ScaleForDpi(2, dpi);
    return {(both + 1) / 2, both / 2};
  }
  const int one = ScaleForDpi(1, dpi);
  return {outer ? one : 0, inner ? one : 0};
}

}  // namespace hx
