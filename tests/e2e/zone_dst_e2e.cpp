// Zone panels that name their catalogue zone show that zone's true local
// time, daylight saving time included; the same panels without a zone key
// keep their fixed offsets.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/e2e/harness.h"
#include "win32/text.h"

namespace hx::e2e {
namespace {

struct ZonePanel {
  const char* caption;
  const char* key;
  const char* sign;
  int hours, minutes;
};
const ZonePanel kPanels[] = {
    {"Нью-Йорк", "Eastern Standard Time", "-", 5, 0},
    {"Лондон", "GMT Standard Time", "0", 0, 0},
    {"Катманду", "Nepal Standard Time", "+", 5, 45},
};

std::string PanelFile(bool withKeys) {
  std::string text = "[Settings]\r\nPanelsCount=5\r\n";
  auto record = [&](int k, const std::string& name, const std::string& sign, int hours, int minutes, int flag,
                    const std::string& key) {
    text += "[ClockPanel_" + std::to_string(k) + "]\r\nName=" + name +
            "\r\nVisible=1\r\nBGColor1=16777215\r\nBGColor2=16777215\r\nColor1=0\r\nColor2=0\r\nTimeValue=" + sign +
            "\r\nTimeValue1=" + std::to_string(hours) + "\r\nTimeValue2=" + std::to_string(minutes) +
            "\r\nSysFlag=" + std::to_string(flag) + "\r\n";
    if (withKeys) text += "ZoneKey=" + key + "\r\n";
  };
  record(0, "Системное", "0", 0, 0, 1, "");
  int k = 1;
  for (const ZonePanel& p : kPanels) record(k++, p.caption, p.sign, p.hours, p.minutes, 0, p.key);
  record(k, "Дата", "0", 0, 0, 2, "");
  return text;
}

long Minutes(const SYSTEMTIME& t) {
  FILETIME f;
  SystemTimeToFileTime(&t, &f);
  return static_cast<long>((static_cast<unsigned long long>(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 600000000ULL);
}

std::string Clock(long minutes) {
  const long m = ((minutes % 1440) + 1440) % 1440;
  char text[16];
  std::snprintf(text, sizeof text, "%02ld : %02ld", m / 60, m % 60);
  return text;
}

// The zone's clock now as the system converts it with the zone's own rules.
std::string SystemZoneClock(const char* key) {
  using ForYearFn = BOOL(WINAPI*)(USHORT, void*, TIME_ZONE_INFORMATION*);
  const auto forYear = reinterpret_cast<ForYearFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTimeZoneInformationForYear")));
  SYSTEMTIME utc, local;
  GetSystemTime(&utc);
  DYNAMIC_TIME_ZONE_INFORMATION dynamic{};
  wcsncpy(dynamic.TimeZoneKeyName, win::Widen(key).c_str(), 127);
  TIME_ZONE_INFORMATION info{};
  if (!forYear || !forYear(utc.wYear, &dynamic, &info) || !SystemTimeToTzSpecificLocalTime(&info, &utc, &local))
    return "no conversion";
  return Clock(Minutes(local));
}

std::string FixedClock(const ZonePanel& p) {
  SYSTEMTIME utc;
  GetSystemTime(&utc);
  const int offset = (p.sign[0] == '+' ? 1 : -1) * (p.hours * 60 + p.minutes);
  return Clock(Minutes(utc) + offset);
}

class ZoneDstTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    folder_ = FreshProgramFolder(GetParam() ? "zone-dst-keys" : "zone-dst-fixed");
    WriteCp1251(folder_ / "Settings" / "HXSettings.ini", "[Main]\r\nCutVersion=1\r\n[Settings]\r\nAutoLaunch=0\r\n");
    WriteCp1251(folder_ / "Settings" / "HXClocks.ini", PanelFile(GetParam()));
  }

  // The value line beside the caption `caption`.
  static HWND ValueOf(HWND clocks, const char* caption) {
    HWND label = ChildByText(clocks, caption);
    if (!label) return nullptr;
    for (HWND child : Children(GetParent(label)))
      if (child != label) return child;
    return nullptr;
  }

  fs::path folder_;
  Process process_;
};

TEST_P(ZoneDstTest, PanelsShowTheirZonesClock) {
  process_ = Process(folder_ / "Horavex.KT.exe");
  HWND clocks = WaitForWindow(L"TFormClocks", process_.id());
  ASSERT_NE(clocks, nullptr);
  for (const ZonePanel& p : kPanels) {
    std::string shown, expected;
    // Computed again on every look, so a minute change in between is fine.
    EXPECT_TRUE(WaitUntil([&] {
      HWND value = ValueOf(clocks, p.caption);
      expected = GetParam() ? SystemZoneClock(p.key) : FixedClock(p);
      shown = value ? WindowText(value) : "";
      return shown == expected;
    })) << p.caption << ": shown " << shown << ", expected " << expected;
  }
  Screenshot(GetParam() ? "zone-dst-keys" : "zone-dst-fixed", clocks);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutZoneKeys, ZoneDstTest, ::testing::Bool());

}  // namespace
}  // namespace hx::e2e
