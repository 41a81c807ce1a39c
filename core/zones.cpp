#include "core/zones.h"

#include <algorithm>
#include <cstdint>

#include "base/ini.h"

namespace hx {
namespace {

// The part of a display name after "(GMT" or "(UTC"; nothing for any other
// beginning. Newer systems write "(UTC+03:00) ..." and "(UTC) ..." where
// older ones wrote "(GMT+03:00) ..." and "(GMT) ...".
std::optional<std::string_view> AfterTag(std::string_view name) {
  if (name.size() < 4) return std::nullopt;
  const std::string_view tag = name.substr(0, 4);
  if (tag != "(GMT" && tag != "(UTC") return std::nullopt;
  return name.substr(4);
}

int HoursLimit(std::string_view sign) {
  if (sign == "+") return kMaxEastHours;
  if (sign == "-") return kMaxWestHours;
  return 0;
}

// Whole hours written after the tag: sign and two digits, within the
// sign's range. 0 when there is none.
int ParsedHours(std::string_view name, std::string_view sign) {
  const int limit = HoursLimit(sign);
  const auto rest = AfterTag(name);
  if (limit == 0 || !rest || rest->size() < 3 || rest->substr(0, 1) != sign) return 0;
  const char hi = (*rest)[1], lo = (*rest)[2];
  if (hi < '0' || hi > '9' || lo < '0' || lo > '9') return 0;
  const int hours = (hi - '0') * 10 + (lo - '0');
  return hours >= 1 && hours <= limit ? hours : 0;
}

// Decodes one UTF-8 code point at `i`, advancing it; bytes that are not
// valid UTF-8 stand for themselves.
uint32_t NextCodePoint(std::string_view s, size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i++]);
  int extra = b0 >= 0xF0 ? 3 : b0 >= 0xE0 ? 2 : b0 >= 0xC0 ? 1 : 0;
  if (extra == 0 || i + extra > s.size()) return b0;
  uint32_t cp = b0 & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return b0;
    cp = (cp << 6) | (b & 0x3F);
  }
  i += extra;
  return cp;
}

uint32_t FoldCase(uint32_t cp) {
  if (cp >= 'A' && cp <= 'Z') return cp + 32;
  if (cp >= 0x0410 && cp <= 0x042F) return cp + 0x20;  // А..Я
  if (cp >= 0x0400 && cp <= 0x040F) return cp + 0x50;  // Ѐ..Џ, Ё among them
  return cp;
}

}  // namespace

std::string GetTimeA(std::string_view name) {
  const auto rest = AfterTag(name);
  if (!rest || rest->empty()) return "0";
  if (rest->front() == '+') return "+";
  if (rest->front() == '-') return "-";
  return "0";
}

int GetTimeB(std::string_view name, std::string_view sign) { return ParsedHours(name, sign); }

int GetTimeC(std::string_view name, std::string_view sign) {
  if (ParsedHours(name, sign) == 0) return 0;
  const std::string_view rest = *AfterTag(name);
  if (rest.size() < 6 || rest[3] != ':') return 0;
  const std::string_view minutes = rest.substr(4, 2);
  if (minutes == "30") return 30;
  if (minutes == "45") return 45;
  return 0;
}

ZoneOffset ParseZoneOffset(std::string_view name) {
  ZoneOffset o;
  o.sign = GetTimeA(name);
  if (o.sign != "0") {
    o.hours = GetTimeB(name, o.sign);
    o.minutes = GetTimeC(name, o.sign);
  }
  return o;
}

int SignedOffset(std::string_view sign, int hours, int minutes) {
  const int magnitude = 60 * hours + minutes;
  return sign == "+" ? magnitude : -magnitude;
}

ZoneClock ZoneClockTime(int hour, int minute, int sourceOffset, int targetOffset) {
  const int total = 60 * hour + minute - sourceOffset + targetOffset;
  // Floor division, so that times before midnight land on the previous day.
  int day = total / 1440;
  if (total % 1440 != 0 && total < 0) --day;
  const int minuteOfDay = total - 1440 * day;
  return ZoneClock{minuteOfDay / 60, minuteOfDay % 60, day};
}

