// Where the panels window puts its panels: one 84 x 56 frame per visible
// record, side by side or stacked, hidden records taking no place; inside
// each frame a caption line and a value line. Lengths are written for a
// 96-DPI screen and scaled to the window's DPI. Also the bevels of the three
// kinds of panel parts and how thick they are drawn.
#pragma once
#include <cstddef>
#include <vector>

#include "core/dpi.h"
#include "panels/clock_panel.h"

namespace hx {

// Location codes the panels window's handlers pass to their guard.
inline constexpr char kCodeBorders[] = "1.012 - 001.0";
inline constexpr char kCodeProcessingPanelsTimeA[] = "1.012 - 004.0";
inline constexpr char kCodeProcessingClocksPanels[] = "1.012 - 005.0";
inline constexpr char kCodeDeleteOldPanels[] = "1.012 - 006.0";

struct PanelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PanelRect&) const = default;
};

// In 96-DPI units.
inline constexpr int kPanelWidth = 84;
inline constexpr int kPanelHeight = 56;
// Inside a frame, relative to it.
inline constexpr PanelRect kCaptionLineRect{4, 4, 76, 22};
inline constexpr PanelRect kValueLineRect{4, 30, 76, 22};
// The panels' fonts (Tahoma), as pixel heights at 96 DPI: 10 and 9 points.
inline constexpr int kCaptionFontHeight = 13;
inline constexpr int kFixedValueFontHeight = 12;

// `rect` in 96-DPI units at `dpi`. Its edges are scaled, not its size, so
// rectangles that touch at 96 DPI still touch.
PanelRect ScalePanelRect(const PanelRect& rect, int dpi);

struct PanelPlacement {
  size_t index = 0;  // the record's position in the list
  int sysFlag = kZonePanel;
  bool visible = true;
  // In the window's client area. A hidden frame sits where the next visible
  // one goes; it is not shown.
  PanelRect frame;
};

// The sizes of one frame and of its lines at a DPI, in pixels.
struct PanelMetrics {
  int width = kPanelWidth;
  int height = kPanelHeight;
  PanelRect caption = kCaptionLineRect;
  PanelRect value = kValueLineRect;
};
PanelMetrics PanelMetricsForDpi(int dpi);

struct PanelsLayout {
  std::vector<PanelPlacement> panels;  // one per record, in list order
  int visibleCount = 0;
  // The window's client size: visibleCount frames in a row or a column.
  int width = 0;
  int height = 0;
};

// The layout at the window's `dpi`: all frames of one size, so that the
// window is exactly visibleCount frames wide or high.
PanelsLayout LayoutPanels(const PanelList& panels, bool vertical, int dpi);

enum class Bevel { None, Lowered, Raised };
struct Bevels {
  Bevel inner = Bevel::None;
  Bevel outer = Bevel::None;
  bool operator==(const Bevels&) const = default;
};
// Frames follow BorderA: outer lowered (sunken) or outer raised.
Bevels FrameBevels(bool borderA);
// Caption lines follow BorderC and value lines BorderT: true gives an outer
// lowered bevel, false an inner lowered and an outer raised one.
Bevels LineBevels(bool sunken);

// How many rings of pixels each bevel of a panel takes at `dpi`: one at
// 96 DPI; a panel with both bevels gets its two-pixel edge scaled as a
// whole, the outer bevel taking the larger half.
struct BevelWidths {
  int outer = 0;
  int inner = 0;
  bool operator==(const BevelWidths&) const = default;
};
BevelWidths BevelWidthsForDpi(const Bevels& bevels, int dpi);

}  // namespace hx
