// Date and time texts of the clock: the eight date formats of the FormatDate
// setting, the long date of the hints, the system clock's time line and the
// decisions of the 50 ms tick.
#pragma once
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "base/datetime.h"

namespace hx {

// Location codes the handlers pass to their guard.
inline constexpr char kCodeDateFormat[] = "1.001 - 004.0";
inline constexpr char kCodeProcessingPanelsTime[] = "1.001 - 006.0";
inline constexpr char kCodeTimer1Timer[] = "1.001 - 012.0";

// The user locale's names and patterns; the Win32 layer fills them from
// GetLocaleInfo. Days start with Sunday.
struct LocaleNames {
  std::array<std::string, 12> longMonthNames;
  std::array<std::string, 12> shortMonthNames;
  std::array<std::string, 7> longDayNames;
  std::array<std::string, 7> shortDayNames;
  std::string shortDateFormat;  // such as "dd.MM.yyyy"
  std::string longTimeFormat;   // such as "H:mm:ss"
};
// English names with "MM/dd/yyyy" and "HH:mm:ss", for when the locale gives
// nothing.
LocaleNames InvariantLocaleNames();

inline constexpr int kDateFormatCount = 8;
// The pattern of FormatDate `index`, such as "dd.MM.yy"; empty outside 0..7.
std::string_view DateFormatPattern(int index);

// `date` in format `index`. Outside 0..7: the locale's short date, followed
// by a blank and the long time when the value has a time of day.
std::string DateFormat(int index, const DateTime& date, const LocaleNames& locale);
// The hint of the time and date panels: "dddd dd mmmm yyyy".
std::string LongDateText(const DateTime& date, const LocaleNames& locale);

// Formats with the program's pattern letters: d dd ddd dddd, m mm mmm mmmm
// (M alike; m right after an hour means minutes), yy yyyy, h hh, n nn,
// s ss, "AM/PM", "am/pm", "a/p" and "tt" (each makes hours 12-hour: 01..12,
// midnight and noon 12); text in quotes and every other character are
// copied.
std::string FormatDateTime(std::string_view pattern, const DateTime& value, const LocaleNames& locale);

// The calendar date of `value`, its time of day set to midnight.
DateTime DateOnly(const DateTime& value);
// `date` moved by whole days; the time of day stays, the weekday follows.
DateTime AddDays(const DateTime& date, int days);
// Days since 1970-01-01 of a proleptic Gregorian date, and back.
long DaysFromCivil(int year, int month, int day);
void CivilFromDays(long days, int& year, int& month, int& day);
// Weekday of a calendar date, 0 Sunday .. 6 Saturday.
int DayOfWeek(int year, int month, int day);

// Time texts written into caller-owned buffers, so the tick allocates
// nothing. Each returns the number of characters written and ends the text
// with a zero; a buffer of kTimeTextCapacity always suffices.
inline constexpr size_t kTimeTextCapacity = 16;
// The system clock's line: "14 : 05 : 33", or with pmAm "PM 02 : 05"
// (12-hour, midnight and noon as 12, no seconds).
size_t FormatClockText(const DateTime& now, bool pmAm, char (&out)[kTimeTextCapacity]);
// "hh : nn" in 24-hour form, the text that tells minutes apart.
size_t FormatMinuteText(const DateTime& now, char (&out)[kTimeTextCapacity]);
// A zone panel's line: "09 : 05", or with pmAm "AM 09 : 05" / "PM 03 : 07";
// 12-hour here means hours 0..11, so noon reads "PM 00".
size_t FormatZoneText(int hour, int minute, bool pmAm, char (&out)[kTimeTextCapacity]);

// The clock work of one 50 ms tick: the system clock's text and whether the
// once-a-minute work is due. Holds its texts in fixed buffers; no step
// allocates.
//
//   auto step = tick.Advance(LocalNow(), settings.PmAmFormat);
//   if (step.clockTextChanged) SetWindowTextW(panel6, tick.ClockTextW());
//   if (step.minuteWorkDue) { ...minute work...; tick.MinuteWorkDone(LocalNow()); }
//
// A failure in the minute work skips MinuteWorkDone, so the next tick tries
// it again.
// Milliseconds from `now` to the next moment the shown time can change: the
// next second, or the next minute where the time line shows no seconds
// (AM/PM). The minute work falls on such a moment too.
int MillisecondsToNextShownChange(const DateTime& now, bool pmAm);

class ClockTick {
 public:
  struct Step {
    bool clockTextChanged = false;
    bool minuteWorkDue = false;
  };

  ClockTick();

  Step Advance(const DateTime& now, bool pmAm);
  // Remembers the minute whose work is done, from a fresh clock reading.
  void MinuteWorkDone(const DateTime& now);

  std::string_view ClockText() const { return {clock_, clockSize_}; }
  // The same text as UTF-16, for SetWindowTextW without conversion.
  const wchar_t* ClockTextW() const { return clockWide_; }
  std::string_view LastMinuteText() const { return {lastMinute_, lastMinuteSize_}; }

  // Set by whoever changes the time format or rebuilds the panels: the next
  // tick does the minute work whatever the minute.
  bool TimeFormatChanged = false;

 private:
  char clock_[kTimeTextCapacity];
  wchar_t clockWide_[kTimeTextCapacity];
  size_t clockSize_ = 0;
  char lastMinute_[kTimeTextCapacity];
  size_t lastMinuteSize_ = 0;
};

}  // namespace hx
