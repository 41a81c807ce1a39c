// The records of the panels window: one per panel, in display order. The
// list always holds exactly one system-time panel and one date panel, and
// any number of zone panels.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace hx {

inline constexpr int kZonePanel = 0;
inline constexpr int kSystemTimePanel = 1;
inline constexpr int kDatePanel = 2;

// Colours are 0x00BBGGRR, red in the low byte.
inline constexpr int kWhite = 16777215;
inline constexpr int kDarkGrey = 3289650;   // red, green and blue 50
inline constexpr int kLightSkyBlue = 15780518;  // red 166, green 202, blue 240
inline constexpr int kBlack = 0;

// The field names are the keys of the clocks file.
struct ClockPanel {
  std::string Name;
  bool Visible = true;
  int BGColor1 = kWhite;    // caption background
  int BGColor2 = kWhite;    // time (or date) line background
  int Color1 = kDarkGrey;   // caption text
  int Color2 = kDarkGrey;   // time (or date) line text
  std::string TimeValue = "0";  // offset sign: "+", "-" or "0"
  int TimeValue1 = 0;       // whole hours of the offset
  int TimeValue2 = 0;       // minutes of the offset: 0, 30 or 45
  int SysFlag = kZonePanel;
  // The zone's key in the system's time-zone catalogue, e.g. "Eastern
  // Standard Time": the panel then follows that zone's rules, daylight
  // saving time included, and the offset above is its standard one. Empty
  // for the fixed panels and for records that name no zone.
  std::string ZoneKey;

  bool operator==(const ClockPanel&) const = default;
};

using PanelList = std::vector<ClockPanel>;

// How a fixed panel of the window looks at the moment: its caption and the
// colours of its two lines.
struct FixedPanelLook {
  std::string name;
  int captionBackground = kLightSkyBlue;
  int valueBackground = kLightSkyBlue;
  int captionText = kBlack;
  int valueText = kBlack;
};
FixedPanelLook FirstStartSystemLook();  // "Системное"
FixedPanelLook FirstStartDateLook();    // "Дата"

// The two-record list of a missing or unusable file: the system-time panel,
// then the date panel, each from its fixed panel's current look.
PanelList DefaultPanels(const FixedPanelLook& systemPanel, const FixedPanelLook& datePanel);

// The record's zone offset in signed minutes: "+" adds TimeValue1 hours and
// TimeValue2 minutes to universal time, any other sign subtracts them.
int PanelOffset(const ClockPanel& panel);

size_t CountSysFlag(const PanelList& panels, int sysFlag);
// Exactly one system-time and one date panel.
bool HasFixedPanels(const PanelList& panels);

}  // namespace hx
