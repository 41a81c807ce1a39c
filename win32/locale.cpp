#include "win32/locale.h"

#include <windows.h>

#include "win32/text.h"

namespace hx::win {
namespace {

std::string LocaleText(LCTYPE type) {
  wchar_t buffer[128];
  const int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 128);
  return n > 1 ? Narrow(std::wstring_view(buffer, n - 1)) : std::string();
}

// Fills `target` from the locale, keeping the invariant entry where the
// locale has none.
void Fill(std::string& target, LCTYPE type) {
  std::string text = LocaleText(type);
  if (!text.empty()) target = std::move(text);
}

}  // namespace

LocaleNames UserLocaleNames() {
  LocaleNames names = InvariantLocaleNames();
  for (int i = 0; i < 12; ++i) {
    Fill(names.longMonthNames[i], LOCALE_SMONTHNAME1 + i);
    Fill(names.shortMonthNames[i], LOCALE_SABBREVMONTHNAME1 + i);
  }
  // The locale counts days from Monday (DAYNAME1); the formatter from Sunday.
  for (int i = 0; i < 7; ++i) {
    const int fromMonday = (i + 6) % 7;
    Fill(names.longDayNames[i], LOCALE_SDAYNAME1 + fromMonday);
    Fill(names.shortDayNames[i], LOCALE_SABBREVDAYNAME1 + fromMonday);
  }
  Fill(names.shortDateFormat, LOCALE_SSHORTDATE);
  Fill(names.longTimeFormat, LOCALE_STIMEFORMAT);
  return names;
}

PlatformZoneInfo PlatformZone() {
  TIME_ZONE_INFORMATION info{};
  GetTimeZoneInformation(&info);
  return {Narrow(info.StandardName)};
}

std::optional<int> CurrentUtcBias() {
  TIME_ZONE_INFORMATION info{};
  switch (GetTimeZoneInformation(&info)) {
    case TIME_ZONE_ID_DAYLIGHT: return static_cast<int>(info.Bias + info.DaylightBias);
    case TIME_ZONE_ID_STANDARD: return static_cast<int>(info.Bias + info.StandardBias);
    case TIME_ZONE_ID_UNKNOWN: return static_cast<int>(info.Bias);
    default: return std::nullopt;
  }
}

}  // namespace hx::win
