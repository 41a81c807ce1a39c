// The system's zone database as the program reads it from the registry:
// display names such as "(UTC+05:45) Kathmandu" that any system, localised
// or not, may write its own way. The input is text, one line per zone:
//   line 1:  current zone's StandardName | TimeZoneKeyName | platform name
//   then:    zone key name | Display | Std
// A missing field is a missing value. Properties:
// - every parsed offset has a known sign, hours within that sign's range and
//   minutes 0, 30 or 45; "(GMT" and "(UTC" give the same; a name written
//   from a parsed offset parses to that offset;
// - the comparison of names is antisymmetric and reflexive;
// - the zone list holds exactly the recognised names, west (descending),
//   Greenwich, then east (ascending);
// - the detected local zone is a catalogue entry (or nothing) and carries
//   its name's offset; a second detection changes nothing;
// - converting a clock time between two zones and back gives the original.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/ini.h"
#include "core/zones.h"
#include "fuzz/fuzz_check.h"

namespace {

using namespace hx;
using fuzz::Require;

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(separator, start);
    parts.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

// Only what the zone code reads: the zone keys and the current-zone key.
// Lookups compare names in place, without building folded copies, to keep
// each run cheap.
class ZoneRegistry : public Registry {
 public:
  explicit ZoneRegistry(std::string_view input) {
    const std::vector<std::string> lines = Split(input, '\n');
    const std::vector<std::string> current = Split(lines[0], '|');
    standardName_ = Field(current, 0);
    keyName_ = Field(current, 1);
    if (current.size() > 2) platform.standardName = current[2];
    for (size_t i = 1; i < lines.size() && zones_.size() < 64; ++i) {
      const std::vector<std::string> fields = Split(lines[i], '|');
      std::string name = fields[0];
      // Subkey names are single names, unique without regard to case.
      for (char& c : name)
        if (c == '\\') c = '_';
      if (name.empty() || FindZone(name)) continue;
      zones_.push_back({name, Field(fields, 1), Field(fields, 2)});
      names_.push_back(name);
    }
  }

  const std::vector<std::string>& zones() const { return names_; }
  std::optional<std::string> Display(const std::string& zone) const { return FindZone(zone)->display; }

  PlatformZoneInfo platform;

