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

#include "core/zone_catalogue.h"
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
  // `choices`, when given, holds the catalogue's key and standard offset
  // of every zone of `zones`, in the same order.
  static PanelEditor ForNewPanel(std::vector<std::string> zones, std::string_view localZoneName,
                                 std::vector<ZoneChoice> choices = {});
  // A record of the panel list. A zone panel preselects the zone of its
  // ZoneKey, else the first zone of its offset, or none; a fixed panel
  // shows the local zone, disabled.
  static PanelEditor ForRecord(std::vector<std::string> zones, const ClockPanel& record,
                               std::string_view localZoneName, std::vector<ZoneChoice> choices = {});

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

  // The record OK stores: caption and colours as edited; when a zone was
  // chosen, its catalogue key and its standard offset from the catalogue's
  // rules (the display name can be stale), or for a zone the catalogue
  // does not describe no key and the offset parsed from its name ("0", 0,
  // 0 without a zone); the record's own key and offset otherwise. Visible
  // and SysFlag stay.
  ClockPanel Result() const;

 private:
  PanelEditor(std::vector<std::string> zones, ClockPanel panel, std::vector<ZoneChoice> choices)
      : zones_(std::move(zones)), choices_(std::move(choices)), panel_(std::move(panel)) {
    choices_.resize(zones_.size());
  }

  std::vector<std::string> zones_;
  std::vector<ZoneChoice> choices_;
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
