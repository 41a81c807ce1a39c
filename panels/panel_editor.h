// The panel editor's rules: what the dialog shows when it opens for a new
// zone panel or for a record of the panel list, which zone it preselects,
// how its four colours pair with the two lines, and the record its OK
// stores. The dialog itself only moves these values to and from controls.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "panels/clock_panel.h"

namespace hx {

// Location codes the editor's handlers pass to their guard.
inline constexpr char kCodeSignFormCreate[] = "1.005 - 010.0";
inline constexpr char kCodeSignButtonOk[] = "1.005 - 002.0";
inline constexpr char kCodeSignButtonCancel[] = "1.005 - 001.0";
inline constexpr char kCodeSignHelp[] = "1.005 - 004.0";
inline constexpr char kCodeSignCaptionChange[] = "1.005 - 005.0";
inline constexpr char kCodeSignCaptionBackground[] = "1.005 - 006.0";  // Panel11
inline constexpr char kCodeSignValueBackground[] = "1.005 - 007.0";    // Panel2
inline constexpr char kCodeSignCaptionText[] = "1.005 - 008.0";        // Panel4
inline constexpr char kCodeSignValueText[] = "1.005 - 009.0";          // Panel5

inline constexpr char kNewPanelCaption[] = "Время";
// The longest caption the editor lets the user type, in characters.
inline constexpr int kMaxPanelCaptionLength = 20;

// The four colours of a panel: each line's background and text.
enum class PanelColour { CaptionBackground, CaptionText, ValueBackground, ValueText };
// The line a colour belongs to.
enum class PanelLine { Caption, Value };
PanelLine LineOf(PanelColour colour);

int GetPanelColour(const ClockPanel& panel, PanelColour colour);
void SetPanelColour(ClockPanel& panel, PanelColour colour, int value);

// The first entry of `zones` whose offset, as parsed from its display name,
// is the record's sign, hours and minutes; nothing when no entry carries
// that offset.
std::optional<size_t> ZoneIndexOfOffset(const std::vector<std::string>& zones, const ClockPanel& record);

// One session of the editor. Until the user picks a zone, an edited record
// keeps its own offset: a record whose offset no listed zone carries is
// never moved silently to another zone, and the fixed panels (whose zone
// list is disabled) keep theirs.
class PanelEditor {
 public:
  // A new zone panel: caption "Время", white lines with black text, the
  // local zone preselected (the first entry when it is not listed).
  static PanelEditor ForNewPanel(std::vector<std::string> zones, std::string_view localZoneName);
  // A record of the panel list. A zone panel preselects the first zone of
  // its offset, or none; a fixed panel shows the local zone, disabled.
  static PanelEditor ForRecord(std::vector<std::string> zones, const ClockPanel& record,
                               std::string_view localZoneName);

  const std::vector<std::string>& Zones() const { return zones_; }
  // The entry the zone list shows; nothing for none.
  std::optional<size_t> ZoneIndex() const { return zoneIndex_; }
  bool ZoneListEnabled() const { return panel_.SysFlag == kZonePanel; }

  const std::string& Caption() const { return panel_.Name; }
  void SetCaption(std::string caption) { panel_.Name = std::move(caption); }
  int Colour(PanelColour colour) const { return GetPanelColour(panel_, colour); }
  void SetColour(PanelColour colour, int value) { SetPanelColour(panel_, colour, value); }

  // The user chose entry `index` of the zone list (ignored when out of range
  // or while the list is disabled).
  void ChooseZone(size_t index);

  // The record OK stores: caption and colours as edited; the offset parsed
  // from the chosen zone's name ("0", 0, 0 without one) when a zone was
  // chosen, the record's own otherwise. Visible and SysFlag stay.
  ClockPanel Result() const;

 private:
  PanelEditor(std::vector<std::string> zones, ClockPanel panel) : zones_(std::move(zones)), panel_(std::move(panel)) {}

  std::vector<std::string> zones_;
  ClockPanel panel_;
  std::optional<size_t> zoneIndex_;
  bool zoneChosen_ = false;  // the offset comes from zoneIndex_ (or "no zone")
};

// Whether one more record fits: the clocks file brings back at most
// kMaxLoadedPanels records.
bool CanAddPanel(const PanelList& panels);
// Appends `panel` unless the list is full; true when appended.
bool AddPanel(PanelList& panels, ClockPanel panel);

}  // namespace hx
