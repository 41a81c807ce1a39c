#include "core/zones.h"

#include <gtest/gtest.h>

#include "base/memory_registry.h"

namespace hx {
namespace {

constexpr auto LM = RegistryRoot::LocalMachine;

void AddZone(MemoryRegistry& r, const std::string& key, const std::string& display, const std::string& std) {
  const std::string path = std::string(kTimeZonesKey) + "\\" + key;
  r.CreateKey(LM, path);
  if (!display.empty()) r.WriteString(LM, path, "Display", display);
  r.WriteString(LM, path, "Std", std);
}

void SetCurrentZone(MemoryRegistry& r, const std::string& standardName, const std::string& keyName = "") {
  r.WriteString(LM, kTimeZoneInformationKey, "StandardName", standardName);
  if (!keyName.empty()) r.WriteString(LM, kTimeZoneInformationKey, "TimeZoneKeyName", keyName);
}

}  // namespace

TEST(ZoneOffset, ParsesGmtAndUtcDisplayNames) {
  struct Case { const char* name; ZoneOffset expected; };
  const Case cases[] = {
      {"(GMT+05:45) Kathmandu", {"+", 5, 45}},
      {"(GMT-03:30) Newfoundland", {"-", 3, 30}},
      {"(GMT+13:00) Nuku'alofa", {"+", 13, 0}},
      {"(GMT-13:00) Nowhere", {"-", 0, 0}},  // west ends at 12
      {"(GMT) Greenwich Mean Time", {"0", 0, 0}},
      {"(GMT+00:00) Dublin", {"+", 0, 0}},
      {"(GMT+05:15) Odd", {"+", 5, 0}},      // minutes other than 0, 30, 45
      {"(gmt+03:00) lower case", {"0", 0, 0}},
      {"(GMT", {"0", 0, 0}},
      {"", {"0", 0, 0}},
      {"Moscow (GMT+03:00)", {"0", 0, 0}},
      // Newer systems and Wine write "(UTC".
      {"(UTC+03:00) Moscow, St. Petersburg", {"+", 3, 0}},
      {"(UTC) Coordinated Universal Time", {"0", 0, 0}},
      {"(UTC-12:00) International Date Line West", {"-", 12, 0}},
      {"(UTC+12:45) Chatham Islands", {"+", 12, 45}},
      {"(UTC+14:00) Kiritimati Island", {"+", 14, 0}},
      {"(UTC+15:00) Beyond", {"+", 0, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseZoneOffset(c.name), c.expected) << c.name;
}

TEST(ZoneOffset, HoursAndMinutesNeedTheMatchingSign) {
  EXPECT_EQ(GetTimeB("(GMT+03:30) Tehran", "-"), 0);
  EXPECT_EQ(GetTimeC("(GMT+03:30) Tehran", "-"), 0);
  EXPECT_EQ(GetTimeB("(GMT+03:30) Tehran", "0"), 0);
  EXPECT_EQ(GetTimeC("(GMT+03:30) Tehran", "+"), 30);
}

TEST(ZoneOffset, SignedOffsetSubtractsForEverySignButPlus) {
  EXPECT_EQ(SignedOffset("+", 5, 45), 345);
  EXPECT_EQ(SignedOffset("-", 3, 30), -210);
  EXPECT_EQ(SignedOffset("0", 5, 0), -300);  // hand-edited panel record
}

TEST(ZoneClockTime, NormalisesAcrossDays) {
  EXPECT_EQ(ZoneClockTime(10, 5, 345, -210), (ZoneClock{0, 50, 0}));
  EXPECT_EQ(ZoneClockTime(23, 59, -720, 780), (ZoneClock{0, 59, 2}));
  EXPECT_EQ(ZoneClockTime(1, 10, 180, -600), (ZoneClock{12, 10, -1}));
  // Exactly on midnight, before and after.
  EXPECT_EQ(ZoneClockTime(0, 0, 60, -1380), (ZoneClock{0, 0, -1}));
  EXPECT_EQ(ZoneClockTime(23, 0, 0, 60), (ZoneClock{0, 0, 1}));
  EXPECT_EQ(ZoneClockTime(0, 0, 1, 0), (ZoneClock{23, 59, -1}));
}

TEST(ListTimeZones, WestDescendingThenGreenwichThenEast) {
  MemoryRegistry r;
  AddZone(r, "A", "(UTC+03:00) Moscow", "A");
  AddZone(r, "B", "(GMT-01:00) Azores", "B");
  AddZone(r, "C", "(UTC-12:00) Date Line", "C");
  AddZone(r, "D", "(UTC) Coordinated Universal Time", "D");
  AddZone(r, "E", "(GMT+00:00) Dublin", "E");
  AddZone(r, "F", "(UTC+03:00) baghdad", "F");
  AddZone(r, "G", "Local Time", "G");
  AddZone(r, "H", "", "H");
  AddZone(r, "I", "(UTC-03:00) Brasilia", "I");
  AddZone(r, "J", "(UTC-03:00) Cayenne", "J");
  AddZone(r, "K", "(GMT) Casablanca", "K");
  const std::vector<std::string> expected = {
      "(UTC-12:00) Date Line", "(UTC-03:00) Cayenne", "(UTC-03:00) Brasilia", "(GMT-01:00) Azores",
      "(GMT) Casablanca", "(UTC) Coordinated Universal Time",
      "(GMT+00:00) Dublin", "(UTC+03:00) baghdad", "(UTC+03:00) Moscow",
  };
  EXPECT_EQ(ListTimeZones(r), expected);
  EXPECT_EQ(ZoneListIndexOf(expected, "(UTC+03:00) Moscow"), 8);
  EXPECT_EQ(ZoneListIndexOf(expected, "(GMT+04:00) Samara"), 0);
  EXPECT_EQ(ZoneListIndexOf({}, "x"), -1);
  MemoryRegistry empty;
  EXPECT_TRUE(ListTimeZones(empty).empty());
}

TEST(ListTimeZones, DefaultComparisonFoldsCyrillicCase) {
  EXPECT_LT(CompareTextNoCase("(GMT+03:00) Волгоград", "(GMT+03:00) москва"), 0);
  EXPECT_EQ(CompareTextNoCase("МОСКВА Ёлки", "москва ёлки"), 0);
  EXPECT_EQ(CompareTextNoCase("АЯ", "ая"), 0);  // both ends of the alphabet
  EXPECT_GT(CompareTextNoCase("abc", "AB"), 0);
}

TEST(DetectLocalZone, MatchesStandardNameAndLaterEntriesWin) {
  MemoryRegistry r;
  AddZone(r, "Arab Standard Time", "(GMT+03:00) Kuwait, Riyadh", "Russian Standard Time");
  AddZone(r, "Russian Standard Time", "(GMT+03:00) Moscow", "Russian Standard Time");
  AddZone(r, "Nepal Standard Time", "(GMT+05:45) Kathmandu", "Nepal Standard Time");
  SetCurrentZone(r, "Russian Standard Time", "Nepal Standard Time");
  LocalZone zone;
  DetectLocalZone(r, {}, zone);
  EXPECT_EQ(zone.LocalZoneName, "(GMT+03:00) Moscow");
  EXPECT_EQ(zone.LocalZoneSign, "+");
  EXPECT_EQ(zone.LocalZoneHours, 3);
  EXPECT_EQ(zone.LocalZoneMinutes, 0);
}

TEST(DetectLocalZone, IndirectStandardNameFallsBackToKeyNameThenPlatform) {
  MemoryRegistry r;
  AddZone(r, "India Standard Time", "(UTC+05:30) Chennai, Kolkata", "India Standard Time");
  AddZone(r, "Newfoundland Standard Time", "(UTC-03:30) Newfoundland", "Newfoundland Standard Time");
  SetCurrentZone(r, "@tzres.dll,-492", "india standard time");
  LocalZone zone;
  DetectLocalZone(r, {"Newfoundland Standard Time"}, zone);
  EXPECT_EQ(zone.LocalZoneName, "(UTC+05:30) Chennai, Kolkata");
  EXPECT_EQ(zone.Offset(), 330);

  r.DeleteValue(LM, kTimeZoneInformationKey, "TimeZoneKeyName");
  DetectLocalZone(r, {"Newfoundland Standard Time"}, zone);
  EXPECT_EQ(zone.LocalZoneName, "(UTC-03:30) Newfoundland");
  EXPECT_EQ(zone.Offset(), -210);
}

TEST(DetectLocalZone, NoMatchKeepsTheNameAndRecomputesItsOffset) {
  MemoryRegistry r;
  LocalZone zone;
  DetectLocalZone(r, {"Anything"}, zone);  // no database at all
  EXPECT_EQ(zone.LocalZoneName, "");
  EXPECT_EQ(zone.LocalZoneSign, "0");
  EXPECT_EQ(zone.Offset(), 0);

  AddZone(r, "X", "(GMT+01:00) Paris", "Romance Standard Time");
  SetCurrentZone(r, "Something Else");
  zone = LocalZone{"(GMT-05:00) Bogota", "+", 9, 45, {}};
  DetectLocalZone(r, {}, zone);
  EXPECT_EQ(zone.LocalZoneName, "(GMT-05:00) Bogota");
  EXPECT_EQ(zone.LocalZoneSign, "-");
  EXPECT_EQ(zone.LocalZoneHours, 5);
  EXPECT_EQ(zone.LocalZoneMinutes, 0);
}

TEST(LocalUtcOffset, TheSystemsCurrentBiasIncludesDaylightSaving) {
  const LocalZone eastern{"(UTC-05:00) Eastern Time", "-", 5, 0, {}};
  EXPECT_EQ(LocalUtcOffset(eastern, 240), -240);  // summer time: UTC = local + 4 h
  EXPECT_EQ(LocalUtcOffset(eastern, std::nullopt), -300);
  // 14:00 summer time in New York is 18:00 in London's standard zone.
  EXPECT_EQ(ZoneClockTime(14, 0, LocalUtcOffset(eastern, 240), 0), (ZoneClock{18, 0, 0}));
}

}  // namespace hx

namespace hx {

TEST(DetectLocalZone, SearchesTheCatalogueAgainOnlyWhenTheCurrentZoneChanges) {
  MemoryRegistry r;
  AddZone(r, "Russian Standard Time", "(GMT+03:00) Moscow", "Russian Standard Time");
  AddZone(r, "Nepal Standard Time", "(GMT+05:45) Kathmandu", "Nepal Standard Time");
  SetCurrentZone(r, "Russian Standard Time");
  LocalZone zone;
  DetectLocalZone(r, {}, zone);
  EXPECT_EQ(zone.LocalZoneName, "(GMT+03:00) Moscow");

  // The catalogue changes but the current zone does not: nothing is searched.
  r.DeleteKey(LM, std::string(kTimeZonesKey) + "\\Russian Standard Time");
  DetectLocalZone(r, {}, zone);
  EXPECT_EQ(zone.LocalZoneName, "(GMT+03:00) Moscow");

  // The user picks another zone: found at the next call.
  SetCurrentZone(r, "Nepal Standard Time");
  DetectLocalZone(r, {}, zone);
  EXPECT_EQ(zone.LocalZoneName, "(GMT+05:45) Kathmandu");
  EXPECT_EQ(zone.Offset(), 345);
}

}  // namespace hx
