#include "core/zone_rules.h"

#include <gtest/gtest.h>

#include "core/time_format.h"

namespace hx {
namespace {

DateTime At(int y, int mo, int d, int h = 0, int mi = 0) { return DateTime{y, mo, d, h, mi, 0, 0, DayOfWeek(y, mo, d)}; }

// Central Europe: +01:00, daylight +02:00 from the last Sunday of March
// 02:00 to the last Sunday of October 03:00.
ZoneRule Berlin() {
  ZoneRule r;
  r.bias = -60;
  r.daylightBias = -60;
  r.daylightStart = {0, 3, 0, 5, 0, 2, 0, 0, 0};
  r.standardStart = {0, 10, 0, 5, 0, 3, 0, 0, 0};
  return r;
}

// Sydney: +10:00, daylight +11:00 from the first Sunday of October 02:00
// to the first Sunday of April 03:00, so across New Year.
ZoneRule Sydney() {
  ZoneRule r;
  r.bias = -600;
  r.daylightBias = -60;
  r.daylightStart = {0, 10, 0, 1, 0, 2, 0, 0, 0};
  r.standardStart = {0, 4, 0, 1, 0, 3, 0, 0, 0};
  return r;
}

// Sydney's rule up to `sydneyUntil`, its standard time alone after it; no
// rule at all while `sydneyUntil` is 0.
struct YearRules : LocalZoneRules {
  std::optional<ZoneRule> RuleForYear(int year) const override {
    if (sydneyUntil == 0) return std::nullopt;
    ZoneRule rule = Sydney();
    if (year > sydneyUntil) rule.daylightStart.month = rule.standardStart.month = 0;
    return rule;
  }
  int sydneyUntil = 0;
};

}  // namespace

TEST(ZoneRules, LocalClockAroundEveryChange) {
  struct Case { const char* zone; DateTime local; int offset; };
  const Case cases[] = {
      // 2026: March has five Sundays (the last is the 29th), October four
      // (the last is the 25th).
      {"Berlin", At(2026, 3, 29, 1, 59), 60},
      {"Berlin", At(2026, 3, 29, 2, 0), 120},   // the skipped hour
      {"Berlin", At(2026, 3, 29, 3, 0), 120},
      {"Berlin", At(2026, 10, 25, 2, 59), 120}, // the repeated hour, first pass
      {"Berlin", At(2026, 10, 25, 3, 0), 60},
      {"Berlin", At(2026, 12, 6, 10, 0), 60},
      {"Sydney", At(2026, 1, 1, 0, 0), 660},
      {"Sydney", At(2026, 4, 5, 2, 59), 660},
      {"Sydney", At(2026, 4, 5, 3, 0), 600},
      {"Sydney", At(2026, 6, 6, 10, 0), 600},
      {"Sydney", At(2026, 10, 4, 1, 59), 600},
      {"Sydney", At(2026, 10, 4, 2, 0), 660},
      {"Sydney", At(2026, 12, 31, 23, 59), 660},
  };
  for (const Case& c : cases) {
    const ZoneRule rule = std::string(c.zone) == "Berlin" ? Berlin() : Sydney();
    EXPECT_EQ(OffsetAtLocalTime(rule, c.local), c.offset)
        << c.zone << " " << c.local.day << "." << c.local.month << " " << c.local.hour << ":" << c.local.minute;
  }
}

TEST(ZoneRules, UniversalClockAroundEveryChange) {
  struct Case { const char* zone; DateTime utc; int offset; };
  const Case cases[] = {
      {"Berlin", At(2026, 3, 29, 0, 59), 60},
      {"Berlin", At(2026, 3, 29, 1, 0), 120},
      {"Berlin", At(2026, 10, 25, 0, 59), 120},
      {"Berlin", At(2026, 10, 25, 1, 0), 60},
      {"Sydney", At(2026, 4, 4, 15, 59), 660},
      {"Sydney", At(2026, 4, 4, 16, 0), 600},
      {"Sydney", At(2026, 10, 3, 15, 59), 600},
      {"Sydney", At(2026, 10, 3, 16, 0), 660},
      // Sydney's clock is already in 2027.
      {"Sydney", At(2026, 12, 31, 13, 0), 660},
  };
  for (const Case& c : cases) {
    const ZoneRule rule = std::string(c.zone) == "Berlin" ? Berlin() : Sydney();
    EXPECT_EQ(OffsetAtUniversalTime(rule, c.utc), c.offset)
        << c.zone << " " << c.utc.day << "." << c.utc.month << " " << c.utc.hour << ":" << c.utc.minute;
  }
}

TEST(ZoneRules, FixedDatesEndOfDayChangesAndZonesWithoutDaylightTime) {
  ZoneRule rule = Berlin();
  // A change at 23:59:59.999 on the last Saturday of October: the whole of
  // that day is still daylight time.
  rule.standardStart = {0, 10, 6, 5, 0, 23, 59, 59, 999};
  EXPECT_EQ(OffsetAtLocalTime(rule, At(2026, 10, 31, 23, 59)), 120);
  EXPECT_EQ(OffsetAtLocalTime(rule, At(2026, 11, 1, 0, 0)), 60);
  // A change given as one date of the year.
  rule.standardStart = {2026, 9, 0, 0, 15, 3, 0, 0, 0};
  EXPECT_EQ(OffsetAtLocalTime(rule, At(2026, 9, 15, 2, 59)), 120);
  EXPECT_EQ(OffsetAtLocalTime(rule, At(2026, 9, 15, 3, 0)), 60);

  ZoneRule moscow;
  moscow.bias = -180;
  EXPECT_EQ(OffsetAtLocalTime(moscow, At(2026, 7, 1, 12, 0)), 180);
  EXPECT_EQ(OffsetAtUniversalTime(moscow, At(2026, 7, 1, 12, 0)), 180);
  ZoneRule halfRule = Berlin();
  halfRule.standardStart.month = 0;
  EXPECT_EQ(OffsetAtLocalTime(halfRule, At(2026, 7, 1, 12, 0)), 60);
}

TEST(ZoneRules, TheRuleOfTheYearTheLocalClockShows) {
  // Sydney keeps daylight time through 2026; suppose 2027 has none.
  YearRules rules;
  EXPECT_EQ(OffsetAtLocalTime(rules, At(2026, 7, 1)), std::nullopt);
  rules.sydneyUntil = 2026;
  EXPECT_EQ(OffsetAtLocalTime(rules, At(2026, 12, 31, 23, 0)), 660);
  EXPECT_EQ(OffsetAtLocalTime(rules, At(2027, 1, 1, 0, 0)), 600);
  // 13:00 universal time on New Year's Eve is already 2027 in Sydney.
  EXPECT_EQ(OffsetAtUniversalTime(rules, At(2026, 12, 31, 12, 59)), 660);
  EXPECT_EQ(OffsetAtUniversalTime(rules, At(2026, 12, 31, 14, 0)), 600);
}

}  // namespace hx
