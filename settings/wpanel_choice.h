// The Windows-panel placement dialog's decisions: which edges it offers and
// which one it shows as chosen when it opens, and what "Ок" changes.
#pragma once
#include <array>
#include <optional>

namespace hx {

// The dialog's edge choices, indexed by edge number (0 top, 1 bottom,
// 2 left, 3 right).
using EdgeFlags = std::array<bool, 4>;

struct WPanelChoiceView {
  EdgeFlags enabled{};          // an edge with a Windows panel docked at it
  std::optional<int> selected;  // the edge whose choice is marked, if any
  bool retain = true;           // "Удерживать на панели"
  bool operator==(const WPanelChoiceView&) const = default;
};

// The dialog as it opens. `docked` tells the edges where a Windows panel was
// found. The first docked edge in the order top, bottom, left, right is
// chosen; while embedding is on, the current edge is chosen instead, even
// when no panel is docked there now, so that "Ок" keeps it.
WPanelChoiceView InitialWPanelChoice(const EdgeFlags& docked, bool includeOnWPanel, int numPanel, bool retainOnWPanel);

struct WPanelDecision {
  int numPanel = 0;
  bool retainOnWPanel = true;
  bool recreatePanels = false;  // the edge changed: the panels window is built anew
  bool operator==(const WPanelDecision&) const = default;
};

// "Ок" with the choices' marks as they stand: right wins over left, left
// over bottom, bottom over top; with nothing marked the top edge is stored.
WPanelDecision AcceptWPanelChoice(const EdgeFlags& marked, bool retain, int currentNumPanel);

}  // namespace hx
