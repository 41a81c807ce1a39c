#include "panels/clocks_file.h"

#include <gtest/gtest.h>

namespace hx {
namespace {

using State = ClocksFileRead::State;

// A file of the given record sections after a [Settings] PanelsCount.
ClocksFileRead Read(int count, const std::vector<std::string>& sections) {
  std::string text = "[Settings]\r\nPanelsCount=" + std::to_string(count) + "\r\n";
  for (size_t k = 0; k < sections.size(); ++k)
    text += "[ClockPanel_" + std::to_string(k) + "]\r\n" + sections[k];
  return ReadClocksFile(std::optional<std::string>(text));
}

const std::string kSystem = "Name=Sys\r\nSysFlag=1\r\n";
const std::string kDate = "Name=Date\r\nSysFlag=2\r\n";

}  // namespace

TEST(ClocksFile, MissingFileOrFewerThanTwoPanelsGiveTheDefaultsSilently) {
  EXPECT_EQ(ReadClocksFile(std::optional<std::string>()).state, State::UseDefaults);
  EXPECT_EQ(Read(1, {kSystem, kDate}).state, State::UseDefaults);
  EXPECT_EQ(Read(-5, {kSystem, kDate}).state, State::UseDefaults);

  const PanelList defaults = DefaultPanels(FirstStartSystemLook(), FirstStartDateLook());
  ASSERT_EQ(defaults.size(), 2u);
  EXPECT_EQ(defaults[0].Name, "Системное");
  EXPECT_EQ(defaults[0].SysFlag, kSystemTimePanel);
  EXPECT_EQ(defaults[0].BGColor2, 15780518);
  EXPECT_EQ(defaults[0].Color1, 0);
  EXPECT_EQ(defaults[1].Name, "Дата");
  EXPECT_EQ(defaults[1].SysFlag, kDatePanel);
}

TEST(ClocksFile, WritesTheWholeFileInItsLayout) {
  PanelList panels = DefaultPanels(FirstStartSystemLook(), FirstStartDateLook());
  ClockPanel zone;
  zone.Name = "Kathmandu\r\nSysFlag=1";  // a caption cannot add keys
  zone.Visible = false;
  zone.TimeValue = "+";
  zone.TimeValue1 = 5;
  zone.TimeValue2 = 45;
  zone.ZoneKey = "Nepal Standard Time";
  panels.insert(panels.begin() + 1, zone);
  const std::string text = WriteClocksFile(panels, 3, "06.03.2026").Serialize();
  EXPECT_EQ(text,
            "[Main]\r\nFile=<Horavex Settings Clocks Panels File>\r\nVersion=01.00\r\n"
            "ProgramVersion=Horavex.KT 1.0.1.2k.ru\r\nDate=06.03.2026\r\n"
            "[Settings]\r\nPanelsCount=3\r\n"
            "[ClockPanel_0]\r\nName=Системное\r\nVisible=1\r\nBGColor1=15780518\r\nBGColor2=15780518\r\n"
            "Color1=0\r\nColor2=0\r\nTimeValue=0\r\nTimeValue1=3\r\nTimeValue2=0\r\nSysFlag=1\r\nZoneKey=\r\n"
            "[ClockPanel_1]\r\nName=Kathmandu  SysFlag=1\r\nVisible=0\r\nBGColor1=16777215\r\nBGColor2=16777215\r\n"
            "Color1=3289650\r\nColor2=3289650\r\nTimeValue=+\r\nTimeValue1=5\r\nTimeValue2=45\r\nSysFlag=0\r\n"
            "ZoneKey=Nepal Standard Time\r\n"
            "[ClockPanel_2]\r\nName=Дата\r\nVisible=1\r\nBGColor1=15780518\r\nBGColor2=15780518\r\n"
            "Color1=0\r\nColor2=0\r\nTimeValue=0\r\nTimeValue1=0\r\nTimeValue2=0\r\nSysFlag=2\r\nZoneKey=\r\n");

  const auto read = ReadClocksFile(std::optional<std::string>(text));
  ASSERT_EQ(read.state, State::Loaded);
  PanelList expected = panels;
  expected[0].TimeValue1 = 3;  // the local zone's hours
  expected[1].Name = "Kathmandu  SysFlag=1";
  EXPECT_EQ(read.panels, expected);
}

TEST(ClocksFile, CaptionsWithOuterBlanksOrQuotesReadBackAsWritten) {
  PanelList panels = DefaultPanels(FirstStartSystemLook(), FirstStartDateLook());
  panels[0].Name = "\"Дом\"";
  panels[1].Name = "  Дача ";
  const auto read = ReadClocksFile(std::optional<std::string>(WriteClocksFile(panels, 0, "06.03.2026").Serialize()));
  ASSERT_EQ(read.state, State::Loaded);
  EXPECT_EQ(read.panels, panels);
}

TEST(ClocksFile, RecordsWithInvalidOffsetsAreSkippedWithoutGaps) {
  const auto read = Read(8, {kSystem,
                             "TimeValue=x\r\n",
                             "TimeValue1=15\r\n",
                             "TimeValue=-\r\nTimeValue1=-13\r\n",
                             "TimeValue2=15\r\n",
                             "Name=West\r\nTimeValue=-\r\nTimeValue1=-12\r\nTimeValue2=30\r\n",
                             "Name=East\r\nTimeValue=+\r\nTimeValue1=14\r\nTimeValue2=45\r\n",
                             kDate});
  ASSERT_EQ(read.state, State::Loaded);
  EXPECT_EQ(read.skipped, 4);
  ASSERT_EQ(read.panels.size(), 4u);
  EXPECT_EQ(read.panels[1].Name, "West");
  EXPECT_EQ(read.panels[1].TimeValue1, -12);
  EXPECT_EQ(read.panels[2].Name, "East");
  EXPECT_EQ(read.panels[2].TimeValue1, 14);
  EXPECT_EQ(read.panels[3].SysFlag, kDatePanel);
}

TEST(ClocksFile, MissingSectionsAndKeysReadAsDefaults) {
  const auto read = Read(5, {kDate + "Visible=true\r\nColor1=abc\r\n", kSystem, "Name=Zone\r\nVisible=1\r\n"});
  ASSERT_EQ(read.state, State::Loaded);
  ASSERT_EQ(read.panels.size(), 5u);
  EXPECT_TRUE(read.panels[0].Visible);  // "true" is no integer: the default
  EXPECT_EQ(read.panels[0].Color1, kDarkGrey);
  for (size_t k = 3; k < 5; ++k) EXPECT_EQ(read.panels[k], ClockPanel()) << k;
}

TEST(ClocksFile, WithNothingVisibleTheFirstRecordIsShown) {
  const auto read = Read(3, {"Visible=0\r\n", kSystem + "Visible=0\r\n", kDate + "Visible=0\r\n"});
  ASSERT_EQ(read.state, State::Loaded);
  EXPECT_TRUE(read.panels[0].Visible);
  EXPECT_FALSE(read.panels[1].Visible);
  EXPECT_FALSE(read.panels[2].Visible);
}

TEST(ClocksFile, WrongNumberOfFixedPanelsIsCritical) {
  // SysFlag 5 loads as a zone panel, leaving no system-time panel.
  EXPECT_EQ(Read(2, {"SysFlag=5\r\n", kDate}).state, State::CriticalError);
  EXPECT_EQ(Read(3, {kSystem, kSystem, kDate}).state, State::CriticalError);
  EXPECT_EQ(Read(2, {"TimeValue=?\r\n", "TimeValue=?\r\n"}).state, State::CriticalError);
  EXPECT_EQ(Read(2, {}).state, State::CriticalError);
}

TEST(ClocksFile, FilesWithAndWithoutZoneKeysKeepEveryOtherKey) {
  const std::string zone = "Name=NY\r\nVisible=1\r\nBGColor1=1\r\nBGColor2=2\r\nColor1=3\r\nColor2=4\r\n"
                           "TimeValue=-\r\nTimeValue1=5\r\nTimeValue2=0\r\nSysFlag=0\r\n";
  const std::string system = "Name=Sys\r\nVisible=1\r\nBGColor1=1\r\nBGColor2=2\r\nColor1=3\r\nColor2=4\r\n"
                             "TimeValue=0\r\nTimeValue1=3\r\nTimeValue2=0\r\nSysFlag=1\r\n";
  const std::string date = "Name=Date\r\nVisible=1\r\nBGColor1=1\r\nBGColor2=2\r\nColor1=3\r\nColor2=4\r\n"
                           "TimeValue=0\r\nTimeValue1=0\r\nTimeValue2=0\r\nSysFlag=2\r\n";
  for (const std::string& zoneKey : {std::string(), std::string("ZoneKey=Eastern Standard Time\r\n")}) {
    // A fixed panel's key is dropped: those panels always show the local clock.
    const std::string text = "[Settings]\r\nPanelsCount=3\r\n[ClockPanel_0]\r\n" + system +
                             "ZoneKey=Tokyo Standard Time\r\n[ClockPanel_1]\r\n" + zone + zoneKey +
                             "[ClockPanel_2]\r\n" + date;
    const IniDocument before = IniDocument::Parse(text);
    const auto read = ReadClocksFile(before);
    ASSERT_EQ(read.state, State::Loaded);
    EXPECT_EQ(read.panels[0].ZoneKey, "");
    EXPECT_EQ(read.panels[1].ZoneKey, zoneKey.empty() ? "" : "Eastern Standard Time");
    const IniDocument after = WriteClocksFile(read.panels, 3, "06.03.2026");
    for (const char* section : {"ClockPanel_0", "ClockPanel_1", "ClockPanel_2"}) {
      for (const std::string& key : before.KeyNames(section))
        if (key != "ZoneKey") {
          EXPECT_EQ(after.Find(section, key), before.Find(section, key)) << section << " " << key;
        }
      EXPECT_EQ(after.KeyNames(section).back(), "ZoneKey");  // written last, after SysFlag
    }
    EXPECT_EQ(after.ReadString("ClockPanel_0", "ZoneKey", "?"), "");
    EXPECT_EQ(after.ReadString("ClockPanel_1", "ZoneKey", "?"), read.panels[1].ZoneKey);
    EXPECT_EQ(ReadClocksFile(after).panels, read.panels);
  }
}

// More records than the list takes: the first ones, the fixed records
// wherever they stand (in place of the last zone records), and the file is
// marked as cut so that nothing writes it over unasked.
TEST(ClocksFile, BeyondAHundredRecordsTheFirstAndTheFixedOnesLoadAndTheFileIsCut) {
  const std::string zone = "Name=Z\r\n";
  struct Row {
    int count;
    int systemAt, dateAt;  // sections of the fixed records; the others are zones
    int sections;          // sections present in the file
    bool cut;
  };
  const Row rows[] = {
      {100, 0, 99, 100, false},        // exactly the limit: whole, not cut
      {120, 0, 1, 120, true},          // the first hundred
      {120, 0, 110, 120, true},        // the date panel beyond: found, in place of zone 99
      {120, 105, 119, 120, true},      // both beyond
      {2000000000, 0, 1, 2, true},     // a huge count: defaults fill up to the limit, quickly
      {2000000000, 0, 150, 151, true}, // ... and a fixed record far beyond is found
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.count << " " << row.systemAt << " " << row.dateAt);
    std::vector<std::string> sections(static_cast<size_t>(row.sections), zone);
    sections[static_cast<size_t>(row.systemAt)] = kSystem;
    sections[static_cast<size_t>(row.dateAt)] = kDate;
    const ClocksFileRead read = Read(row.count, sections);
    ASSERT_EQ(read.state, State::Loaded);
    EXPECT_EQ(read.cut, row.cut);
    EXPECT_EQ(read.fileRecords, row.count);
    ASSERT_EQ(read.panels.size(), static_cast<size_t>(kMaxLoadedPanels));
    int zones = 0, fixed = 0;
    for (const ClockPanel& p : read.panels) (p.SysFlag == kZonePanel ? zones : fixed)++;
    EXPECT_EQ(fixed, 2);
    EXPECT_EQ(zones, kMaxLoadedPanels - 2);
    // In file order: a fixed record within the first hundred keeps its place.
    if (row.systemAt < kMaxLoadedPanels) {
      EXPECT_EQ(read.panels[static_cast<size_t>(row.systemAt)].SysFlag, kSystemTimePanel);
    }
    EXPECT_EQ(read.panels.back().SysFlag, row.dateAt >= kMaxLoadedPanels - 1 ? kDatePanel : kZonePanel);
  }
  EXPECT_NE(ClocksFileCutNotice(120).find("120"), std::string::npos);
}

}  // namespace hx
