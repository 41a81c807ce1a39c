// The Windows version check that gates start-up and feeds the error log.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace hx {

struct OsVersion {
  unsigned major = 0;
  unsigned minor = 0;
  unsigned build = 0;
};

// The oldest Windows a minimum name admits: "98" is 4.10, "2k" is 5.0,
// "XP" is 5.1; any other name is 0.0, which every version passes.
struct OsMinimum {
  unsigned major = 0;
  unsigned minor = 0;
};
OsMinimum MinimumVersion(std::string_view minimum);

// True when the system is older than the minimum named by `minimum`.
bool IsOlderThanMinimum(const OsVersion& version, std::string_view minimum);

// "major.minor.build", such as "5.1.2600".
std::string FormatWinVersion(const OsVersion& version);

struct OsVersionCheck {
  bool notSupported = false;
  std::string winVersionText;  // empty when the system did not tell its version
};

// The start-up decision. A system that does not tell its version (the query
// failed) is given the benefit of the doubt: it counts as supported, so a
// broken query never locks a user out of a working program.
OsVersionCheck CheckOsVersion(const std::optional<OsVersion>& version, std::string_view minimum);

}  // namespace hx
