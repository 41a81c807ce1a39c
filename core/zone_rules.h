// The local zone's offset from universal time at any date, daylight saving
// time included, from the yearly rule the system keeps for its zone: a
// standard and a daylight bias and the two moments of the year the clock
// changes, as Windows describes them in TIME_ZONE_INFORMATION.
#pragma once
#include <optional>

#include "base/datetime.h"

namespace hx {

// A moment of the year the clock changes. With year 0 it recurs: the
// `week`-th `dayOfWeek` (0 Sunday) of `month`, week 5 meaning the last. With
// a year it is the one date `day`.`month`. Month 0: no change.
struct ZoneTransition {
  int year = 0;
  int month = 0;
  int dayOfWeek = 0;
  int week = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// Biases in minutes as Windows counts them: universal time = local time +
// bias + standardBias (or + daylightBias while daylight saving is in force).
// `daylightStart` is read on the standard clock, `standardStart` on the
// daylight clock, as each is the moment that clock reaches.
struct ZoneRule {
  int bias = 0;
  int standardBias = 0;
  int daylightBias = 0;
  ZoneTransition standardStart;
  ZoneTransition daylightStart;
};

// Where the system's zone rule comes from; the Win32 layer asks the system,
// tests give a made-up zone. Nothing when the system does not say.
class LocalZoneRules {
 public:
  virtual ~LocalZoneRules() = default;
  virtual std::optional<ZoneRule> RuleForYear(int year) const = 0;
};

// Minutes east of universal time outside and during daylight saving time.
int StandardEast(const ZoneRule& rule);
int DaylightEast(const ZoneRule& rule);

// Minutes east of universal time when the local clock shows `local`. An
// hour the clock repeats counts as daylight time (its first pass), an hour
// the clock skips as daylight time too.
int OffsetAtLocalTime(const ZoneRule& rule, const DateTime& local);
// Minutes east of universal time at the universal moment `utc`.
int OffsetAtUniversalTime(const ZoneRule& rule, const DateTime& utc);

// The same with the rule of the year the local clock shows; nothing when
// the system gives no rule.
std::optional<int> OffsetAtLocalTime(const LocalZoneRules& rules, const DateTime& local);
std::optional<int> OffsetAtUniversalTime(const LocalZoneRules& rules, const DateTime& utc);

}  // namespace hx