std::vector<ZoneEntry> ReadZoneCatalogue(Registry& registry) {
  std::vector<ZoneEntry> zones;
  for (auto& keyName : registry.SubKeyNames(RegistryRoot::LocalMachine, kTimeZonesKey)) {
    const std::string path = std::string(kTimeZonesKey) + "\\" + keyName;
    ZoneEntry e;
    e.display = registry.ReadString(RegistryRoot::LocalMachine, path, "Display").value_or("");
    e.standard = registry.ReadString(RegistryRoot::LocalMachine, path, "Std").value_or("");
    e.keyName = std::move(keyName);
    zones.push_back(std::move(e));
  }
  return zones;
}

int CompareTextNoCase(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const uint32_t ca = FoldCase(NextCodePoint(a, i));
    const uint32_t cb = FoldCase(NextCodePoint(b, j));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

std::vector<std::string> OrderZoneNames(const std::vector<std::string>& names, const TextCompare& compare) {
  std::vector<std::string> west, greenwich, east;
  for (const auto& name : names) {
    const auto rest = AfterTag(name);
    if (!rest || rest->empty()) continue;
    switch (rest->front()) {
      case '-': west.push_back(name); break;
      case '+': east.push_back(name); break;
      case ')': greenwich.push_back(name); break;
      default: break;
    }
  }
  const auto less = [&](const std::string& x, const std::string& y) { return compare(x, y) < 0; };
  const auto more = [&](const std::string& x, const std::string& y) { return compare(y, x) < 0; };
  std::stable_sort(west.begin(), west.end(), more);
  std::stable_sort(greenwich.begin(), greenwich.end(), less);
  std::stable_sort(east.begin(), east.end(), less);
  std::vector<std::string> list;
  list.reserve(west.size() + greenwich.size() + east.size());
  for (auto* group : {&west, &greenwich, &east})
    for (auto& name : *group) list.push_back(std::move(name));
  return list;
}

std::vector<std::string> ListTimeZones(Registry& registry, const TextCompare& compare) {
  std::vector<std::string> names;
  for (auto& zone : ReadZoneCatalogue(registry)) names.push_back(std::move(zone.display));
  return OrderZoneNames(names, compare);
}

int ZoneListIndexOf(const std::vector<std::string>& zones, std::string_view name) {
  if (zones.empty()) return -1;
  const auto it = std::find(zones.begin(), zones.end(), name);
  return it == zones.end() ? 0 : static_cast<int>(it - zones.begin());
}

void DetectLocalZone(Registry& registry, const PlatformZoneInfo& platform, LocalZone& zone) {
  const auto standardName =
      registry.ReadString(RegistryRoot::LocalMachine, kTimeZoneInformationKey, "StandardName");
  const auto keyName = registry.ReadString(RegistryRoot::LocalMachine, kTimeZoneInformationKey, "TimeZoneKeyName");
  const std::string identity =
      standardName.value_or("") + '\n' + keyName.value_or("") + '\n' + platform.standardName;
  if (!zone.LocalZoneName.empty() && identity == zone.detectedFrom) return;
  const auto catalogue = ReadZoneCatalogue(registry);

  // The last entry whose "Std" is `standard`; entries without a display
  // name cannot stand for the local zone.
  const auto byStandardName = [&](const std::string& standard) -> std::optional<std::string> {
    std::optional<std::string> found;
    if (standard.empty()) return found;
    for (const auto& e : catalogue)
      if (e.standard == standard && !e.display.empty()) found = e.display;
    return found;
  };

  std::optional<std::string> found = byStandardName(standardName.value_or(""));
  if (!found) {
    // Newer systems keep an indirect "@tzres.dll,-NNN" text in StandardName,
    // which matches no "Std"; the zone's key name identifies it instead.
    if (keyName && !keyName->empty())
      for (const auto& e : catalogue)
        if (EqualsNoCase(e.keyName, *keyName) && !e.display.empty()) {
          found = e.display;
          break;
        }
  }
  if (!found) found = byStandardName(platform.standardName);

  if (found) {
    zone.LocalZoneName = *found;
    zone.detectedFrom = identity;
  }
  const ZoneOffset o = ParseZoneOffset(zone.LocalZoneName);
  zone.LocalZoneSign = o.sign;
  zone.LocalZoneHours = o.hours;
  zone.LocalZoneMinutes = o.minutes;
}

int LocalUtcOffset(const LocalZone& zone, std::optional<int> currentBiasMinutes) {
  return currentBiasMinutes ? -*currentBiasMinutes : zone.Offset();
}

}  // namespace hx
