// The catalogue's zone rules as our own code computes them, against the
// system's conversion of the same zones.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/time_format.h"
#include "core/zone_catalogue.h"
#include "core/zones.h"
#include "win32/registry.h"
#include "win32/text.h"

namespace hx::win {
namespace {

using ForYearFn = BOOL(WINAPI*)(USHORT, void*, TIME_ZONE_INFORMATION*);

// The zone's TIME_ZONE_INFORMATION for `year` as the system gives it: the
// per-year rules where the system has them, else the catalogue's TZI.
bool PlatformZone(const std::string& key, const std::string& tzi, int year, TIME_ZONE_INFORMATION& info) {
  static const auto forYear = reinterpret_cast<ForYearFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTimeZoneInformationForYear")));
  if (forYear) {
    DYNAMIC_TIME_ZONE_INFORMATION dynamic{};
    const std::wstring wide = Widen(key);
    wcsncpy(dynamic.TimeZoneKeyName, wide.c_str(), 127);
    if (forYear(static_cast<USHORT>(year), &dynamic, &info)) return true;
  }
  if (tzi.size() < kTziSize) return false;
  info = {};
  memcpy(&info.Bias, tzi.data(), 12);
  memcpy(&info.StandardDate, tzi.data() + 12, 16);
  memcpy(&info.DaylightDate, tzi.data() + 28, 16);
  return true;
}

long Minutes(const SYSTEMTIME& t) {
  return DaysFromCivil(t.wYear, t.wMonth, t.wDay) * 1440L + t.wHour * 60L + t.wMinute;
}

// How many zones the system's zone key holds, as the system counts them.
DWORD SystemZoneCount() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(kTimeZonesKey).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  DWORD count = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr) != ERROR_SUCCESS)
    count = 0;
  RegCloseKey(key);
  return count;
}

SYSTEMTIME Utc(int year, int month, int day) {
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(year);
  t.wMonth = static_cast<WORD>(month);
  t.wDay = static_cast<WORD>(day);
  t.wHour = 12;
  return t;
}

}  // namespace

TEST(ZoneCatalogueOnTheSystem, EveryZonesOffsetAgreesWithTheSystemsConversion) {
  SystemRegistry registry;
  const auto catalogue = ReadZoneCatalogue(registry);
  ASSERT_GT(catalogue.size(), 50u);
  SYSTEMTIME now{};
  GetSystemTime(&now);
  now.wSecond = now.wMilliseconds = 0;
  // Now, and a day in each half of the year so every zone is seen both in
  // and out of its daylight saving time.
  const SYSTEMTIME moments[] = {now, Utc(now.wYear, 1, 15), Utc(now.wYear, 7, 15)};
  for (const ZoneEntry& zone : catalogue) {
    const auto rules = ReadZoneRules(registry, zone.keyName);
    ASSERT_TRUE(rules) << zone.keyName;
    const std::string tzi =
        registry.ReadBinary(RegistryRoot::LocalMachine, std::string(kTimeZonesKey) + "\\" + zone.keyName, "TZI")
            .value_or("");
    for (const SYSTEMTIME& utc : moments) {
      TIME_ZONE_INFORMATION info{};
      ASSERT_TRUE(PlatformZone(zone.keyName, tzi, utc.wYear, info)) << zone.keyName;
      SYSTEMTIME local{};
      ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(&info, &utc, &local)) << zone.keyName;
      const DateTime at{utc.wYear, utc.wMonth, utc.wDay, utc.wHour, utc.wMinute, 0, 0, utc.wDayOfWeek};
      EXPECT_EQ(ZoneStateAt(*rules, at).offset, Minutes(local) - Minutes(utc))
          << zone.keyName << " at " << utc.wDay << "." << utc.wMonth << "." << utc.wYear << " " << utc.wHour << ":"
          << utc.wMinute;
    }
  }
  // The loop saw every zone the system lists ...
  EXPECT_EQ(catalogue.size(), SystemZoneCount());
  // ... and zones whose offsets are known by heart come out right in
  // January and in July, daylight saving time included.
  struct Known { const char* key; int january, july; };
  const Known known[] = {
      {"Eastern Standard Time", -300, -240}, {"GMT Standard Time", 0, 60},
      {"AUS Eastern Standard Time", 660, 600}, {"Russian Standard Time", 180, 180},
      {"India Standard Time", 330, 330},     {"Nepal Standard Time", 345, 345},
  };
  for (const Known& k : known) {
    const auto rules = ReadZoneRules(registry, k.key);
    ASSERT_TRUE(rules) << k.key;
    for (const auto& [month, offset] : {std::pair{1, k.january}, std::pair{7, k.july}}) {
      const DateTime at{now.wYear, month, 15, 12, 0, 0, 0, 0};
      EXPECT_EQ(ZoneStateAt(*rules, at).offset, offset) << k.key << " in month " << month;
    }
  }
}

}  // namespace hx::win
