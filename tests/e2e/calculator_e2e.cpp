// The time calculator seen from outside: opened from the real menu of the
// panels window, typed into with the real keyboard, and judged against the
// true offset of the local zone: the test run's, or one a test starts the
// program under.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"
#include "win32/text.h"

namespace hx::e2e {
namespace {

// FormatDate 2 (dd.MM.yyyy), 24-hour texts, no update check.
constexpr char kSettings[] =
    "[Main]\r\nCutVersion=1\r\n[Settings]\r\nAutoLaunch=0\r\nPmAmFormat=0\r\nFormatDate=2\r\nStayOnTop=0\r\n"
    "[Auto_Check_New_Version]\r\nAUCheckEnabled=0\r\n[Position]\r\nLeft=300\r\nTop=200\r\n";

bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// Local and universal clock readings as minutes, and back.
long long MinutesOf(const SYSTEMTIME& t) {
  FILETIME f;
  SystemTimeToFileTime(&t, &f);
  return static_cast<long long>((static_cast<unsigned long long>(f.dwHighDateTime) << 32 | f.dwLowDateTime) /
                                600000000ULL);
}

SYSTEMTIME TimeOf(long long minutes) {
  const auto ticks = static_cast<unsigned long long>(minutes) * 600000000ULL;
  FILETIME f{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME t;
  FileTimeToSystemTime(&f, &t);
  return t;
}

SYSTEMTIME Today(int hour, int minute) {
  SYSTEMTIME t;
  GetLocalTime(&t);
  t.wHour = static_cast<WORD>(hour);
  t.wMinute = static_cast<WORD>(minute);
  t.wSecond = t.wMilliseconds = 0;
  return t;
}

// Minutes east of universal time that the machine's zone has when its
// clock shows `local`: the bias, standard or daylight, that the system's
// own conversion of universal to local time confirms.
int TrueOffsetAt(const SYSTEMTIME& local) {
  TIME_ZONE_INFORMATION tz;
  GetTimeZoneInformation(&tz);
  for (LONG bias : {tz.Bias + tz.DaylightBias, tz.Bias + tz.StandardBias}) {
    SYSTEMTIME utc = TimeOf(MinutesOf(local) + bias), back;
    if (SystemTimeToTzSpecificLocalTime(nullptr, &utc, &back) && MinutesOf(back) == MinutesOf(local))
      return static_cast<int>(-bias);
  }
  ADD_FAILURE() << "no bias of the zone gives back the local time";
  return 0;
}

// The result line as the calculator writes it: " 07 : 45 06.12.2026".
std::string ResultText(const SYSTEMTIME& t) {
  char text[40];
  std::snprintf(text, sizeof text, " %02d : %02d %02d.%02d.%04d", t.wHour, t.wMinute, t.wDay, t.wMonth, t.wYear);
  return text;
}

class CalcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = FreshProgramFolder(std::string("calc-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    WriteCp1251(folder_ / "Settings" / "HXSettings.ini", kSettings);
    WriteCp1251(folder_ / "Settings" / "HXClocks.ini", ThreePanelFile());
  }

  // Under the test run's local zone, or under `zone` (an IANA name).
  void StartProgram(const char* zone = nullptr) {
    const fs::path exe = folder_ / "Horavex.KT.exe";
    program_ = zone ? Process::WithUnixEnvironment(exe, L"TZ='" + win::Widen(zone) + L"'") : Process(exe);
    ASSERT_NE(program_.id(), 0u) << "the program did not start";
    clocks_ = WaitForWindow(L"TFormClocks", program_.id());
    ASSERT_NE(clocks_, nullptr) << "the panels window did not appear";
    ASSERT_NE(ChildByText(clocks_, "Катманду"), nullptr);
    ASSERT_TRUE(WaitUntilOnScreen(clocks_));
  }

  // Right click on the panels window; the menu, on the screen.
  std::vector<PopupMenuItem> OpenMenu() {
    const RECT r = WindowRect(clocks_);
    Click({r.left + 20, r.top + 20}, 3);
    HWND menu = nullptr;
    auto items = ReadOpenedMenu(program_.id(), menu);
    EXPECT_NE(menu, nullptr) << "no menu opened";
    return items;
  }

  // Chooses "Калькулятор времени..." and finds the calculator's controls.
  void OpenCalculator() {
    calc_ = OpenFromPanelsMenu(clocks_, program_.id(), "Калькулятор времени...", L"TFormCalcTime");
    ASSERT_NE(calc_, nullptr);

    edits_.clear();
    lists_.clear();
    sourceOptions_.clear();
    targetOptions_.clear();
    for (HWND child : Children(calc_)) {
      const std::string cls = ClassOf(child);
      if (cls == "Edit") edits_.push_back(child);
      if (cls == "ComboBox") lists_.push_back(child);
      if (cls == "SysDateTimePick32") date_ = child;
      if (cls == "Button" && (GetWindowLongPtrW(child, GWL_STYLE) & 0xF) == BS_AUTORADIOBUTTON)
        (sourceOptions_.size() < 3 ? sourceOptions_ : targetOptions_).push_back(child);
    }
    // Hours, minutes, result; panel and zone list of the source, then of
    // the target; local, panel and zone option of each side.
    ASSERT_EQ(edits_.size(), 3u);
    ASSERT_EQ(lists_.size(), 4u);
    ASSERT_EQ(targetOptions_.size(), 3u);
    ASSERT_NE(date_, nullptr);
  }

  HWND Hours() const { return edits_[0]; }
  HWND Minutes() const { return edits_[1]; }
  HWND Result() const { return edits_[2]; }

  // Keys go to the window under the mouse (there is no window manager), so
  // the mouse rests between the calculator's buttons.
  void Key(const std::wstring& keys) {
    MouseIntoCalculator();
    Xdo(L"key " + keys);
  }
  void Type(const std::wstring& text) {
    MouseIntoCalculator();
    Xdo(L"type " + text);
  }
  void MouseIntoCalculator() {
    const RECT r = WindowRect(calc_);
    MouseTo({(r.left + r.right) / 2, r.bottom - 10});
  }

  // Waits for the result line; reports what it shows otherwise.
  void ExpectResult(const std::function<std::string()>& expected) {
    std::string want, shown;
    EXPECT_TRUE(WaitUntil([&] {
      want = expected();
      shown = ControlText(Result());
      return shown == want;
    })) << "shown \"" << shown << "\", expected \"" << want << "\"";
  }

  // Sets the date picker to day.month.year as a keyboard user does: each of
  // its fields, in whatever order the locale puts them, is stepped with the
  // arrow keys until it holds its part. Both sides must be the local zone,
  // so that the result line shows the picker's date.
  void ChooseDate(int day, int month, int year) {
    const auto shownDate = [&](int (&date)[3]) {  // day, month, year at the end of the result
      const std::string text = ControlText(Result());
      return text.size() > 10 && std::sscanf(text.c_str() + text.size() - 10, "%2d.%2d.%4d", &date[0], &date[1],
                                             &date[2]) == 3;
    };
    const int wanted[3] = {day, month, year};
    int shown[3] = {}, before[3] = {};
    const RECT r = WindowRect(date_);
    Click({r.left + 8, (r.top + r.bottom) / 2});  // onto the first field
    for (int field = 0; field < 3; ++field) {
      ASSERT_TRUE(WaitUntil([&] { return shownDate(before); })) << ControlText(Result());
      // One step up tells which part this field holds.
      Key(L"Up");
      int part = -1;
      ASSERT_TRUE(WaitUntil([&] {
        if (!shownDate(shown)) return false;
        for (int k = 0; k < 3; ++k)
          if (shown[k] != before[k]) part = k;
        return part >= 0;
      })) << "field " << field << " of the date picker does not step";
      const int steps = wanted[part] - shown[part];
      if (steps != 0)
        Key(L"--repeat " + std::to_wstring(std::abs(steps)) + L" --delay 20 " + (steps > 0 ? L"Up" : L"Down"));
      ASSERT_TRUE(WaitUntil([&] { return shownDate(shown) && shown[part] == wanted[part]; }))
          << "shown " << ControlText(Result());
      Key(L"Right");
    }
  }

  void CloseAndExpectGone(const std::function<void()>& close) {
    close();
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(calc_); })) << "the calculator stays open";
  }

