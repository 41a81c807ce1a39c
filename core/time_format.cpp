#include "core/time_format.h"

#include <cstring>

namespace hx {
namespace {

constexpr std::string_view kDatePatterns[kDateFormatCount] = {
    "dd.MM.yy", "dd-MM-yy", "dd.MM.yyyy", "dd-MM-yyyy", "d.M.yy", "d-M-yy", "yyyy.MM.dd", "yyyy-MM-dd",
};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsNoCase(std::string_view text, size_t at, std::string_view prefix) {
  if (text.size() - at < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (Lower(text[at + i]) != prefix[i]) return false;
  return true;
}

void AppendNumber(std::string& out, int value, int minDigits) {
  char digits[12];
  int n = 0;
  unsigned v = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  do {
    digits[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  if (value < 0) out += '-';
  for (int k = n; k < minDigits; ++k) out += '0';
  while (n > 0) out += digits[--n];
}

const std::string& Pick(const std::array<std::string, 12>& names, int month) {
  static const std::string empty;
  return month >= 1 && month <= 12 ? names[month - 1] : empty;
}

const std::string& Pick(const std::array<std::string, 7>& names, int dayOfWeek) {
  static const std::string empty;
  return dayOfWeek >= 0 && dayOfWeek <= 6 ? names[dayOfWeek] : empty;
}

// Walks the pattern once; with `out` null it only finds whether an AM/PM
// marker makes the hours 12-hour.
bool WalkPattern(std::string_view p, const DateTime& v, const LocaleNames& locale, bool twelveHour,
                 std::string* out) {
  bool hasMarker = false;
  bool afterHour = false;  // the last format letter was an hour
  const bool pm = v.hour >= 12;
  const int hour = twelveHour ? (v.hour % 12 == 0 ? 12 : v.hour % 12) : v.hour;
  size_t i = 0;
  const auto put = [&](std::string_view s) { if (out) *out += s; };
  const auto number = [&](int value, int digits) { if (out) AppendNumber(*out, value, digits); };
  while (i < p.size()) {
    const char c = p[i];
    const char lc = Lower(c);
    if (c == '"' || c == '\'') {
      const size_t close = p.find(c, i + 1);
      const size_t end = close == std::string_view::npos ? p.size() : close;
      put(p.substr(i + 1, end - i - 1));
      i = end == p.size() ? end : end + 1;
      continue;
    }
    if (lc == 'a') {
      if (StartsNoCase(p, i, "am/pm")) {
        put(p.substr(pm ? i + 3 : i, 2));
        i += 5;
      } else if (StartsNoCase(p, i, "a/p")) {
        put(p.substr(pm ? i + 2 : i, 1));
        i += 3;
      } else if (StartsNoCase(p, i, "ampm")) {
        put(pm ? "PM" : "AM");
        i += 4;
      } else {
        put(p.substr(i, 1));
        ++i;
        continue;
      }
      hasMarker = true;
      afterHour = false;
      continue;
    }
    size_t run = 1;
    while (i + run < p.size() && Lower(p[i + run]) == lc) ++run;
    switch (lc) {
      case 'd':
        if (run == 1) number(v.day, 1);
        else if (run == 2) number(v.day, 2);
        else if (run == 3) put(Pick(locale.shortDayNames, v.dayOfWeek));
        else put(Pick(locale.longDayNames, v.dayOfWeek));
        afterHour = false;
        break;
      case 'm':
        if (afterHour && run <= 2) number(v.minute, static_cast<int>(run));
        else if (run <= 2) number(v.month, static_cast<int>(run));
        else if (run == 3) put(Pick(locale.shortMonthNames, v.month));
        else put(Pick(locale.longMonthNames, v.month));
        afterHour = false;
        break;
      case 'y':
        number(run <= 2 ? v.year % 100 : v.year, run <= 2 ? 2 : 4);
        afterHour = false;
        break;
      case 'h':
        number(hour, run == 1 ? 1 : 2);
        afterHour = true;
        break;
      case 'n':
        number(v.minute, run == 1 ? 1 : 2);
        afterHour = false;
        break;
      case 's':
        number(v.second, run == 1 ? 1 : 2);
        afterHour = false;
        break;
      case 'z':
        number(v.millisecond, run < 3 ? 1 : 3);
        afterHour = false;
        break;
      case 't':  // the locale patterns' AM/PM designator
        put(run == 1 ? (pm ? "P" : "A") : (pm ? "PM" : "AM"));
        hasMarker = true;
        afterHour = false;
        break;
      default:
        put(p.substr(i, run));
        break;
    }
    i += run;
  }
  return hasMarker;
}

char* PutTwoDigits(char* p, int value) {
  *p++ = static_cast<char>('0' + value / 10 % 10);
  *p++ = static_cast<char>('0' + value % 10);
  return p;
}

char* PutText(char* p, const char* text) {
  while (*text) *p++ = *text++;
  return p;
}

size_t Finish(char (&out)[kTimeTextCapacity], char* end) {
  *end = '\0';
  return static_cast<size_t>(end - out);
}

}  // namespace

LocaleNames InvariantLocaleNames() {
  return LocaleNames{
      {"January", "February", "March", "April", "May", "June", "July", "August", "September", "October",
       "November", "December"},
      {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
      {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"},
      {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
      "MM/dd/yyyy",
      "HH:mm:ss",
  };
}

std::string_view DateFormatPattern(int index) {
  return index >= 0 && index < kDateFormatCount ? kDatePatterns[index] : std::string_view();
}

std::string FormatDateTime(std::string_view pattern, const DateTime& value, const LocaleNames& locale) {
  const bool twelveHour = WalkPattern(pattern, value, locale, false, nullptr);
  std::string out;
  WalkPattern(pattern, value, locale, twelveHour, &out);
  return out;
}

std::string DateFormat(int index, const DateTime& date, const LocaleNames& locale) {
  const std::string_view pattern = DateFormatPattern(index);
  if (!pattern.empty()) return FormatDateTime(pattern, date, locale);
  const std::string_view shortDate =
      locale.shortDateFormat.empty() ? std::string_view("MM/dd/yyyy") : std::string_view(locale.shortDateFormat);
  std::string text = FormatDateTime(shortDate, date, locale);
  if (date.hour != 0 || date.minute != 0 || date.second != 0 || date.millisecond != 0) {
    text += ' ';
    text += FormatDateTime(locale.longTimeFormat.empty() ? "HH:mm:ss" : locale.longTimeFormat, date, locale);
  }
  return text;
}

std::string LongDateText(const DateTime& date, const LocaleNames& locale) {
  return FormatDateTime("dddd dd mmmm yyyy", date, locale);
}

long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

int DayOfWeek(int year, int month, int day) {
  // 1970-01-01 was a Thursday.
  long weekday = (DaysFromCivil(year, month, day) + 4) % 7;
  if (weekday < 0) weekday += 7;
  return static_cast<int>(weekday);
}

DateTime DateOnly(const DateTime& value) {
  DateTime date = value;
  date.hour = date.minute = date.second = date.millisecond = 0;
  return date;
}

DateTime AddDays(const DateTime& date, int days) {
  DateTime moved = date;
  CivilFromDays(DaysFromCivil(date.year, date.month, date.day) + days, moved.year, moved.month, moved.day);
  moved.dayOfWeek = DayOfWeek(moved.year, moved.month, moved.day);
  return moved;
}

size_t FormatClockText(const DateTime& now, bool pmAm, char (&out)[kTimeTextCapacity]) {
  char* p = out;
  if (pmAm) {
    p = PutText(p, now.hour >= 12 ? "PM " : "AM ");
    p = PutTwoDigits(p, now.hour % 12 == 0 ? 12 : now.hour % 12);
    p = PutText(p, " : ");
    p = PutTwoDigits(p, now.minute);
  } else {
    p = PutTwoDigits(p, now.hour);
    p = PutText(p, " : ");
    p = PutTwoDigits(p, now.minute);
    p = PutText(p, " : ");
    p = PutTwoDigits(p, now.second);
  }
  return Finish(out, p);
}

size_t FormatMinuteText(const DateTime& now, char (&out)[kTimeTextCapacity]) {
  char* p = PutTwoDigits(out, now.hour);
  p = PutText(p, " : ");
  return Finish(out, PutTwoDigits(p, now.minute));
}

size_t FormatZoneText(int hour, int minute, bool pmAm, char (&out)[kTimeTextCapacity]) {
  char* p = out;
  if (pmAm) {
    p = PutText(p, hour <= 11 ? "AM " : "PM ");
    if (hour > 11) hour -= 12;
  }
  p = PutTwoDigits(p, hour);
  p = PutText(p, " : ");
  return Finish(out, PutTwoDigits(p, minute));
}

ClockTick::ClockTick() {
  clock_[0] = '\0';
  clockWide_[0] = L'\0';
  lastMinute_[0] = '\0';
}

ClockTick::Step ClockTick::Advance(const DateTime& now, bool pmAm) {
  Step step;
  char text[kTimeTextCapacity];
  const size_t size = FormatClockText(now, pmAm, text);
  if (size != clockSize_ || std::memcmp(text, clock_, size) != 0) {
    std::memcpy(clock_, text, size + 1);
    for (size_t k = 0; k <= size; ++k) clockWide_[k] = static_cast<unsigned char>(text[k]);
    clockSize_ = size;
    step.clockTextChanged = true;
  }
  if (TimeFormatChanged) {
    lastMinuteSize_ = 0;
    lastMinute_[0] = '\0';
    TimeFormatChanged = false;
  }
  const size_t minuteSize = FormatMinuteText(now, text);
  step.minuteWorkDue = minuteSize != lastMinuteSize_ || std::memcmp(text, lastMinute_, minuteSize) != 0;
  return step;
}

int MillisecondsToNextShownChange(const DateTime& now, bool pmAm) {
  const int toNextSecond = 1000 - now.millisecond;
  const int delay = pmAm ? (59 - now.second) * 1000 + toNextSecond : toNextSecond;
  return delay > 0 ? delay : 1;  // a leap second waits for the next reading
}

void ClockTick::MinuteWorkDone(const DateTime& now) { lastMinuteSize_ = FormatMinuteText(now, lastMinute_); }

}  // namespace hx