  bool KeyExists(RegistryRoot root, const std::string& path) override {
    return root == RegistryRoot::LocalMachine && (EqualsNoCase(path, kTimeZonesKey) ||
                                                  EqualsNoCase(path, kTimeZoneInformationKey) || ZoneOf(path));
  }
  bool CreateKey(RegistryRoot, const std::string&) override { return false; }
  bool ValueExists(RegistryRoot root, const std::string& path, const std::string& name) override {
    return ReadString(root, path, name).has_value();
  }
  std::optional<std::string> ReadString(RegistryRoot root, const std::string& path, const std::string& name) override {
    if (root != RegistryRoot::LocalMachine) return std::nullopt;
    if (EqualsNoCase(path, kTimeZoneInformationKey)) {
      if (EqualsNoCase(name, "StandardName")) return standardName_;
      if (EqualsNoCase(name, "TimeZoneKeyName")) return keyName_;
      return std::nullopt;
    }
    const Zone* zone = ZoneOf(path);
    if (!zone) return std::nullopt;
    if (EqualsNoCase(name, "Display")) return zone->display;
    if (EqualsNoCase(name, "Std")) return zone->standard;
    return std::nullopt;
  }
  std::optional<uint32_t> ReadDword(RegistryRoot, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> ReadBinary(RegistryRoot, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  void WriteString(RegistryRoot, const std::string&, const std::string&, const std::string&) override { Refuse(); }
  void WriteBinary(RegistryRoot, const std::string&, const std::string&, const std::string&) override { Refuse(); }
  void WriteDword(RegistryRoot, const std::string&, const std::string&, uint32_t) override { Refuse(); }
  void DeleteValue(RegistryRoot, const std::string&, const std::string&) override { Refuse(); }
  void DeleteKey(RegistryRoot, const std::string&) override { Refuse(); }
  std::vector<std::string> SubKeyNames(RegistryRoot root, const std::string& path) override {
    if (root == RegistryRoot::LocalMachine && EqualsNoCase(path, kTimeZonesKey)) return names_;
    return {};
  }
  std::vector<std::string> ValueNames(RegistryRoot, const std::string&) override { return {}; }

 private:
  struct Zone {
    std::string name;
    std::optional<std::string> display, standard;
  };

  static void Refuse() { Require(false, "the zone code only reads the registry"); }
  static std::optional<std::string> Field(const std::vector<std::string>& fields, size_t index) {
    if (index < fields.size()) return fields[index];
    return std::nullopt;
  }
  const Zone* FindZone(std::string_view name) const {
    for (const Zone& z : zones_)
      if (EqualsNoCase(z.name, name)) return &z;
    return nullptr;
  }
  // The zone whose key `path` names: the zones key, "\" and the zone's name.
  const Zone* ZoneOf(std::string_view path) const {
    const std::string_view parent(kTimeZonesKey);
    if (path.size() <= parent.size() + 1 || path[parent.size()] != '\\' ||
        !EqualsNoCase(path.substr(0, parent.size()), parent))
      return nullptr;
    return FindZone(path.substr(parent.size() + 1));
  }

  std::vector<Zone> zones_;
  std::vector<std::string> names_;
  std::optional<std::string> standardName_, keyName_;
};

std::string TwoDigits(int n) { return {static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)}; }

void CheckOffset(const std::string& name) {
  const ZoneOffset o = ParseZoneOffset(name);
  Require(o.sign == "+" || o.sign == "-" || o.sign == "0", "the sign is +, - or 0");
  Require(o.sign == GetTimeA(name) && o.hours == GetTimeB(name, o.sign) && o.minutes == GetTimeC(name, o.sign),
          "the three parsers agree with the offset");
  const int limit = o.sign == "+" ? kMaxEastHours : o.sign == "-" ? kMaxWestHours : 0;
  Require(o.hours >= 0 && o.hours <= limit, "hours within the sign's range");
  Require(o.minutes == 0 || o.minutes == 30 || o.minutes == 45, "minutes are 0, 30 or 45");
  Require(o.hours != 0 || o.minutes == 0, "no minutes without hours");
  if (name.size() >= 4 && (name.compare(0, 4, "(GMT") == 0 || name.compare(0, 4, "(UTC") == 0)) {
    const std::string other = (name[1] == 'G' ? "(UTC" : "(GMT") + name.substr(4);
    Require(ParseZoneOffset(other) == o, "(GMT and (UTC give the same offset");
  }
  if (o.hours != 0) {
    const std::string rebuilt = "(GMT" + o.sign + TwoDigits(o.hours) + ":" + TwoDigits(o.minutes) + ") Zone";
    Require(ParseZoneOffset(rebuilt) == o, "a name written from an offset parses to it");
  }
}

int Sign(int n) { return (n > 0) - (n < 0); }

char GroupOf(const std::string& name) {
  if (name.size() < 5 || (name.compare(0, 4, "(GMT") != 0 && name.compare(0, 4, "(UTC") != 0)) return 0;
  const char c = name[4];
  return c == '-' ? 1 : c == ')' ? 2 : c == '+' ? 3 : 0;  // list order
}

void CheckList(ZoneRegistry& registry, const std::vector<std::string>& names) {
  const std::vector<std::string> list = ListTimeZones(registry);
  std::map<std::string, int> expected;
  for (const auto& name : names)
    if (GroupOf(name) != 0) ++expected[name];
  std::map<std::string, int> listed;
  for (const auto& name : list) ++listed[name];
  Require(listed == expected, "the list holds exactly the recognised names");
  for (size_t i = 1; i < list.size(); ++i) {
    const char a = GroupOf(list[i - 1]), b = GroupOf(list[i]);
    Require(a <= b, "west, then Greenwich, then east");
    if (a != b) continue;
    const int order = CompareTextNoCase(list[i - 1], list[i]);
    Require(a == 1 ? order >= 0 : order <= 0, "west descends, Greenwich and east ascend");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZoneRegistry registry(fuzz::AsText(data, size));

  std::vector<std::string> names;
  for (const auto& zone : registry.zones()) names.push_back(registry.Display(zone).value_or(""));
  for (const auto& name : names) CheckOffset(name);
  for (size_t i = 0; i < names.size() && i < 16; ++i) {
    Require(CompareTextNoCase(names[i], names[i]) == 0, "a name equals itself");
    for (size_t j = i + 1; j < names.size() && j < 16; ++j)
      Require(Sign(CompareTextNoCase(names[i], names[j])) == -Sign(CompareTextNoCase(names[j], names[i])),
              "the comparison is antisymmetric");
  }
  CheckList(registry, names);

  LocalZone zone;
  DetectLocalZone(registry, registry.platform, zone);
  Require(zone.LocalZoneName.empty() || std::find(names.begin(), names.end(), zone.LocalZoneName) != names.end(),
          "the local zone is a catalogue entry");
  const ZoneOffset o = ParseZoneOffset(zone.LocalZoneName);
  Require(zone.LocalZoneSign == o.sign && zone.LocalZoneHours == o.hours && zone.LocalZoneMinutes == o.minutes,
          "the local zone carries its name's offset");
  const LocalZone before = zone;
  DetectLocalZone(registry, registry.platform, zone);
  Require(zone.LocalZoneName == before.LocalZoneName && zone.Offset() == before.Offset(),
          "a second detection changes nothing");

  // Clock times between the local zone and every other zone, there and back.
  const int local = zone.Offset();
  int minuteOfDay = static_cast<int>(size % 1440);
  for (size_t i = 0; i < names.size() && i < 16; ++i) {
    const int other = SignedOffset(ParseZoneOffset(names[i]));
    const ZoneClock there = ZoneClockTime(minuteOfDay / 60, minuteOfDay % 60, local, other);
    Require(there.hour >= 0 && there.hour <= 23 && there.minute >= 0 && there.minute <= 59 &&
                there.dayShift >= -2 && there.dayShift <= 2,
            "a zone's clock is a time of day at most two days away");
    const ZoneClock back = ZoneClockTime(there.hour, there.minute, other, local);
    Require(back.hour == minuteOfDay / 60 && back.minute == minuteOfDay % 60 && back.dayShift == -there.dayShift,
            "converting there and back gives the original time");
    minuteOfDay = (minuteOfDay + 437) % 1440;
  }
  return 0;
}
