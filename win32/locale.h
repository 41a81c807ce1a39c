// What the user's locale and time-zone settings say, for the portable
// formatters and zone code.
#pragma once
#include <optional>

#include "core/time_format.h"
#include "core/zones.h"

namespace hx::win {

// Month and weekday names and date and time patterns of the user's locale.
LocaleNames UserLocaleNames();

// The platform's current zone name, for finding the local zone when the
// registry does not tell it.
PlatformZoneInfo PlatformZone();

// Minutes to add to local time to get universal time right now, daylight
// saving included; nothing when the system does not say.
std::optional<int> CurrentUtcBias();

}  // namespace hx::win
