// The system's rule for its current zone: biases and the moments the clock
// changes for daylight saving time.
#pragma once
#include "core/zone_rules.h"

namespace hx::win {

// Asks GetTimeZoneInformationForYear where the system has it (Vista and
// later keep rules that changed over the years), else the current rule of
// GetTimeZoneInformation.
class SystemZoneRules : public LocalZoneRules {
 public:
  std::optional<ZoneRule> RuleForYear(int year) const override;
};

}  // namespace hx::win