  void TearDown() override {
    program_.Kill();
  }

  fs::path folder_;
  Process program_;
  HWND clocks_ = nullptr;
  HWND calc_ = nullptr;
  HWND date_ = nullptr;
  std::vector<HWND> edits_, lists_, sourceOptions_, targetOptions_;
};

TEST_F(CalcTest, ConvertsTypedTimesToLocalAndKathmanduTimeAndClosesWithButtonOrEscape) {
  StartProgram();
  OpenCalculator();
  EXPECT_EQ(WindowText(calc_), "Калькулятор времени...");
  EXPECT_EQ(GetWindow(calc_, GW_OWNER), TopWindows(L"TFormHoravex", program_.id()).at(0));
  EXPECT_EQ(GetWindowLongPtrW(calc_, GWL_STYLE) & WS_SYSMENU, 0) << "no title-bar buttons";
  const RECT r = WindowRect(calc_);
  EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

  // Local to local, today, at the hour and minutes the fields start with.
  EXPECT_TRUE(Checked(sourceOptions_[0]) && Checked(targetOptions_[0]));
  for (HWND list : lists_) EXPECT_FALSE(IsWindowEnabled(list));
  ExpectResult([] { return ResultText(Today(0, 0)); });

  // The hour field has the focus with its text selected. Letters are
  // refused, Enter moves on to the minutes.
  Type(L"7a");
  Key(L"Return");
  Type(L"4x5");
  EXPECT_TRUE(WaitUntil([&] { return ControlText(Minutes()) == "45"; })) << ControlText(Minutes());
  EXPECT_EQ(ControlText(Hours()), "7");
  ExpectResult([] { return ResultText(Today(7, 45)); });

  // The target's zone option enables its zone list alone.
  Click(Centre(targetOptions_[2]));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(lists_[3]); }));
  EXPECT_FALSE(IsWindowEnabled(lists_[2]));
  EXPECT_FALSE(IsWindowEnabled(lists_[0]) || IsWindowEnabled(lists_[1]));
  ChooseZone(lists_[3], "(UTC+05:45)");
  ExpectResult([] {
    const SYSTEMTIME local = Today(7, 45);
    return ResultText(TimeOf(MinutesOf(local) - TrueOffsetAt(local) + 5 * 60 + 45));
  });
  Screenshot("time-calculator", calc_);

  // The source's panel option: its list holds the system-time panel and the
  // zone panel, not the date panel; the system-time panel is local time.
  Click(Centre(sourceOptions_[1]));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(lists_[0]); }));
  EXPECT_FALSE(IsWindowEnabled(lists_[1]));
  EXPECT_EQ(SendMessageW(lists_[0], CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(ControlText(lists_[0]), "Системное");
  Click(Centre(targetOptions_[0]));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(lists_[3]); }));
  ExpectResult([] { return ResultText(Today(7, 45)); });

  // An hour out of range.
  Click(Centre(Hours()));
  Key(L"End BackSpace BackSpace");
  Type(L"24");
  ExpectResult([] { return std::string("Неверное значение исходного часа..."); });

  CloseAndExpectGone([&] { Click(Centre(ChildByText(calc_, "Закрыть"))); });

  // The menu works again; Escape closes the calculator too.
  OpenCalculator();
  ExpectResult([] { return ResultText(Today(0, 0)); });
  CloseAndExpectGone([&] { Key(L"Escape"); });
  ASSERT_FALSE(OpenMenu().empty()) << "the menu does not open after the calculator closed";
  Xdo(L"key Escape");
}

