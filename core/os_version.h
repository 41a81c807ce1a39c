// The Windows version check that gates start-up and feeds the error log.
#pragma once
#include <string>
#include <string_view>

namespace hx {

struct OsVersion {
  unsigned major = 0;
  unsigned minor = 0;
  unsigned build = 0;
};

// True when the system is older than the minimum named by "98", "2k" or
// "XP"; any other name lets every version pass.
bool IsOlderThanMinimum(const OsVersion& version, std::string_view minimum);

// "major.minor.build", such as "5.1.2600".
std::string FormatWinVersion(const OsVersion& version);

}  // namespace hx
