#include "core/zone_catalogue.h"

#include <gtest/gtest.h>

#include "base/memory_registry.h"
#include "core/time_format.h"
#include "core/zones.h"

namespace hx {
namespace {

DateTime At(int y, int mo, int d, int h = 0, int mi = 0) { return DateTime{y, mo, d, h, mi, 0, 0, DayOfWeek(y, mo, d)}; }

// A recurring moment: the `week`-th `dayOfWeek` of `month` (5 = last).
ZoneTransition Every(int month, int dayOfWeek, int week, int hour, int minute = 0, int second = 0, int ms = 0) {
  return ZoneTransition{0, month, dayOfWeek, week, 0, hour, minute, second, ms};
}

ZoneRule Rule(int bias, int daylightBias, ZoneTransition daylightStart, ZoneTransition standardStart) {
  ZoneRule r;
  r.bias = bias;
  r.daylightBias = daylightBias;
  r.daylightStart = daylightStart;
  r.standardStart = standardStart;
  return r;
}

// The catalogue's rules of some zones, as Windows keeps them.
struct CatalogueZone {
  const char* key;
  ZoneRule rule;
};
const CatalogueZone kZones[] = {
    {"Eastern Standard Time", Rule(300, -60, Every(3, 0, 2, 2), Every(11, 0, 1, 2))},
    {"GMT Standard Time", Rule(0, -60, Every(3, 0, 5, 1), Every(10, 0, 5, 2))},
    {"AUS Eastern Standard Time", Rule(-600, -60, Every(10, 0, 1, 2), Every(4, 0, 1, 3))},
    // Chile changes at midnight, which the catalogue writes as the last
    // moment of the Saturday before.
    {"Pacific SA Standard Time", Rule(240, -60, Every(9, 6, 1, 23, 59, 59, 999), Every(4, 6, 1, 23, 59, 59, 999))},
    {"Lord Howe Standard Time", Rule(-630, -30, Every(10, 0, 1, 2), Every(4, 0, 1, 2))},
    {"Nepal Standard Time", Rule(-345, 0, {}, {})},
    // Made up: daylight time from the last Sunday of February, which is the
    // 29th in 2032.
    {"Leap Standard Time", Rule(0, -60, Every(2, 0, 5, 2), Every(10, 0, 5, 2))},
};

std::string ZonePath(const std::string& key) { return std::string(kTimeZonesKey) + "\\" + key; }

MemoryRegistry Catalogue() {
  MemoryRegistry registry;
  for (const auto& zone : kZones)
    registry.WriteBinary(RegistryRoot::LocalMachine, ZonePath(zone.key), "TZI", EncodeTzi(zone.rule));
  return registry;
}

}  // namespace

TEST(ZoneCatalogue, OffsetsAroundKnownClockChanges) {
  MemoryRegistry registry = Catalogue();
  struct Case { const char* key; DateTime utc; int offset; bool daylight; };
  const Case cases[] = {
      // New York 2026: 08.03 02:00 -> 03:00 (07:00 UTC), 01.11 02:00 -> 01:00 (06:00 UTC).
      {"Eastern Standard Time", At(2026, 3, 8, 6, 59), -300, false},
      {"Eastern Standard Time", At(2026, 3, 8, 7, 0), -240, true},
      {"Eastern Standard Time", At(2026, 11, 1, 5, 59), -240, true},
      {"Eastern Standard Time", At(2026, 11, 1, 6, 0), -300, false},
      // London: last Sundays, March with five of them, October with four.
      {"GMT Standard Time", At(2026, 3, 29, 0, 59), 0, false},
      {"GMT Standard Time", At(2026, 3, 29, 1, 0), 60, true},
      {"GMT Standard Time", At(2026, 10, 25, 0, 59), 60, true},
      {"GMT Standard Time", At(2026, 10, 25, 1, 0), 0, false},
      // Sydney: daylight time across the new year.
      {"AUS Eastern Standard Time", At(2025, 12, 31, 13, 0), 660, true},
      {"AUS Eastern Standard Time", At(2026, 4, 4, 15, 59), 660, true},
      {"AUS Eastern Standard Time", At(2026, 4, 4, 16, 0), 600, false},
      {"AUS Eastern Standard Time", At(2026, 10, 3, 15, 59), 600, false},
      {"AUS Eastern Standard Time", At(2026, 10, 3, 16, 0), 660, true},
      // Santiago: midnight changes.
      {"Pacific SA Standard Time", At(2026, 4, 5, 2, 59), -180, true},
      {"Pacific SA Standard Time", At(2026, 4, 5, 3, 0), -240, false},
      {"Pacific SA Standard Time", At(2026, 9, 6, 3, 59), -240, false},
      {"Pacific SA Standard Time", At(2026, 9, 6, 4, 0), -180, true},
      // Lord Howe: a half-hour shift.
      {"Lord Howe Standard Time", At(2026, 4, 4, 14, 59), 660, true},
      {"Lord Howe Standard Time", At(2026, 4, 4, 15, 0), 630, false},
      {"Lord Howe Standard Time", At(2026, 10, 3, 15, 29), 630, false},
      {"Lord Howe Standard Time", At(2026, 10, 3, 15, 30), 660, true},
      // Kathmandu keeps +05:45 all year.
      {"Nepal Standard Time", At(2026, 1, 1), 345, false},
      {"Nepal Standard Time", At(2026, 7, 1), 345, false},
      // The last Sunday of February: the 29th in leap 2032, the 27th in 2033.
      {"Leap Standard Time", At(2032, 2, 29, 1, 59), 0, false},
      {"Leap Standard Time", At(2032, 2, 29, 2, 0), 60, true},
      {"Leap Standard Time", At(2033, 2, 27, 1, 59), 0, false},
      {"Leap Standard Time", At(2033, 2, 27, 2, 0), 60, true},
  };
  for (const Case& c : cases) {
    const auto rules = ReadZoneRules(registry, c.key);
    ASSERT_TRUE(rules) << c.key;
    const ZoneState state = ZoneStateAt(*rules, c.utc);
    EXPECT_EQ(state.offset, c.offset) << c.key << " " << c.utc.day << "." << c.utc.month << "." << c.utc.year << " "
                                      << c.utc.hour << ":" << c.utc.minute;
    EXPECT_EQ(state.daylight, c.daylight) << c.key << " " << c.utc.day << "." << c.utc.month;
  }
}

TEST(ZoneCatalogue, SkippedAndRepeatedWallClockTimes) {
  MemoryRegistry registry = Catalogue();
  const auto newYork = ReadZoneRules(registry, "Eastern Standard Time");
  const auto lordHowe = ReadZoneRules(registry, "Lord Howe Standard Time");
  const auto nepal = ReadZoneRules(registry, "Nepal Standard Time");
  ASSERT_TRUE(newYork && lordHowe && nepal);
  EXPECT_EQ(ClassifyLocalTime(*newYork, At(2026, 3, 8, 1, 59)), LocalTimeKind::Normal);
  EXPECT_EQ(ClassifyLocalTime(*newYork, At(2026, 3, 8, 2, 30)), LocalTimeKind::Skipped);
  EXPECT_EQ(ClassifyLocalTime(*newYork, At(2026, 3, 8, 3, 0)), LocalTimeKind::Normal);
  EXPECT_EQ(ClassifyLocalTime(*newYork, At(2026, 11, 1, 0, 59)), LocalTimeKind::Normal);
  EXPECT_EQ(ClassifyLocalTime(*newYork, At(2026, 11, 1, 1, 30)), LocalTimeKind::Repeated);
  EXPECT_EQ(ClassifyLocalTime(*newYork, At(2026, 11, 1, 2, 0)), LocalTimeKind::Normal);
  EXPECT_EQ(ClassifyLocalTime(*lordHowe, At(2026, 10, 4, 2, 15)), LocalTimeKind::Skipped);
  EXPECT_EQ(ClassifyLocalTime(*lordHowe, At(2026, 10, 4, 2, 30)), LocalTimeKind::Normal);
  EXPECT_EQ(ClassifyLocalTime(*lordHowe, At(2026, 4, 5, 1, 45)), LocalTimeKind::Repeated);
  EXPECT_EQ(ClassifyLocalTime(*nepal, At(2026, 3, 8, 2, 30)), LocalTimeKind::Normal);
}

TEST(ZoneCatalogue, DynamicRulesOfEachYear) {
  MemoryRegistry registry;
  const std::string path = ZonePath("Changing Standard Time");
  // Today the zone keeps +03:00 all year; until 2025 it was +02:00 with
  // daylight time.
  const ZoneRule now = Rule(-180, 0, {}, {});
  const ZoneRule before = Rule(-120, -60, Every(3, 5, 5, 0), Every(10, 5, 5, 1));
  registry.WriteBinary(RegistryRoot::LocalMachine, path, "TZI", EncodeTzi(now));
  const std::string dynamic = path + "\\Dynamic DST";
  registry.WriteDword(RegistryRoot::LocalMachine, dynamic, "FirstEntry", 2020);
  registry.WriteDword(RegistryRoot::LocalMachine, dynamic, "LastEntry", 2026);
  registry.WriteBinary(RegistryRoot::LocalMachine, dynamic, "2020", EncodeTzi(before));
  registry.WriteBinary(RegistryRoot::LocalMachine, dynamic, "2024", std::string("short"));  // malformed: skipped
  registry.WriteBinary(RegistryRoot::LocalMachine, dynamic, "2026", EncodeTzi(now));

  const auto rules = ReadZoneRules(registry, "Changing Standard Time");
  ASSERT_TRUE(rules);
  EXPECT_EQ(ZoneStateAt(*rules, At(2019, 7, 1)).offset, 180);   // before the first year: the first year's
  EXPECT_EQ(ZoneStateAt(*rules, At(2022, 7, 1)).offset, 180);   // a year not listed: the year before's
  EXPECT_TRUE(ZoneStateAt(*rules, At(2024, 7, 1)).daylight);    // a malformed year: the year before's
  EXPECT_EQ(ZoneStateAt(*rules, At(2024, 1, 1)).offset, 120);
  EXPECT_EQ(ZoneStateAt(*rules, At(2026, 7, 1)).offset, 180);
  EXPECT_FALSE(ZoneStateAt(*rules, At(2026, 7, 1)).daylight);
  EXPECT_EQ(ZoneStateAt(*rules, At(2040, 7, 1)).offset, 180);   // after the last year: the last's
  EXPECT_EQ(rules->StandardOffset(2026), 180);
}

TEST(ZoneCatalogue, MalformedOrMissingValuesGiveNoRules) {
  MemoryRegistry registry = Catalogue();
  const std::string good = EncodeTzi(kZones[0].rule);
  EXPECT_EQ(good.size(), kTziSize);
  ASSERT_TRUE(ParseTzi(good + "extra"));
  EXPECT_EQ(ParseTzi(good)->standardStart.week, 1);
  EXPECT_FALSE(ParseTzi(good.substr(0, kTziSize - 1)));
  std::string badMonth = good;
  badMonth[14] = 13;  // standard month 13
  EXPECT_FALSE(ParseTzi(badMonth));
  std::string badWeek = good;
  badWeek[18] = 6;  // week 6
  EXPECT_FALSE(ParseTzi(badWeek));
  std::string hugeBias = good;
  hugeBias[3] = 0x7F;
  EXPECT_FALSE(ParseTzi(hugeBias));

  EXPECT_FALSE(ReadZoneRules(registry, "No Such Standard Time"));
  EXPECT_FALSE(ReadZoneRules(registry, ""));
  EXPECT_FALSE(ReadZoneRules(registry, "Eastern Standard Time\\..\\x"));
  registry.WriteBinary(RegistryRoot::LocalMachine, ZonePath("Broken"), "TZI", "xx");
  EXPECT_FALSE(ReadZoneRules(registry, "Broken"));
  // A TZI stored as text is not the binary value the catalogue keeps.
  registry.WriteString(RegistryRoot::LocalMachine, ZonePath("Text"), "TZI", good);
  EXPECT_FALSE(ReadZoneRules(registry, "Text"));
}

TEST(ZoneCatalogue, OffsetTexts) {
  EXPECT_EQ(OffsetText(345), "UTC+05:45");
  EXPECT_EQ(OffsetText(-210), "UTC-03:30");
  EXPECT_EQ(OffsetText(0), "UTC+00:00");
  EXPECT_EQ(OffsetText(840), "UTC+14:00");
}

}  // namespace hx
