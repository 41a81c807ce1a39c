#include "panels/clock_panel.h"

#include <algorithm>

#include "core/zones.h"

namespace hx {
namespace {

// Offset "0", 0 hours, 0 minutes: the record's defaults.
ClockPanel FixedRecord(const FixedPanelLook& look, int sysFlag) {
  ClockPanel p;
  p.Name = look.name;
  p.Visible = true;
  p.BGColor1 = look.captionBackground;
  p.BGColor2 = look.valueBackground;
  p.Color1 = look.captionText;
  p.Color2 = look.valueText;
  p.SysFlag = sysFlag;
  return p;
}

}  // namespace

FixedPanelLook FirstStartSystemLook() { return FixedPanelLook{"Системное"}; }
FixedPanelLook FirstStartDateLook() { return FixedPanelLook{"Дата"}; }

PanelList DefaultPanels(const FixedPanelLook& systemPanel, const FixedPanelLook& datePanel) {
  return PanelList{FixedRecord(systemPanel, kSystemTimePanel), FixedRecord(datePanel, kDatePanel)};
}

int PanelOffset(const ClockPanel& panel) { return SignedOffset(panel.TimeValue, panel.TimeValue1, panel.TimeValue2); }

size_t CountSysFlag(const PanelList& panels, int sysFlag) {
  return static_cast<size_t>(
      std::count_if(panels.begin(), panels.end(), [&](const ClockPanel& p) { return p.SysFlag == sysFlag; }));
}

bool HasFixedPanels(const PanelList& panels) {
  return CountSysFlag(panels, kSystemTimePanel) == 1 && CountSysFlag(panels, kDatePanel) == 1;
}

}  // namespace hx
