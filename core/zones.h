// Time zones as the program knows them: through the display names of the
// system's zone database, which begin with the offset from Greenwich, such as
// "(GMT+03:00) Moscow" on older systems or "(UTC+03:00) Moscow" on newer
// ones. Parsing the offset, listing the zones for the dialogs, finding the
// local zone and the clock time of one zone from another's.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/registry.h"

namespace hx {

// Location codes the handlers pass to their guard.
inline constexpr char kCodeGetTimeA[] = "1.001 - 001.0";
inline constexpr char kCodeGetTimeB[] = "1.001 - 002.0";
inline constexpr char kCodeGetTimeC[] = "1.001 - 003.0";
inline constexpr char kCodeDetectLocalZone[] = "1.001 - 005.0";

// Under HKEY_LOCAL_MACHINE.
inline constexpr char kTimeZonesKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones";
inline constexpr char kTimeZoneInformationKey[] = "SYSTEM\\CurrentControlSet\\Control\\TimeZoneInformation";

// The largest whole hours a display name can carry east and west. The zone
// database reaches +14:00 (Kiritimati) and -12:00.
inline constexpr int kMaxEastHours = 14;
inline constexpr int kMaxWestHours = 12;

// A zone's offset as the program stores it: sign "+" (east), "-" (west) or
// "0" (Greenwich or not recognised), whole hours and minutes 0, 30 or 45.
struct ZoneOffset {
  std::string sign = "0";
  int hours = 0;
  int minutes = 0;
  bool operator==(const ZoneOffset&) const = default;
};

// The sign of a display name: "+" for "(GMT+", "-" for "(GMT-", otherwise
// "0" ("(GMT)", unknown beginnings, names shorter than five characters).
// "(UTC" counts as "(GMT" in all three parsers.
std::string GetTimeA(std::string_view name);
// Whole hours of a display name whose sign is `sign`: 1..14 east, 1..12
// west; 0 when the name carries no such two-digit number or the sign is "0".
int GetTimeB(std::string_view name, std::string_view sign);
// Minutes of a display name: 0, 30 or 45; any other minutes give 0.
int GetTimeC(std::string_view name, std::string_view sign);
// All three together; hours and minutes are 0 when the sign is "0".
ZoneOffset ParseZoneOffset(std::string_view name);

// Minutes east of Greenwich: +(60h + m) for sign "+", -(60h + m) for any
// other sign text (so a hand-edited "0" with hours 5 lies 5 hours west).
int SignedOffset(std::string_view sign, int hours, int minutes);
inline int SignedOffset(const ZoneOffset& o) { return SignedOffset(o.sign, o.hours, o.minutes); }

// The clock of the target zone at the moment the source zone's clock shows
// hour:minute; offsets in signed minutes. dayShift is the number of days
// the target's date lies after the source's (negative: before).
struct ZoneClock {
  int hour = 0;    // 0..23
  int minute = 0;  // 0..59
  int dayShift = 0;
  bool operator==(const ZoneClock&) const = default;
};
ZoneClock ZoneClockTime(int hour, int minute, int sourceOffset, int targetOffset);

// One zone of the system's database.
struct ZoneEntry {
  std::string keyName;  // the subkey's name, e.g. "Russian Standard Time"
  std::string display;  // "Display"; empty when missing
  std::string standard; // "Std"; empty when missing
};
// Every zone in the order the registry enumerates them; empty when the key
// is missing or unreadable.
std::vector<ZoneEntry> ReadZoneCatalogue(Registry& registry);

// Three-way comparison of two texts without regard to case; the Win32 layer
// passes the user locale's comparison.
using TextCompare = std::function<int(std::string_view, std::string_view)>;
// A portable stand-in: compares code points with Latin and Cyrillic letters
// folded to lower case.
int CompareTextNoCase(std::string_view a, std::string_view b);

// The zone list of the dialogs: names west of Greenwich from -12:00 to
// -01:00 (descending text order), then "(GMT)", then east from +00:00 up
// (ascending). Other names are left out.
std::vector<std::string> OrderZoneNames(const std::vector<std::string>& names, const TextCompare& compare);
std::vector<std::string> ListTimeZones(Registry& registry, const TextCompare& compare = CompareTextNoCase);
// The entry a dialog preselects: the first equal to `name`, else 0; -1 for
// an empty list.
int ZoneListIndexOf(const std::vector<std::string>& zones, std::string_view name);

// The local zone as DetectLocalZone leaves it. Empty name until found.
struct LocalZone {
  std::string LocalZoneName;
  std::string LocalZoneSign = "0";
  int LocalZoneHours = 0;
  int LocalZoneMinutes = 0;
  // What the system said of its current zone when the name was found; while
  // it says the same, the catalogue is not searched again.
  std::string detectedFrom;
  int Offset() const { return SignedOffset(LocalZoneSign, LocalZoneHours, LocalZoneMinutes); }
};

// What the platform says about its current zone (GetTimeZoneInformation),
// used when the registry's current-zone key identifies no catalogue entry.
struct PlatformZoneInfo {
  std::string standardName;
};

// Refreshes `zone` from the registry: the catalogue entry whose "Std" equals
// the current zone's "StandardName" (the last such entry); failing that the
// entry named by "TimeZoneKeyName"; failing that the entry whose "Std"
// equals the platform's standard name. When nothing matches the name stays
// as it was. The offset is then parsed from the name. Registry failures
// propagate as exceptions; `zone` is unchanged then. The catalogue is only
// searched when the current zone differs from the last search's, so the
// once-a-minute call costs two registry reads.
void DetectLocalZone(Registry& registry, const PlatformZoneInfo& platform, LocalZone& zone);

// The local clock's offset from universal time in minutes. The system's
// current bias (UTC = local + bias, daylight saving included) when the
// platform gives one, else the standard offset of the local zone's name.
int LocalUtcOffset(const LocalZone& zone, std::optional<int> currentBiasMinutes);

}  // namespace hx
