#include "core/time_format.h"

#include <gtest/gtest.h>

namespace hx {
namespace {

LocaleNames Russian() {
  LocaleNames l = InvariantLocaleNames();
  l.longMonthNames = {"Январь", "Февраль", "Март", "Апрель", "Май", "Июнь",
                      "Июль", "Август", "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
  l.longDayNames = {"Воскресенье", "Понедельник", "Вторник", "Среда", "Четверг", "Пятница", "Суббота"};
  l.shortDateFormat = "dd.MM.yyyy";
  l.longTimeFormat = "H:mm:ss";
  return l;
}

DateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return DateTime{y, mo, d, h, mi, s, 0, DayOfWeek(y, mo, d)};
}

std::string Clock(const DateTime& t, bool pmAm) {
  char buf[kTimeTextCapacity];
  return std::string(buf, FormatClockText(t, pmAm, buf));
}

std::string Zone(int h, int m, bool pmAm) {
  char buf[kTimeTextCapacity];
  return std::string(buf, FormatZoneText(h, m, pmAm, buf));
}

}  // namespace

TEST(DateFormat, TheEightFormatsAndTheLocaleFallback) {
  const DateTime date = At(2026, 3, 6);
  const char* expected[] = {"06.03.26", "06-03-26", "06.03.2026", "06-03-2026",
                            "6.3.26",   "6-3-26",   "2026.03.06", "2026-03-06"};
  for (int i = 0; i < kDateFormatCount; ++i) EXPECT_EQ(DateFormat(i, date, Russian()), expected[i]) << i;
  EXPECT_EQ(DateFormat(8, date, Russian()), "06.03.2026");
  EXPECT_EQ(DateFormat(-1, At(2026, 3, 6, 9, 5, 7), Russian()), "06.03.2026 9:05:07");
  EXPECT_EQ(DateFormat(2, At(2026, 3, 6, 9, 5, 7), Russian()), "06.03.2026");
  EXPECT_EQ(DateFormat(99, At(2009, 11, 30), InvariantLocaleNames()), "11/30/2009");
}

TEST(DateFormat, LongDateUsesTheLocalesNames) {
  EXPECT_EQ(LongDateText(At(2026, 3, 6), Russian()), "Пятница 06 Март 2026");
  EXPECT_EQ(LongDateText(At(2000, 1, 1), InvariantLocaleNames()), "Saturday 01 January 2000");
}

TEST(FormatDateTime, PatternLetters) {
  const auto l = InvariantLocaleNames();
  EXPECT_EQ(FormatDateTime("hh : nn", At(2026, 3, 6, 14, 5), l), "14 : 05");
  EXPECT_EQ(FormatDateTime("AM/PM hh : nn", At(2026, 3, 6, 0, 30), l), "AM 12 : 30");
  EXPECT_EQ(FormatDateTime("AM/PM hh : nn", At(2026, 3, 6, 12, 30), l), "PM 12 : 30");
  EXPECT_EQ(FormatDateTime("h:mm:ss tt", At(2026, 3, 6, 13, 7, 9), l), "1:07:09 PM");
  EXPECT_EQ(FormatDateTime("HH:mm", At(2026, 3, 6, 13, 7), l), "13:07");
  EXPECT_EQ(FormatDateTime("ddd d MMM yy", At(2026, 3, 6), l), "Fri 6 Mar 26");
  EXPECT_EQ(FormatDateTime("'dd' \"mm\" dd/mm", At(2026, 3, 6), l), "dd mm 06/03");
}

TEST(TimeTexts, SystemClockLine) {
  EXPECT_EQ(Clock(At(2026, 3, 6, 9, 5, 7), false), "09 : 05 : 07");
  EXPECT_EQ(Clock(At(2026, 3, 6, 12, 30, 59), true), "PM 12 : 30");
  EXPECT_EQ(Clock(At(2026, 3, 6, 0, 30), true), "AM 12 : 30");
  EXPECT_EQ(Clock(At(2026, 3, 6, 23, 5), true), "PM 11 : 05");
  EXPECT_EQ(Clock(At(2026, 3, 6, 11, 59, 59), true), "AM 11 : 59");
  EXPECT_EQ(Clock(At(2026, 3, 6, 12, 0), true), "PM 12 : 00");
}

TEST(TimeTexts, ZonePanelLineCountsTwelveHoursFromZero) {
  EXPECT_EQ(Zone(9, 5, false), "09 : 05");
  EXPECT_EQ(Zone(23, 59, false), "23 : 59");
  EXPECT_EQ(Zone(0, 30, true), "AM 00 : 30");
  EXPECT_EQ(Zone(12, 30, true), "PM 00 : 30");
  EXPECT_EQ(Zone(23, 5, true), "PM 11 : 05");
  EXPECT_EQ(Zone(11, 59, true), "AM 11 : 59");
  EXPECT_EQ(Zone(12, 0, true), "PM 00 : 00");
}

TEST(AddDays, CrossesMonthsYearsAndLeapDays) {
  const DateTime t = At(2026, 3, 1, 8, 15);
  const DateTime back = AddDays(t, -1);
  EXPECT_EQ(back.year * 10000 + back.month * 100 + back.day, 20260228);
  EXPECT_EQ(back.hour, 8);
  EXPECT_EQ(back.dayOfWeek, 6);  // Saturday
  const DateTime leap = AddDays(At(2024, 2, 28), 1);
  EXPECT_EQ(leap.month * 100 + leap.day, 229);
  const DateTime newYear = AddDays(At(2025, 12, 31), 2);
  EXPECT_EQ(newYear.year * 10000 + newYear.month * 100 + newYear.day, 20260102);
  EXPECT_EQ(newYear.dayOfWeek, 5);  // Friday
  EXPECT_EQ(AddDays(At(1970, 1, 1), -7).dayOfWeek, 4);  // Thursday 25.12.1969
}

TEST(ClockTick, WakesAtTheNextSecondOrWithoutSecondsAtTheNextMinute) {
  auto at = [](int second, int millisecond) {
    DateTime t;
    t.second = second;
    t.millisecond = millisecond;
    return t;
  };
  EXPECT_EQ(MillisecondsToNextShownChange(at(10, 0), false), 1000);
  EXPECT_EQ(MillisecondsToNextShownChange(at(10, 999), false), 1);
  EXPECT_EQ(MillisecondsToNextShownChange(at(0, 0), true), 60000);
  EXPECT_EQ(MillisecondsToNextShownChange(at(59, 999), true), 1);
  EXPECT_EQ(MillisecondsToNextShownChange(at(30, 250), true), 29750);
  EXPECT_EQ(MillisecondsToNextShownChange(at(60, 500), true), 1);  // a leap second
}

TEST(ClockTick, DecidesTextChangesAndMinuteWork) {
  ClockTick tick;
  auto step = tick.Advance(At(2026, 3, 6, 23, 59, 58), false);
  EXPECT_TRUE(step.clockTextChanged);
  EXPECT_TRUE(step.minuteWorkDue);  // the first tick
  EXPECT_EQ(tick.ClockText(), "23 : 59 : 58");
  EXPECT_EQ(std::wstring(tick.ClockTextW()), L"23 : 59 : 58");
  tick.MinuteWorkDone(At(2026, 3, 6, 23, 59, 58));
  EXPECT_EQ(tick.LastMinuteText(), "23 : 59");

  step = tick.Advance(At(2026, 3, 6, 23, 59, 58), false);
  EXPECT_FALSE(step.clockTextChanged);
  EXPECT_FALSE(step.minuteWorkDue);
  step = tick.Advance(At(2026, 3, 6, 23, 59, 59), false);
  EXPECT_TRUE(step.clockTextChanged);
  EXPECT_FALSE(step.minuteWorkDue);

  // Midnight: minute work on the first tick of 00:00; as long as it fails
  // (MinuteWorkDone not called) every tick tries again.
  EXPECT_TRUE(tick.Advance(At(2026, 3, 7, 0, 0, 0), false).minuteWorkDue);
  EXPECT_TRUE(tick.Advance(At(2026, 3, 7, 0, 0, 0), false).minuteWorkDue);
  tick.MinuteWorkDone(At(2026, 3, 7, 0, 0, 0));
  EXPECT_FALSE(tick.Advance(At(2026, 3, 7, 0, 0, 1), false).minuteWorkDue);

  // A changed time format forces the work once, within the minute.
  tick.TimeFormatChanged = true;
  step = tick.Advance(At(2026, 3, 7, 0, 0, 1), true);
  EXPECT_TRUE(step.clockTextChanged);
  EXPECT_TRUE(step.minuteWorkDue);
  EXPECT_FALSE(tick.TimeFormatChanged);
  EXPECT_EQ(tick.ClockText(), "AM 12 : 00");
  tick.MinuteWorkDone(At(2026, 3, 7, 0, 0, 1));
  EXPECT_FALSE(tick.Advance(At(2026, 3, 7, 0, 0, 2), true).minuteWorkDue);
}

}  // namespace hx
