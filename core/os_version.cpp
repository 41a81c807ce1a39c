#include "core/os_version.h"

namespace hx {

OsMinimum MinimumVersion(std::string_view minimum) {
  if (minimum == "98") return {4, 10};
  if (minimum == "2k") return {5, 0};
  if (minimum == "XP") return {5, 1};
  return {0, 0};
}

bool IsOlderThanMinimum(const OsVersion& version, std::string_view minimum) {
  const OsMinimum least = MinimumVersion(minimum);
  return version.major < least.major || (version.major == least.major && version.minor < least.minor);
}

std::string FormatWinVersion(const OsVersion& version) {
  return std::to_string(version.major) + "." + std::to_string(version.minor) + "." + std::to_string(version.build);
}

OsVersionCheck CheckOsVersion(const std::optional<OsVersion>& version, std::string_view minimum) {
  if (!version) return {};
  return {IsOlderThanMinimum(*version, minimum), FormatWinVersion(*version)};
}

}  // namespace hx
