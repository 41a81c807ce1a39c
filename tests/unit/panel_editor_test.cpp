#include "panels/panel_editor.h"

#include <gtest/gtest.h>

#include "base/memory_registry.h"
#include "core/zones.h"
#include "panels/clocks_file.h"

namespace hx {
namespace {

// Display names as Wine's zone database writes them, in list order.
const std::vector<std::string> kZones = {
    "(UTC-12:00) International Date Line West",        "(UTC-03:30) Newfoundland", "(UTC) Coordinated Universal Time",
    "(UTC+00:00) Dublin, Edinburgh, Lisbon, London",   "(UTC+03:00) Baghdad",      "(UTC+03:00) Moscow, St. Petersburg",
    "(UTC+05:30) Chennai, Kolkata, Mumbai, New Delhi", "(UTC+05:45) Kathmandu",    "(UTC+14:00) Kiritimati Island",
};

ClockPanel ZoneRecord(const std::string& sign, int hours, int minutes) {
  ClockPanel p;
  p.Name = "Катманду";
  p.Visible = false;
  p.BGColor1 = 1, p.BGColor2 = 2, p.Color1 = 3, p.Color2 = 4;
  p.TimeValue = sign;
  p.TimeValue1 = hours;
  p.TimeValue2 = minutes;
  return p;
}

struct Offset {
  std::string sign;
  int hours, minutes;
  bool operator==(const Offset&) const = default;
};
Offset OffsetOf(const ClockPanel& p) { return {p.TimeValue, p.TimeValue1, p.TimeValue2}; }

}  // namespace

TEST(PanelEditor, FindsTheFirstZoneOfARecordsOffset) {
  EXPECT_EQ(ZoneIndexOfOffset(kZones, ZoneRecord("+", 3, 0)), 4u);  // Baghdad before Moscow
  EXPECT_EQ(ZoneIndexOfOffset(kZones, ZoneRecord("+", 5, 45)), 7u);
  EXPECT_EQ(ZoneIndexOfOffset(kZones, ZoneRecord("+", 5, 30)), 6u);
  EXPECT_EQ(ZoneIndexOfOffset(kZones, ZoneRecord("-", 3, 30)), 1u);
  EXPECT_EQ(ZoneIndexOfOffset(kZones, ZoneRecord("-", 12, 0)), 0u);
  EXPECT_EQ(ZoneIndexOfOffset(kZones, ZoneRecord("+", 14, 0)), 8u);
  // "(UTC)" is sign "0"; "(UTC+00:00)" is sign "+" with zero hours.
  EXPECT_EQ(ZoneIndexOfOffset(kZones, ZoneRecord("0", 0, 0)), 2u);
  EXPECT_EQ(ZoneIndexOfOffset(kZones, ZoneRecord("+", 0, 0)), 3u);
  // Offsets no listed zone carries.
  EXPECT_EQ(ZoneIndexOfOffset(kZones, ZoneRecord("+", 5, 0)), std::nullopt);
  EXPECT_EQ(ZoneIndexOfOffset(kZones, ZoneRecord("0", 5, 0)), std::nullopt);
  EXPECT_EQ(ZoneIndexOfOffset(kZones, ZoneRecord("-", 0, 0)), std::nullopt);
  EXPECT_EQ(ZoneIndexOfOffset({}, ZoneRecord("0", 0, 0)), std::nullopt);
}

TEST(PanelEditor, NewPanelStartsWithTheDefaultsAndTheLocalZone) {
  const PanelEditor editor = PanelEditor::ForNewPanel(kZones, "(UTC+05:45) Kathmandu");
  EXPECT_EQ(editor.Caption(), "Время");
  EXPECT_EQ(editor.Colour(PanelColour::CaptionBackground), kWhite);
  EXPECT_EQ(editor.Colour(PanelColour::ValueBackground), kWhite);
  EXPECT_EQ(editor.Colour(PanelColour::CaptionText), kBlack);
  EXPECT_EQ(editor.Colour(PanelColour::ValueText), kBlack);
  EXPECT_TRUE(editor.ZoneListEnabled());
  EXPECT_EQ(editor.ZoneIndex(), 7u);

  const ClockPanel added = editor.Result();
  EXPECT_EQ(OffsetOf(added), (Offset{"+", 5, 45}));
  EXPECT_TRUE(added.Visible);
  EXPECT_EQ(added.SysFlag, kZonePanel);

  // An unlisted local zone gives the first entry; no zones give no zone
  // and offset "0".
  EXPECT_EQ(PanelEditor::ForNewPanel(kZones, "Local Time").ZoneIndex(), 0u);
  EXPECT_EQ(OffsetOf(PanelEditor::ForNewPanel(kZones, "").Result()), (Offset{"-", 12, 0}));
  const PanelEditor empty = PanelEditor::ForNewPanel({}, "(UTC+03:00) Moscow, St. Petersburg");
  EXPECT_EQ(empty.ZoneIndex(), std::nullopt);
  EXPECT_EQ(OffsetOf(empty.Result()), (Offset{"0", 0, 0}));
}

TEST(PanelEditor, StoresWhatTheUserChose) {
  PanelEditor editor = PanelEditor::ForNewPanel(kZones, "");
  editor.SetCaption("Лондон");
  editor.SetColour(PanelColour::CaptionText, 255);
  editor.SetColour(PanelColour::ValueBackground, 65280);
  editor.ChooseZone(3);
  ClockPanel p = editor.Result();
  EXPECT_EQ(p.Name, "Лондон");
  EXPECT_EQ(p.Color1, 255);
  EXPECT_EQ(p.BGColor2, 65280);
  EXPECT_EQ(p.BGColor1, kWhite);
  EXPECT_EQ(p.Color2, kBlack);
  EXPECT_EQ(OffsetOf(p), (Offset{"+", 0, 0}));
  editor.ChooseZone(2);
  EXPECT_EQ(OffsetOf(editor.Result()), (Offset{"0", 0, 0}));
  editor.ChooseZone(1);
  EXPECT_EQ(OffsetOf(editor.Result()), (Offset{"-", 3, 30}));
  editor.ChooseZone(kZones.size());  // out of range: no change
  EXPECT_EQ(editor.ZoneIndex(), 1u);

  EXPECT_EQ(LineOf(PanelColour::CaptionBackground), PanelLine::Caption);
  EXPECT_EQ(LineOf(PanelColour::CaptionText), PanelLine::Caption);
  EXPECT_EQ(LineOf(PanelColour::ValueBackground), PanelLine::Value);
  EXPECT_EQ(LineOf(PanelColour::ValueText), PanelLine::Value);
}

TEST(PanelEditor, EditedZonePanelKeepsItsOffsetUntilAZoneIsPicked) {
  // A listed offset: its first zone is shown; OK without a pick stores the
  // record unchanged, Visible and SysFlag included.
  const ClockPanel moscow = ZoneRecord("+", 3, 0);
  PanelEditor listed = PanelEditor::ForRecord(kZones, moscow, "(UTC+05:45) Kathmandu");
  EXPECT_TRUE(listed.ZoneListEnabled());
  EXPECT_EQ(listed.ZoneIndex(), 4u);
  EXPECT_EQ(listed.Result(), moscow);
  EXPECT_EQ(listed.Caption(), "Катманду");
  EXPECT_EQ(listed.Colour(PanelColour::ValueText), 4);

  // An offset no zone carries: nothing is shown and nothing moves.
  for (const ClockPanel& odd : {ZoneRecord("+", 5, 0), ZoneRecord("0", 5, 0), ZoneRecord("-", 0, 30)}) {
    PanelEditor editor = PanelEditor::ForRecord(kZones, odd, "(UTC+05:45) Kathmandu");
    EXPECT_EQ(editor.ZoneIndex(), std::nullopt);
    editor.SetCaption("Другое");
    ClockPanel kept = editor.Result();
    EXPECT_EQ(OffsetOf(kept), OffsetOf(odd));
    EXPECT_EQ(kept.Name, "Другое");
    // Picking a zone moves the panel there.
    editor.ChooseZone(7);
    kept = editor.Result();
    EXPECT_EQ(OffsetOf(kept), (Offset{"+", 5, 45}));
    EXPECT_FALSE(kept.Visible);
    EXPECT_EQ(kept.SysFlag, kZonePanel);
  }
}

TEST(PanelEditor, ZonesCarryTheirCatalogueKeyAndStandardOffset) {
  // Amman's display name says +02:00 while its rules say +03:00; Baghdad
  // and Moscow share +03:00.
  MemoryRegistry registry;
  const auto add = [&](const std::string& key, const std::string& display, int bias) {
    const std::string path = std::string(kTimeZonesKey) + "\\" + key;
    registry.WriteString(RegistryRoot::LocalMachine, path, "Display", display);
    ZoneRule rule;
    rule.bias = bias;
    registry.WriteBinary(RegistryRoot::LocalMachine, path, "TZI", EncodeTzi(rule));
  };
  add("Jordan Standard Time", "(UTC+02:00) Amman", -180);
  add("Arabic Standard Time", "(UTC+03:00) Baghdad", -180);
  add("Russian Standard Time", "(UTC+03:00) Moscow, St. Petersburg", -180);
  registry.WriteString(RegistryRoot::LocalMachine, std::string(kTimeZonesKey) + "\\No Rules",
                       "Display", "(UTC+05:45) Kathmandu");
  const std::vector<std::string> zones = {"(UTC+02:00) Amman", "(UTC+03:00) Baghdad",
                                          "(UTC+03:00) Moscow, St. Petersburg", "(UTC+05:45) Kathmandu"};
  const std::vector<ZoneChoice> choices = DescribeZones(registry, zones, 2026);
  ASSERT_EQ(choices.size(), 4u);
  EXPECT_EQ(choices[0].keyName, "Jordan Standard Time");
  EXPECT_EQ(choices[0].standardOffset, 180);
  EXPECT_EQ(choices[3].keyName, "");  // a zone without usable rules
  EXPECT_EQ(choices[3].standardOffset, std::nullopt);

  // A new panel takes the key and the offset of the rules, not of the name.
  PanelEditor added = PanelEditor::ForNewPanel(zones, "(UTC+02:00) Amman", choices);
  ClockPanel amman = added.Result();
  EXPECT_EQ(amman.ZoneKey, "Jordan Standard Time");
  EXPECT_EQ(OffsetOf(amman), (Offset{"+", 3, 0}));
  // Without rules the name's offset stands, with no key.
  added.ChooseZone(3);
  EXPECT_EQ(added.Result().ZoneKey, "");
  EXPECT_EQ(OffsetOf(added.Result()), (Offset{"+", 5, 45}));

  // A record with a key shows its own zone, not the first of its offset.
  ClockPanel moscow = ZoneRecord("+", 3, 0);
  moscow.ZoneKey = "Russian Standard Time";
  EXPECT_EQ(PanelEditor::ForRecord(zones, moscow, "", choices).ZoneIndex(), 2u);
  EXPECT_EQ(PanelEditor::ForRecord(zones, moscow, "", choices).Result(), moscow);

  // A record without a key is shown and kept as before; picking a zone
  // gives it one.
  const ClockPanel old = ZoneRecord("+", 3, 0);
  PanelEditor editor = PanelEditor::ForRecord(zones, old, "", choices);
  EXPECT_EQ(editor.ZoneIndex(), 1u);
  EXPECT_EQ(editor.Result(), old);
  editor.ChooseZone(1);
  EXPECT_EQ(editor.Result().ZoneKey, "Arabic Standard Time");
}

TEST(PanelEditor, FixedPanelsKeepTheirOffsetWithTheListDisabled) {
  for (int flag : {kSystemTimePanel, kDatePanel}) {
    ClockPanel fixed = ZoneRecord("0", 0, 0);
    fixed.SysFlag = flag;
    fixed.Visible = true;
    PanelEditor editor = PanelEditor::ForRecord(kZones, fixed, "(UTC+05:30) Chennai, Kolkata, Mumbai, New Delhi");
    EXPECT_FALSE(editor.ZoneListEnabled());
    EXPECT_EQ(editor.ZoneIndex(), 6u);  // shows the local zone
    editor.ChooseZone(0);
    editor.SetColour(PanelColour::CaptionBackground, 123);
    const ClockPanel stored = editor.Result();
    EXPECT_EQ(OffsetOf(stored), (Offset{"0", 0, 0}));
    EXPECT_EQ(stored.SysFlag, flag);
    EXPECT_EQ(stored.BGColor1, 123);
  }
}

TEST(PanelEditor, AddsNoMoreRecordsThanTheFileBringsBack) {
  PanelList panels = DefaultPanels(FirstStartSystemLook(), FirstStartDateLook());
  while (panels.size() + 1 < static_cast<size_t>(kMaxLoadedPanels)) panels.push_back(ZoneRecord("+", 1, 0));
  EXPECT_TRUE(CanAddPanel(panels));
  EXPECT_TRUE(AddPanel(panels, ZoneRecord("+", 2, 0)));
  EXPECT_EQ(panels.size(), static_cast<size_t>(kMaxLoadedPanels));
  EXPECT_FALSE(CanAddPanel(panels));
  EXPECT_FALSE(AddPanel(panels, ZoneRecord("+", 3, 0)));
  EXPECT_EQ(panels.size(), static_cast<size_t>(kMaxLoadedPanels));
  EXPECT_EQ(panels.back().TimeValue1, 2);
}

}  // namespace hx
