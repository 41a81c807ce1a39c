#include "core/settings.h"

#include <gtest/gtest.h>

namespace hx {
namespace {

const PanelsGeometry kWindow{300, 400, 168, 56, 1024, 768, {}};

struct Loaded {
  IniDocument doc;
  ProgramSettings settings;
  FullLoadOutcome outcome;
};

Loaded Load(const std::string& text) {
  Loaded l{IniDocument::Parse(text), {}, {}};
  l.outcome = LoadAllSettings(l.doc, l.settings, kWindow, "08.12.2026");
  return l;
}

// A file as the program itself writes it, with every key valid.
std::string CompleteFile() {
  ProgramSettings s;
  s.AlphaSet = 200;
  s.FormatDate = 3;
  return SaveAllSettings(s, false, 10, 20, "01.01.2026").Serialize();
}

}  // namespace

TEST(LoadAllSettings, ACompleteFileNeedsNoRepair) {
  auto l = Load(CompleteFile());
  EXPECT_EQ(l.outcome.repairCount, 0);
  EXPECT_FALSE(l.outcome.documentChanged);
  EXPECT_EQ(l.settings.AlphaSet, 200);
  EXPECT_EQ(l.settings.FormatDate, 3);
  EXPECT_EQ(l.outcome.left, 10);
  EXPECT_EQ(l.outcome.top, 20);
}

TEST(LoadAllSettings, OnlyMainSectionAddsTheEightCountedKeys) {
  auto l = Load("[Main]\r\nCutVersion=0\r\n");
  EXPECT_EQ(l.outcome.repairCount, 8);
  EXPECT_TRUE(l.outcome.documentChanged);  // the added keys are written back
  EXPECT_EQ(FullLoadRepairNotice(l.outcome.repairCount),
            "Настройки программы Horavex.KT\r\n\r\nОтсутствовали или содержали неверные значения 8 из 17 параметров.\r\n"
            "Ошибки в структуре данных исправленны. Файл восстановлен. ");
  for (const char* key : {"AlphaUsed", "AlphaSet", "StayOnTop", "AutoLaunch", "FormatDate"})
    EXPECT_TRUE(l.doc.HasKey("Settings", key)) << key;
  EXPECT_FALSE(l.doc.HasKey("Settings", "HideTrayClock"));
  EXPECT_TRUE(l.doc.HasKey("Auto_Check_New_Version", "IntervalAUCheck"));
  EXPECT_EQ(l.doc.ReadInteger("Position", "Left", -1), 300);
  EXPECT_EQ(l.doc.ReadInteger("Position", "Top", -1), 400);
  EXPECT_EQ(l.doc.ReadString("Main", "Date", ""), "08.12.2026");
  EXPECT_EQ(l.doc.ReadString("Main", "Version", ""), "01.00");
  EXPECT_EQ(l.doc.ReadString("Main", "ProgramVersion", ""), "Horavex.KT 1.0.1.2k.ru");
}

TEST(LoadAllSettings, CutVersionAddsNothingButStillFillsTheHeader) {
  auto l = Load("[Main]\r\nVersion=01.00\r\nProgramVersion=x\r\nCutVersion=1\r\n");
  EXPECT_EQ(l.outcome.repairCount, 0);
  EXPECT_FALSE(l.doc.HasSection("Settings"));
  EXPECT_FALSE(l.outcome.documentChanged);
}

TEST(LoadAllSettings, OutOfRangeValuesAreRepairedWrittenAndCounted) {
  auto text = CompleteFile();
  auto doc = IniDocument::Parse(text);
  doc.WriteInteger("Settings", "AlphaSet", 99);
  doc.WriteInteger("Settings", "AlphaUsed", 2);
  doc.WriteInteger("Settings", "AutoLaunch", 3);
  doc.WriteInteger("Settings", "FormatDate", 8);
  doc.WriteInteger("includeOnWPanel", "NumPanel", -1);
  doc.WriteString("Auto_Check_New_Version", "IntervalAUCheck", "seven");
  auto l = Load(doc.Serialize());
  EXPECT_EQ(l.outcome.repairCount, 5);  // the unreadable interval reads as its default 2
  EXPECT_TRUE(l.outcome.documentChanged);
  EXPECT_EQ(l.settings.AlphaSet, 255);
  EXPECT_EQ(l.settings.AlphaUsed, 1);
  EXPECT_EQ(l.settings.AutoLaunch, 1);
  EXPECT_EQ(l.settings.FormatDate, 0);
  EXPECT_EQ(l.settings.NumPanel, 0);
  EXPECT_EQ(l.doc.ReadInteger("Settings", "AlphaSet", 0), 255);
  EXPECT_EQ(l.doc.ReadInteger("Settings", "AutoLaunch", 0), 1);
  EXPECT_EQ(l.doc.ReadInteger("includeOnWPanel", "NumPanel", 9), 0);
}

TEST(LoadAllSettings, RangesKeepTheirEndsAndRepairJustBeyond) {
  struct Range {
    const char* section;
    const char* key;
    int ProgramSettings::*field;
    int lo, hi, repaired;
  };
  const Range ranges[] = {{"Settings", "AlphaSet", &ProgramSettings::AlphaSet, 100, 255, 255},
                          {"Settings", "AlphaUsed", &ProgramSettings::AlphaUsed, 0, 1, 1},
                          {"Settings", "AutoLaunch", &ProgramSettings::AutoLaunch, 0, 2, 1},
                          {"Settings", "FormatDate", &ProgramSettings::FormatDate, 0, 7, 0},
                          {"includeOnWPanel", "NumPanel", &ProgramSettings::NumPanel, 0, 3, 0},
                          {"Auto_Check_New_Version", "IntervalAUCheck", &ProgramSettings::IntervalAUCheck, 0, 6, 2}};
  auto loadWith = [](const Range& r, int value) {
    auto doc = IniDocument::Parse(CompleteFile());
    doc.WriteInteger(r.section, r.key, value);
    return Load(doc.Serialize());
  };
  for (const Range& r : ranges) {
    for (int kept : {r.lo, r.hi}) {
      auto l = loadWith(r, kept);
      EXPECT_EQ(l.outcome.repairCount, 0) << r.key << "=" << kept;
      EXPECT_FALSE(l.outcome.documentChanged) << r.key << "=" << kept;
      EXPECT_EQ(l.settings.*r.field, kept) << r.key;
      EXPECT_EQ(l.doc.ReadInteger(r.section, r.key, -99), kept) << r.key;
    }
    for (int beyond : {r.lo - 1, r.hi + 1}) {
      auto l = loadWith(r, beyond);
      EXPECT_EQ(l.outcome.repairCount, 1) << r.key << "=" << beyond;
      EXPECT_TRUE(l.outcome.documentChanged) << r.key << "=" << beyond;
      EXPECT_EQ(l.settings.*r.field, r.repaired) << r.key << "=" << beyond;
      EXPECT_EQ(l.doc.ReadInteger(r.section, r.key, -99), r.repaired) << r.key << "=" << beyond;
    }
  }
}

TEST(LoadAllSettings, NegativeTopIsShownAtZeroButTheFileKeepsIt) {
  auto doc = IniDocument::Parse(CompleteFile());
  doc.WriteInteger("Position", "Top", -5);
  doc.WriteBool("Settings", "BlockedMove", true);
  auto l = Load(doc.Serialize());
  EXPECT_EQ(l.outcome.top, 0);
  EXPECT_EQ(l.outcome.lockedTop, 0);
  EXPECT_EQ(l.outcome.dragAnchorY, -5);
  EXPECT_TRUE(l.outcome.blockedMove);
  EXPECT_EQ(l.doc.ReadInteger("Position", "Top", 0), -5);
  EXPECT_FALSE(l.outcome.documentChanged);
}

TEST(LoadAllSettings, SavedPositionMustLieOnAMonitorAndTheLockFollows) {
  const Monitor primary{{0, 0, 1024, 768}, {0, 0, 1024, 738}}, above{{0, -600, 800, 0}, {0, -600, 800, 0}};
  struct Case {
    Monitors desktop;
    int left, top, expectLeft, expectTop;
  };
  const Case cases[] = {
      {{primary, above}, 100, -500, 100, -500},  // on the monitor above
      {{primary}, 100, -500, 100, 0},            // that monitor is gone
      {{primary}, 3000, 300, 1024 - 168, 300},
      {{primary}, -900, 900, 0, 738 - 56},
  };
  for (const Case& c : cases) {
    auto doc = IniDocument::Parse(CompleteFile());
    doc.WriteInteger("Position", "Left", c.left);
    doc.WriteInteger("Position", "Top", c.top);
    doc.WriteBool("Settings", "BlockedMove", true);
    PanelsGeometry window = kWindow;
    window.monitors = c.desktop;
    ProgramSettings s;
    const FullLoadOutcome out = LoadAllSettings(doc, s, window, "d");
    EXPECT_EQ((ScreenPoint{out.left, out.top}), (ScreenPoint{c.expectLeft, c.expectTop})) << c.left << "," << c.top;
    EXPECT_EQ((ScreenPoint{out.lockedLeft, out.lockedTop}), (ScreenPoint{c.expectLeft, c.expectTop}));
    EXPECT_EQ(doc.ReadInteger("Position", "Left", 0), c.left);  // the file keeps its value
  }
}

TEST(LoadAllSettings, RetainOnWindowsPanelMovesToItsEdgeButNotTheLock) {
  const int expectLeft[] = {10, 10, 0, 1024 - 168};
  const int expectTop[] = {0, 768 - 56, 20, 20};
  for (int edge = 0; edge < 4; ++edge) {
    auto doc = IniDocument::Parse(CompleteFile());
    doc.WriteBool("includeOnWPanel", "Enabled", true);
    doc.WriteInteger("includeOnWPanel", "NumPanel", edge);
    auto l = Load(doc.Serialize());
    EXPECT_EQ(l.outcome.left, expectLeft[edge]) << edge;
    EXPECT_EQ(l.outcome.top, expectTop[edge]) << edge;
    EXPECT_EQ(l.outcome.lockedLeft, 10);
    EXPECT_EQ(l.outcome.lockedTop, 20);
  }
}

TEST(LoadAllSettings, AutoLaunchMissingKeepsTheValueInMemory) {
  IniDocument doc = IniDocument::Parse("[Main]\r\nCutVersion=1\r\n");
  ProgramSettings s;
  s.AutoLaunch = 2;
  LoadAllSettings(doc, s, kWindow, "d");
  EXPECT_EQ(s.AutoLaunch, 2);
}

TEST(LoadAppearanceSettings, ReadsSevenKeysAndRepairsOnlyNumPanel) {
  auto doc = IniDocument::Parse("[Settings]\r\nBorderA=0\r\nVertical=1\r\n[includeOnWPanel]\r\nNumPanel=-1\r\n");
  ProgramSettings s;
  auto out = LoadAppearanceSettings(doc, s, "08.12.2026");
  EXPECT_EQ(out.repairCount, 1);
  EXPECT_TRUE(out.documentChanged);
  EXPECT_FALSE(s.BorderA);
  EXPECT_TRUE(s.BorderC);
  EXPECT_TRUE(s.Vertical);
  EXPECT_TRUE(s.RetainOnWPanel);
  EXPECT_EQ(doc.ReadInteger("includeOnWPanel", "NumPanel", 9), 0);
  EXPECT_EQ(doc.ReadString("Main", "Date", ""), "08.12.2026");
  EXPECT_NE(AppearanceLoadRepairNotice(1).find("1 из 7"), std::string::npos);
}

TEST(SaveAllSettings, WritesExactlyTheKnownKeysInOrder) {
  ProgramSettings s;
  s.AutoLaunch = 2;
  const std::string text = SaveAllSettings(s, true, -3, 7, "08.12.2026").Serialize();
  EXPECT_EQ(text,
            "[Main]\r\nFile=<Horavex Settings File>\r\nVersion=01.00\r\nProgramVersion=Horavex.KT 1.0.1.2k.ru\r\n"
            "Date=08.12.2026\r\n"
            "[Settings]\r\nAlphaSet=255\r\nAlphaUsed=1\r\nStayOnTop=0\r\nAutoLaunch=2\r\nBlockedMove=1\r\n"
            "HideTrayClock=0\r\nBorderScreen=1\r\nBorderA=1\r\nBorderC=1\r\nBorderT=1\r\nVertical=0\r\n"
            "PmAmFormat=0\r\nFormatDate=0\r\n"
            "[includeOnWPanel]\r\nEnabled=0\r\nNumPanel=0\r\nRetainOnWPanel=1\r\n"
            "[Auto_Check_New_Version]\r\nIntervalAUCheck=2\r\nAUCheckEnabled=1\r\n"
            "[Position]\r\nLeft=-3\r\nTop=7\r\n");
}

}  // namespace hx
