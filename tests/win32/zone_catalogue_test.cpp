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
  int checked = 0;
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
      ++checked;
    }
  }
  EXPECT_EQ(checked, static_cast<int>(catalogue.size()) * 3);
}

}  // namespace hx::win
