#include "core/os_version.h"

#include <gtest/gtest.h>

namespace hx {
namespace {

const OsVersion kWin95{4, 0, 950}, kNt4{4, 0, 1381}, kWin98{4, 10, 1998}, kMe{4, 90, 3000}, kWin2000{5, 0, 2195},
    kXp{5, 1, 2600}, kVista{6, 0, 6002}, kWin10{10, 0, 19045};

}  // namespace

TEST(OsVersionCheck, EachMinimumRefusesExactlyTheOlderSystems) {
  struct Case {
    const char* minimum;
    OsVersion version;
    bool notSupported;
  };
  const Case cases[] = {
      {"2k", kWin95, true},   {"2k", kNt4, true},     {"2k", kWin98, true},   {"2k", kMe, true},
      {"2k", kWin2000, false}, {"2k", kXp, false},     {"2k", kWin10, false},
      {"XP", kMe, true},      {"XP", kWin2000, true}, {"XP", kXp, false},     {"XP", kVista, false},
      {"98", kWin95, true},   {"98", kNt4, true},     {"98", kWin98, false},  {"98", kMe, false},
      // Any other name, and names that differ only in case, let every version pass.
      {"", kWin95, false},    {"xp", kWin2000, false}, {"2K", kNt4, false},   {"Vista", kXp, false},
  };
  for (const Case& c : cases) {
    const OsVersionCheck check = CheckOsVersion(c.version, c.minimum);
    EXPECT_EQ(check.notSupported, c.notSupported) << c.minimum << " " << FormatWinVersion(c.version);
  }
}

TEST(OsVersionCheck, TextIsMajorMinorBuild) {
  EXPECT_EQ(CheckOsVersion(kXp, "2k").winVersionText, "5.1.2600");
  EXPECT_EQ(CheckOsVersion(OsVersion{10, 0, 22631}, "2k").winVersionText, "10.0.22631");
}

TEST(OsVersionCheck, UnansweredQueryCountsAsSupported) {
  for (const char* minimum : {"98", "2k", "XP", "other"}) {
    const OsVersionCheck check = CheckOsVersion(std::nullopt, minimum);
    EXPECT_FALSE(check.notSupported) << minimum;
    EXPECT_EQ(check.winVersionText, "");
  }
}

}  // namespace hx
