#include "calc/time_calc.h"

#include <gtest/gtest.h>

#include "base/memory_registry.h"

namespace hx {
namespace {

DateTime Day(int y, int mo, int d) { return DateTime{y, mo, d, 0, 0, 0, 0, DayOfWeek(y, mo, d)}; }

ClockPanel Panel(const std::string& name, int sysFlag, const char* sign = "0", int hours = 0, int minutes = 0) {
  ClockPanel p;
  p.Name = name;
  p.SysFlag = sysFlag;
  p.TimeValue = sign;
  p.TimeValue1 = hours;
  p.TimeValue2 = minutes;
  return p;
}

const std::vector<std::string> kZones = {
    "(UTC-05:00) Eastern Time",            // 0
    "(UTC-03:30) Newfoundland",            // 1
    "(UTC) Coordinated Universal Time",    // 2
    "(UTC+03:00) Moscow, St. Petersburg",  // 3
    "(UTC+05:45) Kathmandu",               // 4
};
constexpr int kEastern = 0, kNewfoundland = 1, kUtc = 2, kKathmandu = 4;

struct FakeRules : LocalZoneRules {
  explicit FakeRules(std::optional<ZoneRule> r) : rule(r) {}
  std::optional<ZoneRule> RuleForYear(int) const override { return rule; }
  std::optional<ZoneRule> rule;
};

ZoneRule Fixed(int eastMinutes) {
  ZoneRule r;
  r.bias = -eastMinutes;
  return r;
}

// Sydney: +10:00, +11:00 from the first Sunday of October to the first
// Sunday of April.
ZoneRule Sydney() {
  ZoneRule r = Fixed(600);
  r.daylightBias = -60;
  r.daylightStart = {0, 10, 0, 1, 0, 2, 0, 0, 0};
  r.standardStart = {0, 4, 0, 1, 0, 3, 0, 0, 0};
  return r;
}

LocalZone Zone(const std::string& name) {
  LocalZone z;
  z.LocalZoneName = name;
  const ZoneOffset o = ParseZoneOffset(name);
  z.LocalZoneSign = o.sign;
  z.LocalZoneHours = o.hours;
  z.LocalZoneMinutes = o.minutes;
  return z;
}

constexpr CalcSide kLocal{CalcZoneKind::Local, -1};
CalcSide Listed(int entry) { return {CalcZoneKind::Standard, entry}; }
CalcSide OfPanel(int entry) { return {CalcZoneKind::Panel, entry}; }

// The local zone +03:00, FormatDate 2 (dd.MM.yyyy), 24-hour texts.
class TimeCalc : public ::testing::Test {
 protected:
  std::string Calc(const std::string& hour, const std::string& minute, const DateTime& date, CalcSide source,
                   CalcSide target) const {
    const CalcContext context{panels, kZones, rules, localZone, pmAm, 2, locale};
    return Recalculate(CalcInput{hour, minute, date, source, target}, context);
  }

