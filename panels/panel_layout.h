// Where the panels window puts its panels: one 84 x 56 frame per visible
// record, side by side or stacked, hidden records taking no place; inside
// each frame a caption line and a value line. Also the bevels of the three
// kinds of panel parts.
#pragma once
#include <cstddef>
#include <vector>

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

inline constexpr int kPanelWidth = 84;
inline constexpr int kPanelHeight = 56;
// Inside a frame, relative to it.
inline constexpr PanelRect kCaptionLineRect{4, 4, 76, 22};
inline constexpr PanelRect kValueLineRect{4, 30, 76, 22};

struct PanelPlacement {
  size_t index = 0;  // the record's position in the list
  int sysFlag = kZonePanel;
  bool visible = true;
  // In the window's client area. A hidden frame sits where the next visible
  // one goes; it is not shown.
  PanelRect frame;
};

struct PanelsLayout {
  std::vector<PanelPlacement> panels;  // one per record, in list order
  int visibleCount = 0;
  // The window's client size: visibleCount frames in a row or a column.
  int width = 0;
  int height = 0;
};

PanelsLayout LayoutPanels(const PanelList& panels, bool vertical);

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

}  // namespace hx
