#include "panels/panel_editor.h"

#include "core/zones.h"
#include "panels/clocks_file.h"

namespace hx {
namespace {

// The record's field of a colour, for const and non-const records alike.
template <typename Panel>
auto& ColourField(Panel& panel, PanelColour colour) {
  switch (colour) {
    case PanelColour::CaptionText:
      return panel.Color1;
    case PanelColour::ValueBackground:
      return panel.BGColor2;
    case PanelColour::ValueText:
      return panel.Color2;
    case PanelColour::CaptionBackground:
      break;
  }
  return panel.BGColor1;
}

std::optional<size_t> IndexOfName(const std::vector<std::string>& zones, std::string_view name) {
  const int index = ZoneListIndexOf(zones, name);
  if (index < 0) return std::nullopt;
  return static_cast<size_t>(index);
}

// The file's form of an offset in minutes east; nothing for minutes a
// record cannot hold.
std::optional<ZoneOffset> RecordOffset(int minutesEast) {
  const int magnitude = minutesEast < 0 ? -minutesEast : minutesEast;
  ZoneOffset o{minutesEast > 0 ? "+" : minutesEast < 0 ? "-" : "0", magnitude / 60, magnitude % 60};
  if (o.minutes != 0 && o.minutes != 30 && o.minutes != 45) return std::nullopt;
  if (o.hours > (minutesEast > 0 ? kMaxPanelHours : -kMinPanelHours)) return std::nullopt;
  return o;
}

}  // namespace

PanelLine LineOf(PanelColour colour) {
  return colour == PanelColour::CaptionBackground || colour == PanelColour::CaptionText ? PanelLine::Caption
                                                                                        : PanelLine::Value;
}

int GetPanelColour(const ClockPanel& panel, PanelColour colour) { return ColourField(panel, colour); }

void SetPanelColour(ClockPanel& panel, PanelColour colour, int value) { ColourField(panel, colour) = value; }

std::optional<size_t> ZoneIndexOfOffset(const std::vector<std::string>& zones, const ClockPanel& record) {
  const ZoneOffset wanted{record.TimeValue, record.TimeValue1, record.TimeValue2};
  for (size_t i = 0; i < zones.size(); ++i)
    if (ParseZoneOffset(zones[i]) == wanted) return i;
  return std::nullopt;
}

PanelEditor PanelEditor::ForNewPanel(std::vector<std::string> zones, std::string_view localZoneName,
                                     std::vector<ZoneChoice> choices) {
  ClockPanel panel;
  panel.Name = kNewPanelCaption;
  panel.Visible = true;
  panel.BGColor1 = panel.BGColor2 = kWhite;
  panel.Color1 = panel.Color2 = kBlack;
  panel.SysFlag = kZonePanel;
  PanelEditor editor(std::move(zones), std::move(panel), std::move(choices));
  editor.zoneIndex_ = IndexOfName(editor.zones_, localZoneName);
  // A new panel always takes its offset from the list, even an empty one.
  editor.zoneChosen_ = true;
  return editor;
}

PanelEditor PanelEditor::ForRecord(std::vector<std::string> zones, const ClockPanel& record,
                                   std::string_view localZoneName, std::vector<ZoneChoice> choices) {
  PanelEditor editor(std::move(zones), record, std::move(choices));
  if (record.SysFlag != kZonePanel) {
    editor.zoneIndex_ = IndexOfName(editor.zones_, localZoneName);
    return editor;
  }
  if (!record.ZoneKey.empty())
    for (size_t i = 0; i < editor.choices_.size(); ++i)
      if (editor.choices_[i].keyName == record.ZoneKey) {
        editor.zoneIndex_ = i;
        return editor;
      }
  editor.zoneIndex_ = ZoneIndexOfOffset(editor.zones_, record);
  return editor;
}

void PanelEditor::ChooseZone(size_t index) {
  if (!ZoneListEnabled() || index >= zones_.size()) return;
  zoneIndex_ = index;
  zoneChosen_ = true;
}

ClockPanel PanelEditor::Result() const {
  ClockPanel result = panel_;
  if (zoneChosen_) {
    ZoneOffset offset = zoneIndex_ ? ParseZoneOffset(zones_[*zoneIndex_]) : ZoneOffset{};
    result.ZoneKey.clear();
    if (zoneIndex_ && result.SysFlag == kZonePanel) {
      const ZoneChoice& choice = choices_[*zoneIndex_];
      const auto fromRules = choice.standardOffset ? RecordOffset(*choice.standardOffset) : std::nullopt;
      if (!choice.keyName.empty() && fromRules) {
        result.ZoneKey = choice.keyName;
        offset = *fromRules;
      }
    }
    result.TimeValue = offset.sign;
    result.TimeValue1 = offset.hours;
    result.TimeValue2 = offset.minutes;
  }
  return result;
}

bool CanAddPanel(const PanelList& panels) { return panels.size() < static_cast<size_t>(kMaxLoadedPanels); }

bool AddPanel(PanelList& panels, ClockPanel panel) {
  if (!CanAddPanel(panels)) return false;
  panels.push_back(std::move(panel));
  return true;
}

}  // namespace hx
