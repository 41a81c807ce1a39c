#include "core/zone_catalogue.h"

#include <cstdint>
#include <cstdlib>

#include "core/time_format.h"
#include "core/zones.h"

namespace hx {
namespace {

constexpr char kDynamicDst[] = "Dynamic DST";
constexpr long kMinutesPerDay = 1440;
// Wider than any real bias (the catalogue spans -12:00 to +14:00) but
// narrow enough that offsets never overflow the minute arithmetic.
constexpr long kMaxBiasMinutes = 1440;

uint32_t Little32(std::string_view bytes, size_t at) {
  uint32_t value = 0;
  for (int k = 3; k >= 0; --k) value = (value << 8) | static_cast<unsigned char>(bytes[at + k]);
  return value;
}

unsigned Little16(std::string_view bytes, size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

void Put32(std::string& out, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<char>((bits >> (8 * k)) & 0xFF));
}

void Put16(std::string& out, unsigned value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

std::optional<int> Bias(std::string_view bytes, size_t at) {
  const auto value = static_cast<int32_t>(Little32(bytes, at));
  if (value < -kMaxBiasMinutes || value > kMaxBiasMinutes) return std::nullopt;
  return static_cast<int>(value);
}

// A SYSTEMTIME of a TZI: year, month, day of week, day (the week for
// recurring moments), hour, minute, second, millisecond.
std::optional<ZoneTransition> Transition(std::string_view bytes, size_t at) {
  unsigned field[8];
  for (int k = 0; k < 8; ++k) field[k] = Little16(bytes, at + 2 * k);
  ZoneTransition t;
  t.year = static_cast<int>(field[0]);
  t.month = static_cast<int>(field[1]);
  if (t.month == 0) return t;  // the clock does not change
  t.dayOfWeek = static_cast<int>(field[2]);
  if (t.year == 0) t.week = static_cast<int>(field[3]);
  else t.day = static_cast<int>(field[3]);
  t.hour = static_cast<int>(field[4]);
  t.minute = static_cast<int>(field[5]);
  t.second = static_cast<int>(field[6]);
  t.millisecond = static_cast<int>(field[7]);
  const bool valid = t.month <= 12 && t.dayOfWeek <= 6 && (t.year == 0 ? t.week >= 1 && t.week <= 5 : t.day >= 1 && t.day <= 31) &&
                     t.hour <= 23 && t.minute <= 59 && t.second <= 59 && t.millisecond <= 999;
  if (!valid) return std::nullopt;
  return t;
}

void PutTransition(std::string& out, const ZoneTransition& t) {
  for (int value : {t.year, t.month, t.dayOfWeek, t.year == 0 ? t.week : t.day, t.hour, t.minute, t.second,
                    t.millisecond})
    Put16(out, static_cast<unsigned>(value));
}

long MinutesOf(const DateTime& t) {
  return DaysFromCivil(t.year, t.month, t.day) * kMinutesPerDay + t.hour * 60L + t.minute;
}

DateTime AtMinute(long minutes) {
  long days = minutes / kMinutesPerDay;
  if (minutes % kMinutesPerDay != 0 && minutes < 0) --days;
  const long minuteOfDay = minutes - days * kMinutesPerDay;
  DateTime t;
  CivilFromDays(days, t.year, t.month, t.day);
  t.hour = static_cast<int>(minuteOfDay / 60);
  t.minute = static_cast<int>(minuteOfDay % 60);
  t.dayOfWeek = DayOfWeek(t.year, t.month, t.day);
  return t;
}

}  // namespace

std::optional<ZoneRule> ParseTzi(std::string_view bytes) {
  if (bytes.size() < kTziSize) return std::nullopt;
  const auto bias = Bias(bytes, 0), standardBias = Bias(bytes, 4), daylightBias = Bias(bytes, 8);
  const auto standardStart = Transition(bytes, 12), daylightStart = Transition(bytes, 28);
  if (!bias || !standardBias || !daylightBias || !standardStart || !daylightStart) return std::nullopt;
  ZoneRule rule;
  rule.bias = *bias;
  rule.standardBias = *standardBias;
  rule.daylightBias = *daylightBias;
  rule.standardStart = *standardStart;
  rule.daylightStart = *daylightStart;
  return rule;
}

std::string EncodeTzi(const ZoneRule& rule) {
  std::string out;
  Put32(out, rule.bias);
  Put32(out, rule.standardBias);
  Put32(out, rule.daylightBias);
  PutTransition(out, rule.standardStart);
  PutTransition(out, rule.daylightStart);
  return out;
}

std::optional<ZoneRule> ZoneYearRules::RuleForYear(int year) const {
  if (years_.empty()) return current_;
  auto it = years_.upper_bound(year);
  if (it == years_.begin()) return it->second;  // before the first listed year
  return std::prev(it)->second;
}

int ZoneYearRules::StandardOffset(int year) const { return StandardEast(*RuleForYear(year)); }

std::optional<ZoneYearRules> ReadZoneRules(Registry& registry, const std::string& keyName) {
  // A key name with a separator would reach into another key.
  if (keyName.empty() || keyName.find('\\') != std::string::npos) return std::nullopt;
  const std::string path = std::string(kTimeZonesKey) + "\\" + keyName;
  const auto tzi = registry.ReadBinary(RegistryRoot::LocalMachine, path, "TZI");
  if (!tzi) return std::nullopt;
  const auto current = ParseTzi(*tzi);
  if (!current) return std::nullopt;
  ZoneYearRules rules(*current);

  const std::string dynamic = path + "\\" + kDynamicDst;
  const auto first = registry.ReadDword(RegistryRoot::LocalMachine, dynamic, "FirstEntry");
  const auto last = registry.ReadDword(RegistryRoot::LocalMachine, dynamic, "LastEntry");
  // The Gregorian years a SYSTEMTIME can name; a range wider than that is
  // not a real catalogue's.
  if (!first || !last || *first < 1601 || *last > 30827 || *first > *last) return rules;
  for (uint32_t year = *first; year <= *last; ++year) {
    const auto bytes = registry.ReadBinary(RegistryRoot::LocalMachine, dynamic, std::to_string(year));
    if (!bytes) continue;
    if (const auto rule = ParseTzi(*bytes)) rules.AddYear(static_cast<int>(year), *rule);
  }
  return rules;
}

const ZoneYearRules* ZoneRuleCache::Find(const std::string& keyName) {
  auto it = rules_.find(keyName);
  if (it == rules_.end()) it = rules_.emplace(keyName, ReadZoneRules(registry_, keyName)).first;
  return it->second ? &*it->second : nullptr;
}

std::vector<ZoneChoice> DescribeZones(Registry& registry, const std::vector<std::string>& displayNames, int year) {
  std::map<std::string, std::string> keyOf;
  for (const ZoneEntry& e : ReadZoneCatalogue(registry)) keyOf.emplace(e.display, e.keyName);
  std::vector<ZoneChoice> choices;
  choices.reserve(displayNames.size());
  for (const std::string& name : displayNames) {
    ZoneChoice choice;
    const auto it = keyOf.find(name);
    if (it != keyOf.end())
      if (const auto rules = ReadZoneRules(registry, it->second)) {
        choice.keyName = it->second;
        choice.standardOffset = rules->StandardOffset(year);
      }
    choices.push_back(std::move(choice));
  }
  return choices;
}

ZoneState ZoneStateAt(const ZoneYearRules& rules, const DateTime& utc) {
  const int offset = OffsetAtUniversalTime(rules, utc).value_or(0);
  // The rule of the zone's own year tells which offset is its daylight one.
  const DateTime local = AtMinute(MinutesOf(utc) + offset);
  const ZoneRule rule = *rules.RuleForYear(local.year);
  const bool changes = rule.daylightStart.month != 0 && rule.standardStart.month != 0;
  return ZoneState{offset, changes && offset == DaylightEast(rule) && offset != StandardEast(rule)};
}

LocalTimeKind ClassifyLocalTime(const LocalZoneRules& rules, const DateTime& local) {
  const auto rule = rules.RuleForYear(local.year);
  if (!rule || StandardEast(*rule) == DaylightEast(*rule)) return LocalTimeKind::Normal;
  // A wall-clock time is real for an offset when the universal moment it
  // gives under that offset has that offset.
  int readings = 0;
  for (int offset : {StandardEast(*rule), DaylightEast(*rule)}) {
    const DateTime utc = AtMinute(MinutesOf(local) - offset);
    if (OffsetAtUniversalTime(rules, utc) == offset) ++readings;
  }
  if (readings == 0) return LocalTimeKind::Skipped;
  if (readings == 2) return LocalTimeKind::Repeated;
  return LocalTimeKind::Normal;
}

std::string OffsetText(int minutesEast) {
  const int magnitude = std::abs(minutesEast);
  char text[16];
  const int hours = magnitude / 60 % 100, minutes = magnitude % 60;
  text[0] = minutesEast < 0 ? '-' : '+';
  text[1] = static_cast<char>('0' + hours / 10);
  text[2] = static_cast<char>('0' + hours % 10);
  text[3] = ':';
  text[4] = static_cast<char>('0' + minutes / 10);
  text[5] = static_cast<char>('0' + minutes % 10);
  return "UTC" + std::string(text, 6);
}

}  // namespace hx
