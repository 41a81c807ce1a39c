#include "win32/zone_rules.h"

#include <windows.h>

#include "win32/system_dll.h"

namespace hx::win {
namespace {

using GetTimeZoneInformationForYearFn = BOOL(WINAPI*)(USHORT, void*, TIME_ZONE_INFORMATION*);

GetTimeZoneInformationForYearFn ForYearFunction() {
  static const auto function =
      SystemFunction<GetTimeZoneInformationForYearFn>(L"kernel32.dll", "GetTimeZoneInformationForYear");
  return function;
}

ZoneTransition TransitionOf(const SYSTEMTIME& t) {
  ZoneTransition z;
  z.year = t.wYear;
  z.month = t.wMonth;
  z.dayOfWeek = t.wDayOfWeek;
  // Recurring moments keep the week in wDay, one-off ones the day.
  if (t.wYear == 0) {
    z.week = t.wDay;
  } else {
    z.day = t.wDay;
  }
  z.hour = t.wHour;
  z.minute = t.wMinute;
  z.second = t.wSecond;
  z.millisecond = t.wMilliseconds;
  return z;
}

}  // namespace

std::optional<ZoneRule> SystemZoneRules::RuleForYear(int year) const {
  TIME_ZONE_INFORMATION info{};
  bool known = false;
  if (const auto forYear = ForYearFunction(); forYear && year > 0 && year <= 0xFFFF)
    known = forYear(static_cast<USHORT>(year), nullptr, &info) != FALSE;
  if (!known) known = GetTimeZoneInformation(&info) != TIME_ZONE_ID_INVALID;
  if (!known) return std::nullopt;
  ZoneRule rule;
  rule.bias = static_cast<int>(info.Bias);
  rule.standardBias = static_cast<int>(info.StandardBias);
  rule.daylightBias = static_cast<int>(info.DaylightBias);
  rule.standardStart = TransitionOf(info.StandardDate);
  rule.daylightStart = TransitionOf(info.DaylightDate);
  return rule;
}

}  // namespace hx::win
