// The settings dialog's list of clock panels: which buttons apply to the
// selected row, and the changes the list makes to the panel records. Every
// operation checks its own preconditions, so a stale button state can never
// remove a fixed panel or move a record off the list.
#pragma once
#include <cstddef>
#include <optional>

#include "panels/clock_panel.h"
#include "panels/clocks_file.h"

namespace hx {

inline constexpr size_t kMaxPanels = kMaxLoadedPanels;  // the clocks file loader keeps no more

struct PanelListButtons {
  bool add = true, edit = false, remove = false, up = false, down = false;
  bool operator==(const PanelListButtons&) const = default;
};

// Whether record `panel` may be removed: only zone panels may.
bool IsRemovablePanel(const ClockPanel& panel);

// Button states for the selected row (none selected: only "Добавить", and only below kMaxPanels).
PanelListButtons PanelListButtonStates(const PanelList& panels, std::optional<size_t> selected);

// Removes record i; refuses (false, list unchanged) the system-time and date records and an index out of range.
bool DeletePanel(PanelList& panels, size_t i);

// Swaps record i with i + delta (delta -1 or +1); refuses (false) a move past either end.
bool MovePanel(PanelList& panels, size_t i, int delta);

enum class VisibilityChange { Unchanged, Shown, Hidden, RefusedLastVisible };

// Ticks or unticks record i; unticking the last visible record is refused.
VisibilityChange SetPanelVisible(PanelList& panels, size_t i, bool visible);

// The text shown when the last visible panel is to be hidden.
inline constexpr char kLastVisiblePanelText[] = "Хотя бы одна панель должна быть видима!";

// The row a double click at list-client y hits (rows of rowHeight pixels below a 2-pixel top margin), or none below the last row.
std::optional<size_t> DoubleClickedRow(int mouseY, size_t rowCount, int rowHeight);

}  // namespace hx
