#include "core/zone_rules.h"

#include <algorithm>

#include "core/time_format.h"

namespace hx {
namespace {

constexpr long kMinutesPerDay = 1440;

long MinutesSince1970(const DateTime& t) {
  return DaysFromCivil(t.year, t.month, t.day) * kMinutesPerDay + t.hour * 60L + t.minute;
}

int YearAt(long minutes) {
  long days = minutes / kMinutesPerDay;
  if (minutes % kMinutesPerDay != 0 && minutes < 0) --days;
  int year = 0, month = 0, day = 0;
  CivilFromDays(days, year, month, day);
  return year;
}

int DaysInMonth(int year, int month) {
  const long first = DaysFromCivil(year, month, 1);
  const long next = month == 12 ? DaysFromCivil(year + 1, 1, 1) : DaysFromCivil(year, month + 1, 1);
  return static_cast<int>(next - first);
}

bool ValidMonth(int month) { return month >= 1 && month <= 12; }

// A rule without both moments (or with a month no calendar has) keeps the
// standard offset all year.
bool ClockChanges(const ZoneRule& rule) {
  return ValidMonth(rule.daylightStart.month) && ValidMonth(rule.standardStart.month);
}

// The moment of `t` in `year`, in minutes since 1970 on the clock it is read
// on. A moment within a minute counts from the next whole minute, so a
// change at 23:59:59.999 comes after every minute of that day.
long TransitionMinute(const ZoneTransition& t, int year) {
  const int length = DaysInMonth(year, t.month);
  int day = t.day;
  if (t.year == 0) {
    const int firstWeekday = DayOfWeek(year, t.month, 1);
    day = 1 + ((t.dayOfWeek % 7 + 7) % 7 - firstWeekday + 7) % 7 + 7 * (std::clamp(t.week, 1, 5) - 1);
    while (day > length) day -= 7;
  }
  day = std::clamp(day, 1, length);
  const long milliseconds = ((t.hour * 60L + t.minute) * 60L + t.second) * 1000L + t.millisecond;
  return DaysFromCivil(year, t.month, day) * kMinutesPerDay + (milliseconds + 59999) / 60000;
}

// Daylight time lies from `start` up to `end`; south of the equator it
// spans New Year, so `end` comes first in the year.
bool InDaylight(long at, long start, long end) {
  return start < end ? at >= start && at < end : at >= start || at < end;
}

}  // namespace

int StandardEast(const ZoneRule& rule) { return -(rule.bias + rule.standardBias); }
int DaylightEast(const ZoneRule& rule) { return -(rule.bias + rule.daylightBias); }

int OffsetAtLocalTime(const ZoneRule& rule, const DateTime& local) {
  if (!ClockChanges(rule)) return StandardEast(rule);
  // Both moments are read on the clock that shows them, which is the wall
  // clock just before the change.
  const long start = TransitionMinute(rule.daylightStart, local.year);
  const long end = TransitionMinute(rule.standardStart, local.year);
  return InDaylight(MinutesSince1970(local), start, end) ? DaylightEast(rule) : StandardEast(rule);
}

int OffsetAtUniversalTime(const ZoneRule& rule, const DateTime& utc) {
  if (!ClockChanges(rule)) return StandardEast(rule);
  const long at = MinutesSince1970(utc);
  const int year = YearAt(at + StandardEast(rule));
  const long start = TransitionMinute(rule.daylightStart, year) - StandardEast(rule);
  const long end = TransitionMinute(rule.standardStart, year) - DaylightEast(rule);
  return InDaylight(at, start, end) ? DaylightEast(rule) : StandardEast(rule);
}

std::optional<int> OffsetAtLocalTime(const LocalZoneRules& rules, const DateTime& local) {
  const auto rule = rules.RuleForYear(local.year);
  if (!rule) return std::nullopt;
  return OffsetAtLocalTime(*rule, local);
}

std::optional<int> OffsetAtUniversalTime(const LocalZoneRules& rules, const DateTime& utc) {
  auto rule = rules.RuleForYear(utc.year);
  if (!rule) return std::nullopt;
  // Near New Year the local clock may already show another year, whose
  // rule then applies.
  const int localYear = YearAt(MinutesSince1970(utc) + StandardEast(*rule));
  if (localYear != utc.year) {
    rule = rules.RuleForYear(localYear);
    if (!rule) return std::nullopt;
  }
  return OffsetAtUniversalTime(*rule, utc);
}

}  // namespace hx
