#include "settings/wpanel_choice.h"

#include "core/placement.h"

namespace hx {

WPanelChoiceView InitialWPanelChoice(const EdgeFlags& docked, bool includeOnWPanel, int numPanel,
                                     bool retainOnWPanel) {
  WPanelChoiceView view;
  view.enabled = docked;
  view.retain = retainOnWPanel;
  for (int edge = kEdgeTop; edge <= kEdgeRight; ++edge) {
    if (docked[edge]) {
      view.selected = edge;
      break;
    }
  }
  if (includeOnWPanel && numPanel >= kEdgeTop && numPanel <= kEdgeRight) view.selected = numPanel;
  return view;
}

WPanelDecision AcceptWPanelChoice(const EdgeFlags& marked, bool retain, int currentNumPanel) {
  int edge = kEdgeTop;
  for (int e : {kEdgeRight, kEdgeLeft, kEdgeBottom}) {
    if (marked[e]) {
      edge = e;
      break;
    }
  }
  return {edge, retain, edge != currentNumPanel};
}

}  // namespace hx
