// A zone's rules as the system's catalogue stores them: the TZI value (44
// bytes: three biases and the two moments the clock changes) and per-year
// values. The input is the current TZI followed by per-year entries of two
// bytes (the year, counted from 1990) and a TZI each. Properties:
// - a TZI the reader accepts is written back by the writer to bytes that
//   read to the same rule;
// - at any moment a zone shows its standard or its daylight offset of a
//   year around that moment, and "daylight" means the daylight one;
// - a wall-clock time the zone shows once (neither skipped nor repeated)
//   turned into universal time with its offset shows that same offset there
//   (for rules whose two changes lie at least a month apart, away from
//   New Year, where one year's rule gives way to the next).
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/time_format.h"
#include "core/zone_catalogue.h"
#include "fuzz/fuzz_check.h"

namespace {

using namespace hx;
using fuzz::Require;

std::optional<ZoneRule> ReadTzi(std::string_view bytes) {
  const auto rule = ParseTzi(bytes);
  if (rule) {
    const std::string written = EncodeTzi(*rule);
    Require(written.size() == kTziSize, "a TZI value is 44 bytes");
    const auto back = ParseTzi(written);
    Require(back && EncodeTzi(*back) == written, "a written TZI reads back to the same rule");
  }
  return rule;
}

bool OneOfTheYearsOffsets(const ZoneYearRules& rules, int year, int offset) {
  for (int y = year - 1; y <= year + 1; ++y) {
    const ZoneRule r = *rules.RuleForYear(y);
    if (offset == StandardEast(r) || offset == DaylightEast(r)) return true;
  }
  return false;
}

// The two changes of a rule at least a month apart, as in every real zone.
bool MonthsApart(const ZoneRule& r) {
  const int apart = (r.daylightStart.month - r.standardStart.month + 12) % 12;
  return apart >= 2 && apart <= 10;
}

DateTime At(int year, int month, int day, int minuteOfDay) {
  return DateTime{.year = year, .month = month, .day = day, .hour = minuteOfDay / 60, .minute = minuteOfDay % 60};
}

DateTime Shifted(const DateTime& t, int minutes) {
  const long total = DaysFromCivil(t.year, t.month, t.day) * 1440L + t.hour * 60L + t.minute + minutes;
  const long days = total >= 0 ? total / 1440 : (total - 1439) / 1440;
  DateTime shifted = At(0, 1, 1, static_cast<int>(total - days * 1440));
  CivilFromDays(days, shifted.year, shifted.month, shifted.day);
  return shifted;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto current = ReadTzi(bytes);
  if (!current) return 0;
  ZoneYearRules rules(*current);
  for (size_t at = kTziSize; at + 2 + kTziSize <= size && at < 16 * (2 + kTziSize); at += 2 + kTziSize)
    if (const auto rule = ReadTzi(bytes.substr(at + 2, kTziSize)))
      rules.AddYear(1990 + (data[at] | data[at + 1] << 8) % 80, *rule);

  // Local times on every day around each year's two clock changes and at
  // points spread over the year.
  const int seed = size > kTziSize ? data[size - 1] : 0;
  for (int year : {1989, 2000, 2026, 2070}) {
    const ZoneRule r = *rules.RuleForYear(year);
    for (const ZoneTransition& t : {r.daylightStart, r.standardStart, ZoneTransition{.month = 1 + seed % 12}}) {
      if (t.month < 1 || t.month > 12) continue;
      for (int day = 1; day <= 28; day += 3)
        for (int minuteOfDay : {0, t.hour * 60 + t.minute - 1, t.hour * 60 + t.minute, t.hour * 60 + t.minute + 59,
                                static_cast<int>(seed * 5 % 1440)}) {
          if (minuteOfDay < 0 || minuteOfDay >= 1440) continue;
          const DateTime local = At(year, t.month, day, minuteOfDay);
          const ZoneState state = ZoneStateAt(rules, local);  // read as a universal moment too
          Require(OneOfTheYearsOffsets(rules, year, state.offset), "a zone shows one of its offsets");
          const LocalTimeKind kind = ClassifyLocalTime(rules, local);
          const auto offset = OffsetAtLocalTime(static_cast<const LocalZoneRules&>(rules), local);
          Require(offset.has_value() && OneOfTheYearsOffsets(rules, year, *offset), "a wall-clock time has an offset");
          // Changes only days apart (a made-up rule) overlap their own hours;
          // on New Year's Day the clock may jump from one year's rule to the
          // next, as on Windows, which tells only each year's own changes.
          if (kind != LocalTimeKind::Normal || !MonthsApart(r) || (t.month == 1 && day == 1)) continue;
          const ZoneState there = ZoneStateAt(rules, Shifted(local, -*offset));
          Require(there.offset == *offset, "a time shown once converts there and back with one offset");
        }
    }
  }
  return 0;
}