// The calculator is modal and the menu opens no other dialog meanwhile, so
// the panel list changes under it only when the panels window is built
// anew, after the taskbar came back, and reads its file again.
TEST_F(CalcTest, PanelChoicesFollowTheirPanelsWhenThePanelListChangesUnderTheCalculator) {
  WriteCp1251(folder_ / "Settings" / "HXClocks.ini",
              "[Settings]\r\nPanelsCount=4\r\n" + PanelRecord(0, "Системное", "0", 0, 0, 1) +
                  PanelRecord(1, "Дата", "0", 0, 0, 2) + PanelRecord(2, "Катманду", "+", 5, 45, 0) +
                  PanelRecord(3, "Нью-Йорк", "-", 5, 0, 0));
  StartProgram();
  OpenCalculator();
  Type(L"10");
  Click(Centre(sourceOptions_[1]));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(lists_[0]); }));
  ChooseZone(lists_[0], "Катманду");
  Click(Centre(targetOptions_[1]));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(lists_[2]); }));
  ChooseZone(lists_[2], "Нью-Йорк");
  // 10:00 at +05:45 is 04:15 universal time, 23:15 of the day before at -05:00.
  ExpectResult([] { return ResultText(TimeOf(MinutesOf(Today(10, 0)) - 345 - 300)); });

  // The file now holds another panel in front, Kathmandu further down and
  // no New York; the taskbar comes back.
  WriteCp1251(folder_ / "Settings" / "HXClocks.ini",
              "[Settings]\r\nPanelsCount=4\r\n" + PanelRecord(0, "Дата", "0", 0, 0, 2) +
                  PanelRecord(1, "Лондон", "0", 0, 0, 0) + PanelRecord(2, "Системное", "0", 0, 0, 1) +
                  PanelRecord(3, "Катманду", "+", 5, 45, 0));
  const HWND main = TopWindows(L"TFormHoravex", program_.id()).at(0);
  PostMessageW(main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(WaitUntil([&] {
    return SendMessageW(lists_[2], CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Лондон")) >= 0;
  })) << "the calculator's panel lists did not follow the panel list";
  EXPECT_EQ(SendMessageW(lists_[0], CB_GETCOUNT, 0, 0), 3);
  // The source still converts from Kathmandu; the target, whose panel is
  // gone, shows the local clock.
  EXPECT_EQ(ControlText(lists_[0]), "Катманду");
  EXPECT_EQ(ControlText(lists_[2]), "Системное");
  ExpectResult([] {
    const SYSTEMTIME utc = TimeOf(MinutesOf(Today(10, 0)) - 345);
    SYSTEMTIME local{};
    SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    return ResultText(local);
  });
  EXPECT_TRUE(TopWindows(L"TFormError", program_.id()).empty());
  EXPECT_FALSE(fs::exists(folder_ / "ErrorLog" / "Debug.Log"));
  Screenshot("time-calculator-panels-changed", calc_);
}

// Two zones that keep daylight saving time on opposite halves of the year:
// the name TZ knows, the key of the system's zone catalogue, and their
// offsets east of universal time in minutes, standard and summer.
struct SeasonZone {
  const char* tz;
  const wchar_t* key;
  int standard, summer;
};
constexpr SeasonZone kNorth{"Europe/Berlin", L"W. Europe Standard Time", 60, 120};
constexpr SeasonZone kSouth{"Australia/Sydney", L"AUS Eastern Standard Time", 600, 660};

// The zone's clock now, and whether it keeps summer time, by the rule of
// the zone catalogue and the system's own conversion.
SYSTEMTIME ZoneNow(const SeasonZone& zone, bool* summer = nullptr) {
  using ForYearFn = BOOL(WINAPI*)(USHORT, void*, TIME_ZONE_INFORMATION*);
  const auto forYear = reinterpret_cast<ForYearFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTimeZoneInformationForYear")));
  SYSTEMTIME utc, local{};
  GetSystemTime(&utc);
  DYNAMIC_TIME_ZONE_INFORMATION dynamic{};
  wcsncpy(dynamic.TimeZoneKeyName, zone.key, 127);
  TIME_ZONE_INFORMATION rule{};
  EXPECT_TRUE(forYear && forYear(utc.wYear, &dynamic, &rule) && SystemTimeToTzSpecificLocalTime(&rule, &utc, &local))
      << "no rule for " << zone.tz;
  if (summer) *summer = MinutesOf(local) - MinutesOf(utc) == zone.summer;
  return local;
}

// Whichever of the two zones keeps summer time today: its morning is the
// summer offset before universal time, not its name's (in Sydney 10:00 is
// 23:00 of the day before).
TEST_F(CalcTest, MorningOfAZoneOnSummerTimeConvertsWithTheSummerOffset) {
  bool northSummer = false, southSummer = false;
  ZoneNow(kNorth, &northSummer);
  ZoneNow(kSouth, &southSummer);
  ASSERT_TRUE(northSummer || southSummer) << "one of the zones keeps summer time on every day";
  const SeasonZone& zone = northSummer ? kNorth : kSouth;
  StartProgram(zone.tz);
  OpenCalculator();
  Type(L"10");
  Click(Centre(targetOptions_[2]));
  ChooseZone(lists_[3], "(UTC) ");
  ExpectResult([&] {
    SYSTEMTIME local = ZoneNow(zone);
    local.wHour = 10;
    local.wMinute = local.wSecond = local.wMilliseconds = 0;
    return ResultText(TimeOf(MinutesOf(local) - zone.summer));
  });
  Screenshot("time-calculator-daylight", calc_);
}

// A date chosen in the date picker converts with that date's offset, not
// today's: winter and summer dates in a northern and a southern zone, so
// that every day of the year one of them lies in the other season than
// today. Expected: the zones' offsets on those dates, worked by hand.
TEST_F(CalcTest, ChosenDateInTheOtherSeasonConvertsWithThatDatesOffset) {
  struct Case {
    const SeasonZone* zone;
    int day, month;
    const char* universal;  // 10:00 local on that day of 2025
  };
  const Case cases[] = {
      {&kNorth, 15, 1, " 09 : 00 15.01.2025"},
      {&kNorth, 15, 7, " 08 : 00 15.07.2025"},
      {&kSouth, 15, 1, " 23 : 00 14.01.2025"},
      {&kSouth, 15, 7, " 00 : 00 15.07.2025"},
  };
  const SeasonZone* started = nullptr;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.zone->tz) + " " + std::to_string(c.day) + "." + std::to_string(c.month));
    if (started != c.zone) {
      started = c.zone;
      StartProgram(c.zone->tz);
      OpenCalculator();
      Type(L"10");
    }
    Click(Centre(targetOptions_[0]));
    ChooseDate(c.day, c.month, 2025);
    Click(Centre(targetOptions_[2]));
    if (ControlText(lists_[3]).rfind("(UTC) ", 0) != 0) ChooseZone(lists_[3], "(UTC) ");
    ExpectResult([&] { return std::string(c.universal); });
  }
}

}  // namespace
}  // namespace hx::e2e
