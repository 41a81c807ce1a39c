// The rules of any zone of the system's time-zone catalogue, read from the
// catalogue's own values rather than from display names, which can be stale:
// the "TZI" value (biases and the two yearly moments the clock changes) and,
// where present, the "Dynamic DST" subkey with one such value per year for
// zones whose rules changed over the years.
#pragma once
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/registry.h"
#include "core/zone_rules.h"

namespace hx {

// The size of a TZI value: three 32-bit biases and two SYSTEMTIMEs of eight
// 16-bit fields, all little-endian.
inline constexpr size_t kTziSize = 44;

// The rule a TZI value holds; nothing when it is shorter than kTziSize or
// carries values no zone can have (biases beyond a day, months beyond 12,
// fields out of their range). Bytes after the first kTziSize are ignored.
std::optional<ZoneRule> ParseTzi(std::string_view bytes);
// The TZI bytes of `rule`, the inverse of ParseTzi.
std::string EncodeTzi(const ZoneRule& rule);

// A zone's rules over the years: the catalogue's current rule, and the
// rules of the years its Dynamic DST lists. Years before the first listed
// one take the first, years after the last take the last; a year missing
// inside the range takes the nearest listed year before it.
class ZoneYearRules : public LocalZoneRules {
 public:
  ZoneYearRules() = default;
  explicit ZoneYearRules(ZoneRule current) : current_(current) {}
  void AddYear(int year, const ZoneRule& rule) { years_[year] = rule; }

  std::optional<ZoneRule> RuleForYear(int year) const override;
  // Minutes east of universal time outside daylight saving time, in `year`.
  int StandardOffset(int year) const;

 private:
  ZoneRule current_;
  std::map<int, ZoneRule> years_;
};

// The rules of the catalogue's zone `keyName`; nothing when the catalogue
// has no such zone or its TZI is missing or malformed. Per-year values that
// are malformed are left out; a malformed year range leaves them all out.
std::optional<ZoneYearRules> ReadZoneRules(Registry& registry, const std::string& keyName);

// Zone rules read once per key and kept: the catalogue only changes with a
// system update, while the panels ask for their zones every minute. A key
// the catalogue lacks is remembered as such too.
class ZoneRuleCache {
 public:
  explicit ZoneRuleCache(Registry& registry) : registry_(registry) {}
  // Nothing when the catalogue has no usable rules for `keyName`. The
  // pointer stays valid until Clear.
  const ZoneYearRules* Find(const std::string& keyName);
  void Clear() { rules_.clear(); }

 private:
  Registry& registry_;
  std::map<std::string, std::optional<ZoneYearRules>> rules_;
};

// The rules of a catalogue zone by its key; nothing when it has none.
using ZoneRuleLookup = std::function<const ZoneYearRules*(const std::string& keyName)>;

// A listed zone as the catalogue knows it: its key and its standard offset
// (minutes east) in the year asked for. An empty key and no offset for a
// name the catalogue does not hold or whose rules are unusable.
struct ZoneChoice {
  std::string keyName;
  std::optional<int> standardOffset;
};
// One entry per name of `displayNames` (a zone list of the dialogs), in
// its order; a name the catalogue holds twice takes its first entry.
std::vector<ZoneChoice> DescribeZones(Registry& registry, const std::vector<std::string>& displayNames, int year);

// What a zone is doing at a universal moment.
struct ZoneState {
  int offset = 0;        // minutes east of universal time
  bool daylight = false; // daylight saving time is in force
};
ZoneState ZoneStateAt(const ZoneYearRules& rules, const DateTime& utc);

// How a wall-clock time of a zone relates to its clock changes: a time the
// clock skips when it is put forward, or one it shows twice when it is put
// back.
enum class LocalTimeKind { Normal, Skipped, Repeated };
LocalTimeKind ClassifyLocalTime(const LocalZoneRules& rules, const DateTime& local);

// "UTC+05:45", "UTC-03:30", "UTC+00:00".
std::string OffsetText(int minutesEast);

}  // namespace hx
