#include "core/os_version.h"

namespace hx {

bool IsOlderThanMinimum(const OsVersion& version, std::string_view minimum) {
  unsigned major = 0, minor = 0;
  if (minimum == "98") major = 4, minor = 10;
  else if (minimum == "2k") major = 5, minor = 0;
  else if (minimum == "XP") major = 5, minor = 1;
  return version.major < major || (version.major == major && version.minor < minor);
}

std::string FormatWinVersion(const OsVersion& version) {
  return std::to_string(version.major) + "." + std::to_string(version.minor) + "." + std::to_string(version.build);
}

}  // namespace hx