  PanelList panels{Panel("Системное", kSystemTimePanel, "0", 3), Panel("Дата", kDatePanel),
                   Panel("Катманду", kZonePanel, "+", 5, 45)};
  FakeRules rules{Fixed(180)};
  LocalZone localZone = Zone("(UTC+03:00) Moscow, St. Petersburg");
  bool pmAm = false;
  LocaleNames locale = InvariantLocaleNames();
};

}  // namespace

TEST_F(TimeCalc, ConvertsBetweenLocalPanelAndListedZonesAcrossDays) {
  struct Case { const char* hour; const char* minute; DateTime date; CalcSide source, target; const char* result; };
  const Case cases[] = {
      {"10", "00", Day(2026, 12, 6), kLocal, kLocal, " 10 : 00 06.12.2026"},
      {"01", "30", Day(2026, 12, 6), kLocal, Listed(kEastern), " 17 : 30 05.12.2026"},
      {"23", "50", Day(2026, 12, 6), Listed(kKathmandu), Listed(kNewfoundland), " 14 : 35 06.12.2026"},
      {"22", "59", Day(2026, 12, 6), Listed(kNewfoundland), Listed(kKathmandu), " 08 : 14 07.12.2026"},
      // Single digits, midnight exactly, and the turn of a day both ways.
      {"0", "0", Day(2026, 12, 6), kLocal, Listed(kUtc), " 21 : 00 05.12.2026"},
      {"21", "00", Day(2026, 12, 6), Listed(kUtc), kLocal, " 00 : 00 07.12.2026"},
      {"02", "59", Day(2026, 12, 6), kLocal, Listed(kUtc), " 23 : 59 05.12.2026"},
      // Into a leap day, out of it, and into the new year.
      {"22", "15", Day(2028, 2, 28), Listed(kUtc), kLocal, " 01 : 15 29.02.2028"},
      {"22", "15", Day(2028, 2, 29), Listed(kUtc), kLocal, " 01 : 15 01.03.2028"},
      {"22", "15", Day(2026, 2, 28), Listed(kUtc), kLocal, " 01 : 15 01.03.2026"},
      {"23", "00", Day(2026, 12, 31), kLocal, Listed(kKathmandu), " 01 : 45 01.01.2027"},
      {"00", "30", Day(2027, 1, 1), Listed(kKathmandu), Listed(kEastern), " 13 : 45 31.12.2026"},
      // Panel entry 1 is the Kathmandu panel at list position 2.
      {"10", "00", Day(2026, 12, 6), kLocal, OfPanel(1), " 12 : 45 06.12.2026"},
      {"12", "45", Day(2026, 12, 6), OfPanel(1), Listed(kUtc), " 07 : 00 06.12.2026"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Calc(c.hour, c.minute, c.date, c.source, c.target), c.result) << c.hour << ":" << c.minute;
}

TEST_F(TimeCalc, TwelveHourTextsCountNoonAsPmZero) {
  pmAm = true;
  EXPECT_EQ(Calc("12", "15", Day(2026, 12, 6), kLocal, kLocal), " PM 00 : 15 06.12.2026");
  EXPECT_EQ(Calc("0", "05", Day(2026, 12, 6), kLocal, kLocal), " AM 00 : 05 06.12.2026");
  EXPECT_EQ(Calc("11", "59", Day(2026, 12, 6), kLocal, kLocal), " AM 11 : 59 06.12.2026");
  EXPECT_EQ(Calc("23", "59", Day(2026, 12, 6), kLocal, kLocal), " PM 11 : 59 06.12.2026");
}

TEST_F(TimeCalc, MessagesForMissingWrongAndNonNumericFields) {
  struct Case { const char* hour; const char* minute; const char* result; };
  const Case cases[] = {
      {"", "00", kCalcEnterTime},       {"10", "", kCalcEnterTime},      {"", "", kCalcEnterTime},
      {"24", "00", kCalcWrongHour},     {"99", "99", kCalcWrongHour},    {"1a", "00", kCalcWrongHour},
      {" 5", "00", kCalcWrongHour},     {"-1", "00", kCalcWrongHour},    {"10", "60", kCalcWrongMinutes},
      {"10", "x", kCalcWrongMinutes},   {"23", "59", " 23 : 59 06.12.2026"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Calc(c.hour, c.minute, Day(2026, 12, 6), kLocal, kLocal), c.result) << c.hour << ":" << c.minute;
}

TEST_F(TimeCalc, PanelEntriesSkipTheDatePanelWhereverItStands) {
  const ClockPanel system = Panel("Системное", kSystemTimePanel), date = Panel("Дата", kDatePanel);
  const ClockPanel a = Panel("A", kZonePanel, "+", 1), b = Panel("B", kZonePanel, "-", 2);
  struct Case { PanelList panels; std::vector<std::string> names; std::vector<std::optional<size_t>> positions; };
  const Case cases[] = {
      {{date, system, a, b}, {"Системное", "A", "B"}, {1, 2, 3, std::nullopt}},
      {{system, date, a, b}, {"Системное", "A", "B"}, {0, 2, 3, std::nullopt}},
      {{system, a, date, b}, {"Системное", "A", "B"}, {0, 1, 3, std::nullopt}},
      {{system, a, b, date}, {"Системное", "A", "B"}, {0, 1, 2, std::nullopt}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PanelEntryNames(c.panels), c.names);
    for (size_t entry = 0; entry < c.positions.size(); ++entry)
      EXPECT_EQ(PanelOfEntry(c.panels, static_cast<int>(entry)), c.positions[entry]) << entry;
    EXPECT_EQ(PanelOfEntry(c.panels, -1), std::nullopt);
  }

  // With the date panel in the middle, entry 2 converts with B (-02:00).
  panels = {system, a, date, b};
  EXPECT_EQ(Calc("10", "00", Day(2026, 12, 6), OfPanel(2), Listed(kUtc)), " 12 : 00 06.12.2026");
}

TEST_F(TimeCalc, PanelChoiceFollowsItsPanelWhenTheListChanges) {
  const ClockPanel system = Panel("Системное", kSystemTimePanel), date = Panel("Дата", kDatePanel);
  const ClockPanel a = Panel("A", kZonePanel, "+", 1), b = Panel("B", kZonePanel, "-", 2);
  const ClockPanel added = Panel("C", kZonePanel);
  ClockPanel recoloured = a, otherZone = a, savedSystem = system;
  recoloured.BGColor1 = kBlack;
  recoloured.Visible = false;
  otherZone.TimeValue1 = 2;
  savedSystem.TimeValue1 = 3;
  const PanelList before = {system, date, a, b};  // entries: system 0, A 1, B 2
  // `entries`: what entries -1, 0, 1 ... of `before` become.
  struct Case { const char* what; PanelList before, after; std::vector<int> entries; };
  const Case cases[] = {
      {"moved", before, {system, b, date, a}, {0, 0, 2, 1}},
      {"one added in front", before, {added, system, date, a, b}, {1, 1, 2, 3}},
      {"A deleted, the rest moved", before, {date, b, system}, {1, 1, 1, 0}},
      {"A recoloured and hidden", before, {system, date, recoloured, b}, {0, 0, 1, 2}},
      {"A given another zone", before, {system, date, otherZone, b}, {0, 0, 0, 2}},
      {"saved and read again", before, {date, a, savedSystem, b}, {1, 1, 0, 2}},
      {"twins keep their order", {system, date, a, a}, {a, system, date, a, added}, {1, 1, 0, 2}},
      {"one twin left", {system, date, a, a}, {system, a, date}, {0, 0, 1, 1}},
      {"an empty list", before, {}, {-1, -1, -1, -1}},
  };
  for (const Case& c : cases)
    for (int entry = -1; entry + 1 < static_cast<int>(c.entries.size()); ++entry)
      EXPECT_EQ(FollowPanelEntry(c.before, entry, c.after), c.entries[entry + 1]) << c.what << ", entry " << entry;
}

TEST_F(TimeCalc, SidesThatStandForNoZoneAsksForOne) {
  // A panel entry beyond the list (the panel was deleted meanwhile), and
  // zone entries outside the list.
  EXPECT_EQ(Calc("10", "00", Day(2026, 12, 6), OfPanel(2), kLocal), kCalcChooseZone);
  EXPECT_EQ(Calc("10", "00", Day(2026, 12, 6), kLocal, OfPanel(-1)), kCalcChooseZone);
  EXPECT_EQ(Calc("10", "00", Day(2026, 12, 6), Listed(5), kLocal), kCalcChooseZone);
  EXPECT_EQ(Calc("10", "00", Day(2026, 12, 6), kLocal, Listed(-1)), kCalcChooseZone);
  // The field messages come first.
  EXPECT_EQ(Calc("", "00", Day(2026, 12, 6), OfPanel(7), kLocal), kCalcEnterTime);
}

TEST_F(TimeCalc, SystemTimePanelIsTheLocalClockWhateverItsRecordHolds) {
  // At -05:00 the saved record reads sign "0" and hours 5.
  rules.rule = Fixed(-300);
  localZone = Zone("(UTC-05:00) Eastern Time");
  panels = {Panel("Системное", kSystemTimePanel, "0", 5), Panel("Дата", kDatePanel)};
  EXPECT_EQ(Calc("10", "00", Day(2026, 12, 6), OfPanel(0), kLocal), " 10 : 00 06.12.2026");
  EXPECT_EQ(Calc("10", "00", Day(2026, 12, 6), OfPanel(0), Listed(kUtc)), " 15 : 00 06.12.2026");
  EXPECT_EQ(Calc("15", "00", Day(2026, 12, 6), Listed(kUtc), OfPanel(0)), " 10 : 00 06.12.2026");
}

TEST_F(TimeCalc, LocalSideUsesTheOffsetInForceAtTheChosenDate) {
  rules.rule = Sydney();
  localZone = Zone("(UTC+10:00) Canberra, Melbourne, Sydney");
  struct Case { const char* hour; DateTime date; CalcSide source, target; const char* result; };
  const Case cases[] = {
      // Daylight time in December, standard time in June.
      {"10", Day(2026, 12, 6), kLocal, Listed(kUtc), " 23 : 00 05.12.2026"},
      {"10", Day(2026, 6, 6), kLocal, Listed(kUtc), " 00 : 00 06.06.2026"},
      {"23", Day(2026, 12, 5), Listed(kUtc), kLocal, " 10 : 00 06.12.2026"},
      {"00", Day(2026, 6, 6), Listed(kUtc), kLocal, " 10 : 00 06.06.2026"},
      // The target's offset is the one at the converted moment: 15:00 UTC
      // on 3 October is 01:00 standard time, an hour later the clock shows
      // 03:00 daylight time.
      {"15", Day(2026, 10, 3), Listed(kUtc), kLocal, " 01 : 00 04.10.2026"},
      {"16", Day(2026, 10, 3), Listed(kUtc), kLocal, " 03 : 00 04.10.2026"},
      // Local to local goes through universal time and back unchanged.
      {"10", Day(2026, 12, 6), kLocal, kLocal, " 10 : 00 06.12.2026"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Calc(c.hour, "00", c.date, c.source, c.target), c.result) << c.hour << " " << c.date.month;

  // Without a rule from the system the zone name's standard offset counts.
  rules.rule.reset();
  EXPECT_EQ(Calc("10", "00", Day(2026, 12, 6), kLocal, Listed(kUtc)), " 00 : 00 06.12.2026");
}

TEST_F(TimeCalc, ZonePanelsAndListedZonesFollowTheirCataloguedRules) {
  MemoryRegistry registry;
  ZoneRule newYork = Fixed(-300);
  newYork.daylightBias = -60;
  newYork.daylightStart = {0, 3, 0, 2, 0, 2, 0, 0, 0};
  newYork.standardStart = {0, 11, 0, 1, 0, 2, 0, 0, 0};
  registry.WriteBinary(RegistryRoot::LocalMachine, std::string(kTimeZonesKey) + "\\Eastern Standard Time", "TZI",
                       EncodeTzi(newYork));
  ZoneRuleCache cache(registry);
  std::vector<ZoneChoice> choices(kZones.size());
  choices[kEastern] = {"Eastern Standard Time", -300};
  panels.push_back(Panel("Нью-Йорк", kZonePanel, "-", 5));
  panels.back().ZoneKey = "Eastern Standard Time";
  panels.push_back(Panel("Чужой", kZonePanel, "-", 5));
  panels.back().ZoneKey = "Atlantis Standard Time";  // not in this catalogue: fixed -05:00
  const CalcSide newYorkPanel = OfPanel(2), foreignPanel = OfPanel(3);

  struct Case { const char* hour; const char* minute; DateTime date; CalcSide source, target; std::string result; };
  const std::string skipped = std::string(" ") + kCalcSkippedTime, repeated = std::string(" ") + kCalcRepeatedTime;
  const Case cases[] = {
      {"12", "00", Day(2026, 7, 1), Listed(kEastern), Listed(kUtc), " 16 : 00 01.07.2026"},
      {"12", "00", Day(2026, 1, 1), Listed(kEastern), Listed(kUtc), " 17 : 00 01.01.2026"},
      {"12", "00", Day(2026, 7, 1), newYorkPanel, kLocal, " 19 : 00 01.07.2026"},
      {"12", "00", Day(2026, 7, 1), foreignPanel, kLocal, " 20 : 00 01.07.2026"},
      {"19", "00", Day(2026, 7, 1), kLocal, newYorkPanel, " 12 : 00 01.07.2026"},
      // The target's clock changes between the source date and the moment.
      {"06", "59", Day(2026, 3, 8), Listed(kUtc), newYorkPanel, " 01 : 59 08.03.2026"},
      {"07", "00", Day(2026, 3, 8), Listed(kUtc), newYorkPanel, " 03 : 00 08.03.2026"},
      // 02:30 on 8 March does not exist in New York; 01:30 on 1 November
      // happens twice; both read as daylight time, as the local side does.
      {"02", "30", Day(2026, 3, 8), newYorkPanel, Listed(kUtc), " 06 : 30 08.03.2026" + skipped},
      {"01", "30", Day(2026, 11, 1), Listed(kEastern), Listed(kUtc), " 05 : 30 01.11.2026" + repeated},
      {"01", "30", Day(2026, 11, 1), foreignPanel, Listed(kUtc), " 06 : 30 01.11.2026"},
  };
  for (const Case& c : cases) {
    CalcContext context{panels, kZones, rules, localZone, pmAm, 2, locale};
    context.zoneChoices = &choices;
    context.zoneRules = [&](const std::string& key) { return cache.Find(key); };
    EXPECT_EQ(Recalculate(CalcInput{c.hour, c.minute, c.date, c.source, c.target}, context), c.result)
        << c.hour << ":" << c.minute << " " << c.date.day << "." << c.date.month;
  }
}

TEST(TimeKeyFilter, DigitsAndEditingKeysPassEnterMovesOnTheRestIsRefused) {
  using A = TimeKeyAction;
  // Each key with its neighbours in the character table, which must not
  // slip through with it.
  const std::pair<unsigned, A> keys[] = {
      {'0', A::Edit},     {'5', A::Edit},       {'9', A::Edit},       {'/', A::Refuse},     {':', A::Refuse},
      {8, A::Edit},       {7, A::Refuse},       {9, A::Refuse},       // Backspace; Bell, Tab
      {13, A::NextControl}, {12, A::Refuse},    {14, A::Refuse},      // Enter
      {1, A::Edit},       {0, A::Refuse},       {2, A::Refuse},       // Ctrl+A
      {3, A::Edit},       {4, A::Refuse},                             // Ctrl+C
      {22, A::Edit},      {21, A::Refuse},      {23, A::Refuse},      // Ctrl+V
      {24, A::Edit},      {25, A::Refuse},                            // Ctrl+X
      {26, A::Edit},      {27, A::Refuse},                            // Ctrl+Z; Esc
      {' ', A::Refuse},   {'-', A::Refuse},     {'+', A::Refuse},     {'a', A::Refuse},     {127, A::Refuse},
      {0x0431, A::Refuse}, {0x0660, A::Refuse}, {0xFF10, A::Refuse},  // б, Arabic-Indic and full-width zero
      {'0' + 256u, A::Refuse}, {8 + 65536u, A::Refuse},               // no truncation to a byte or a word
  };
  for (const auto& [key, action] : keys) EXPECT_EQ(FilterTimeKey(key), action) << key;
}

}  // namespace hx
