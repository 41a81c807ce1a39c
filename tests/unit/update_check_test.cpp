#include "update/update_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "base/errors.h"

namespace hx {
namespace {

DateTime At(int year, int month, int day, int hour = 12, int minute = 0, int second = 0) {
  DateTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  return t;
}

LastCheckTime Last(int year, int month, int day, int hour = 12, int minute = 0, int second = 0) {
  return {year, month, day, hour, minute, second};
}

TEST(CheckIntervalDays, EveryIndexOfTheListAndAnyOtherGivesFive) {
  const std::pair<int, int> rows[] = {{0, 1},  {1, 3}, {2, 5}, {3, 10}, {4, 15},
                                      {5, 20}, {6, 30}, {7, 5}, {-1, 5}, {1000, 5}};
  for (const auto& [index, days] : rows) EXPECT_EQ(CheckIntervalDays(index), days) << index;
}

TEST(UpdateCheckDue, FollowsTheDaysSinceTheLastStartAndTheHourOnTheIntervalsDay) {
  struct Row {
    const char* what;
    LastCheckTime last;
    DateTime now;
    int interval;
    bool due;
  };
  const Row rows[] = {
      {"same day, interval 1", Last(2024, 5, 17, 9, 0), At(2024, 5, 17, 23, 59), 1, false},
      {"k = 1, interval 1, before the hour", Last(2024, 5, 16, 9, 0), At(2024, 5, 17, 8, 59), 1, false},
      {"k = 1, interval 1, at the hour", Last(2024, 5, 16, 9, 0), At(2024, 5, 17, 9, 0), 1, true},
      {"k = 1, interval 3", Last(2024, 5, 16, 0, 0), At(2024, 5, 17, 23, 59), 3, false},
      {"k = 2, interval 1", Last(2024, 5, 15, 23, 0), At(2024, 5, 17, 0, 0), 1, true},
      {"k = N - 1", Last(2024, 5, 13, 0, 0), At(2024, 5, 17, 23, 59), 5, false},
      {"k = N at 13:59 after 14:20", Last(2024, 5, 12, 14, 20), At(2024, 5, 17, 13, 59), 5, false},
      {"k = N at 14:00 after 14:20", Last(2024, 5, 12, 14, 20), At(2024, 5, 17, 14, 0), 5, true},
      {"k = N + 1", Last(2024, 5, 11, 23, 59), At(2024, 5, 17, 0, 0), 5, true},
      {"start in an hour's last minute", Last(2024, 5, 12, 14, 59, 30), At(2024, 5, 17, 14, 59), 5, false},
      {"the hour after it", Last(2024, 5, 12, 14, 59, 30), At(2024, 5, 17, 15, 0), 5, true},
      {"start at 14:59:00 sharp", Last(2024, 5, 12, 14, 59, 0), At(2024, 5, 17, 14, 0), 5, true},
      {"start after 23:59:00", Last(2024, 5, 12, 23, 59, 30), At(2024, 5, 17, 22, 59), 5, false},
      {"start after 23:59:00, at 23:00", Last(2024, 5, 12, 23, 59, 30), At(2024, 5, 17, 23, 0), 5, true},
      {"k = 30, interval 30, before the hour", Last(2024, 4, 17, 10, 0), At(2024, 5, 17, 9, 0), 30, false},
      {"k = 30, interval 30, at the hour", Last(2024, 4, 17, 10, 0), At(2024, 5, 17, 10, 0), 30, true},
      {"k = 29, interval 30", Last(2024, 4, 18, 0, 0), At(2024, 5, 17, 23, 0), 30, false},
      {"k = 31", Last(2024, 4, 16, 23, 59), At(2024, 5, 17, 0, 0), 30, true},
      {"k = 40", Last(2024, 4, 7), At(2024, 5, 17), 30, true},
      {"across a year's end (k = 5)", Last(2023, 12, 28, 0, 0), At(2024, 1, 2, 0, 0), 3, true},
      {"across February of a leap year (k = 2)", Last(2024, 2, 28, 0, 0), At(2024, 3, 1, 0, 0), 3, false},
      {"future by 2 days, interval 5", Last(2024, 5, 19), At(2024, 5, 17), 5, false},
      {"future by 5 days, interval 5", Last(2024, 5, 22), At(2024, 5, 17), 5, false},
      {"future by 6 days, interval 5", Last(2024, 5, 23), At(2024, 5, 17), 5, true},
      {"future by years", Last(2031, 1, 10), At(2024, 5, 17), 30, true},
  };
  for (const Row& r : rows) EXPECT_EQ(UpdateCheckDue(r.last, r.now, r.interval), r.due) << r.what;
}

TEST(LastCheckFile, WritesDayMonthYearAndReadsItBackWhateverTheSeparators) {
  const DateTime when = At(2024, 5, 17, 9, 5, 7);
  EXPECT_EQ(LastCheckText(when, ".", ":"), "17.05.24\r\n09:05:07\r\n");
  // Written on a day-first and on a month-first system (both write the day
  // first), read back on either.
  for (const auto& [date, time] : {std::pair{".", ":"}, std::pair{"/", ":"}, std::pair{"-", "."}}) {
    const auto back = ParseLastCheck(LastCheckText(when, date, time));
    ASSERT_TRUE(back.has_value()) << date;
    EXPECT_EQ(back->year, 2024);
    EXPECT_EQ(back->month, 5);
    EXPECT_EQ(back->day, 17);
    EXPECT_EQ(back->hour, 9);
    EXPECT_EQ(back->minute, 5);
    EXPECT_EQ(back->second, 7);
  }
  const auto fourDigits = ParseLastCheck("01.12.2023\n23:59\n");
  ASSERT_TRUE(fourDigits.has_value());
  EXPECT_EQ(fourDigits->year, 2023);
  EXPECT_EQ(fourDigits->second, 0);
  EXPECT_EQ(PatternSeparator("dd.MM.yyyy", "/"), ".");
  EXPECT_EQ(PatternSeparator("M/d/yyyy", "."), "/");
  EXPECT_EQ(PatternSeparator("'г.'yyyy", "."), ".");
  EXPECT_EQ(PatternSeparator("HHmmss", ":"), ":");
}

TEST(LastCheckFile, AnythingButAValidDateAndTimeIsUnreadable) {
  const char* rows[] = {
      "",
      "17.05.24\r\n",
      "garbage\r\n12:00:00\r\n",
      "32.05.24\r\n12:00:00\r\n",
      "29.02.23\r\n12:00:00\r\n",
      "17.13.24\r\n12:00:00\r\n",
      "17.05\r\n12:00:00\r\n",
      "17.05.24.1\r\n12:00:00\r\n",
      "17.05.240\r\n12:00:00\r\n",
      "17.05.24\r\n24:00:00\r\n",
      "17.05.24\r\n12:60\r\n",
      "17.05.24\r\nnoon\r\n",
      "May 17 24\r\n12:00:00\r\n",
      "29.02.1900\r\n12:00:00\r\n",  // not a leap year
      "17.05.1899\r\n12:00:00\r\n",
      "17.05.24\r\n12:00:60\r\n",
  };
  for (const char* text : rows) EXPECT_FALSE(ParseLastCheck(text).has_value()) << text;
  EXPECT_TRUE(ParseLastCheck("29.02.24\r\n12:00:00\r\n").has_value());
}

// --- The marker-file state machine. ---

class MemoryFiles : public UpdateFiles {
 public:
  bool Exists(UpdateFile f) override { return files.count(f) != 0; }
  void Remove(UpdateFile f) override {
    if (!Exists(f)) return;
    if (locked.count(f)) throw FileError("in use");
    files.erase(f);
  }
  std::optional<std::string> ReadText(UpdateFile f) override {
    if (!Exists(f) || files[f].size() > kMaxDescriptionBytes) return std::nullopt;
    return files[f];
  }
  void WriteText(UpdateFile f, std::string_view text) override { files[f] = std::string(text); }

  std::map<UpdateFile, std::string> files;
  std::set<UpdateFile> locked;
};

class RecordingEffects : public UpdateCheckEffects {
 public:
  bool StartChecker() override {
    ++checkerStarts;
    return checkerStarts <= checkerWillStart;
  }
  void RunPoll(bool running) override { pollRunning = running; }
  void EnableCheckNow(bool enabled) override { checkNow = enabled; }
  void ShowStatus(const std::string& text) override { shownStatus = text; }
  void ShowNewVersionDialog() override {
    ++dialogs;
    if (onDialog) onDialog();
  }
  void Guarded(const char* code, const std::function<void()>& step) override {
    try {
      step();
    } catch (const std::exception&) {
      reported.push_back(code);
    }
  }

  int checkerWillStart = 100;
  int checkerStarts = 0;
  bool pollRunning = false;
  std::optional<bool> checkNow;
  std::string shownStatus;
  int dialogs = 0;
  std::function<void()> onDialog;
  std::vector<std::string> reported;
};

using F = UpdateFile;
const DateTime kNow = At(2024, 5, 17, 14, 30);
constexpr int kFiveDays = 2;

// One run of the program's check over the fake folder.
struct Rig {
  std::set<F> Present() const {
    std::set<F> present;
    for (const auto& [f, text] : files.files) present.insert(f);
    return present;
  }
  void Start() { check.StartUpdateCheck(kFiveDays, kNow); }

  MemoryFiles files;
  RecordingEffects effects;
  std::string status = kCheckStatusNoNews;
  UpdateCheck check{files, effects, status, "1.0.1"};
};

TEST(UpdateCheck, StartDecidesByTheMarkersAndTheScheduleWhetherUpdriftRuns) {
  struct Row {
    const char* what;
    std::map<F, std::string> before;
    bool checkerRuns;
    std::set<F> after;
    const char* status;
    int dialogs;
  };
  const std::string today = "17.05.24\r\n09:00:00\r\n", longAgo = "01.01.24\r\n09:00:00\r\n";
  const std::string huge = "1.0.2\r\n" + std::string(kMaxDescriptionBytes, 'x');
  const Row rows[] = {
      {"first start", {}, true, {F::LastCheck}, kCheckStatusRequesting, 0},
      {"checked today", {{F::LastCheck, today}}, false, {F::LastCheck}, kCheckStatusNoNews, 0},
      {"due", {{F::LastCheck, longAgo}}, true, {F::LastCheck}, kCheckStatusRequesting, 0},
      {"unreadable LastCheck.ini", {{F::LastCheck, "17/13/24\r\n"}}, true, {F::LastCheck}, kCheckStatusRequesting, 0},
      {"markers of the last check",
       {{F::CheckReady, ""}, {F::CheckNVFalse, ""}, {F::CheckTrue, ""}},
       true,
       {F::LastCheck},
       kCheckStatusRequesting,
       0},
      {"notice not acknowledged",
       {{F::CheckNVTrue, "1.0.2\r\n"}, {F::CheckReady, ""}},
       false,
       {F::CheckNVTrue, F::CheckReady},
       kCheckStatusNewVersion,
       1},
      {"notice acknowledged",
       {{F::CheckNVTrue, "1.0.2\r\n"}, {F::CheckTrue, ""}},
       false,
       {F::CheckNVTrue, F::CheckTrue},
       kCheckStatusNewVersion,
       0},
      {"empty notice", {{F::CheckNVTrue, ""}, {F::LastCheck, today}}, false, {F::LastCheck}, kCheckStatusNoNews, 0},
      // A notice that cannot be news (an update was copied over it, or it
      // is garbled or too large) goes, and the schedule decides as usual.
      {"notice of this release", {{F::CheckNVTrue, "1.0.1\r\n"}}, true, {F::LastCheck}, kCheckStatusRequesting, 0},
      {"acknowledged notice of an older release",
       {{F::CheckNVTrue, "1.0.0\r\n"}, {F::CheckTrue, ""}, {F::LastCheck, longAgo}},
       true,
       {F::LastCheck},
       kCheckStatusRequesting,
       0},
      {"garbled notice", {{F::CheckNVTrue, "\xFF\x01garbage"}, {F::LastCheck, today}}, false, {F::LastCheck},
       kCheckStatusNoNews, 0},
      {"notice too large", {{F::CheckNVTrue, huge}}, true, {F::LastCheck}, kCheckStatusRequesting, 0},
      {"a failed check the last run did not take in",
       {{F::CheckFailed, ""}, {F::CheckReady, ""}, {F::LastCheck, today}},
       true,
       {F::LastCheck},
       kCheckStatusRequesting,
       0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Rig rig;
    auto& [files, effects, status, check] = rig;
    files.files = r.before;
    rig.Start();
    EXPECT_EQ(effects.checkerStarts, r.checkerRuns ? 1 : 0);
    EXPECT_EQ(check.Running(), r.checkerRuns);
    EXPECT_EQ(effects.pollRunning, r.checkerRuns);
    EXPECT_EQ(effects.checkNow, !r.checkerRuns);
    EXPECT_EQ(rig.Present(), r.after);
    EXPECT_EQ(status, r.status);
    EXPECT_EQ(effects.dialogs, r.dialogs);
    if (r.checkerRuns) {
      EXPECT_EQ(files.files[F::LastCheck], "17.05.24\r\n14:30:00\r\n");
      EXPECT_EQ(effects.shownStatus, kCheckStatusRequesting);
    }
    rig.Start();
    EXPECT_EQ(effects.checkerStarts, r.checkerRuns ? 1 : 0) << "once per run";
  }
}

// Each choice of the interval list, with the last check at 14:20 and the
// dates worked out by hand across month ends, a leap day and a year's end:
// not due the day before the interval's day, due on it from 14:00, due the
// day after from midnight.
TEST(UpdateCheck, EachIntervalChoiceStartsTheCheckOnItsOwnDay) {
  struct Row { int index; const char* lastCheck; DateTime now; bool due; };
  const Row rows[] = {
      {0, "31.01.24", At(2024, 1, 31, 23, 0), false},  // 1 day
      {0, "31.01.24", At(2024, 2, 1, 13, 0), false},
      {0, "31.01.24", At(2024, 2, 1, 14, 0), true},
      {0, "31.01.24", At(2024, 2, 2, 0, 0), true},
      {1, "27.02.24", At(2024, 2, 29, 23, 0), false},  // 3 days
      {1, "27.02.24", At(2024, 3, 1, 13, 0), false},
      {1, "27.02.24", At(2024, 3, 1, 14, 0), true},
      {1, "27.02.24", At(2024, 3, 2, 0, 0), true},
      {2, "29.12.23", At(2024, 1, 2, 23, 0), false},  // 5 days
      {2, "29.12.23", At(2024, 1, 3, 13, 0), false},
      {2, "29.12.23", At(2024, 1, 3, 14, 0), true},
      {2, "29.12.23", At(2024, 1, 4, 0, 0), true},
      {3, "20.02.23", At(2023, 3, 1, 23, 0), false},  // 10 days
      {3, "20.02.23", At(2023, 3, 2, 13, 0), false},
      {3, "20.02.23", At(2023, 3, 2, 14, 0), true},
      {3, "20.02.23", At(2023, 3, 3, 0, 0), true},
      {4, "30.04.24", At(2024, 5, 14, 23, 0), false},  // 15 days
      {4, "30.04.24", At(2024, 5, 15, 13, 0), false},
      {4, "30.04.24", At(2024, 5, 15, 14, 0), true},
      {4, "30.04.24", At(2024, 5, 16, 0, 0), true},
      {5, "20.12.24", At(2025, 1, 8, 23, 0), false},  // 20 days
      {5, "20.12.24", At(2025, 1, 9, 13, 0), false},
      {5, "20.12.24", At(2025, 1, 9, 14, 0), true},
      {5, "20.12.24", At(2025, 1, 10, 0, 0), true},
      {6, "31.01.24", At(2024, 2, 29, 23, 0), false},  // 30 days
      {6, "31.01.24", At(2024, 3, 1, 13, 0), false},
      {6, "31.01.24", At(2024, 3, 1, 14, 0), true},
      {6, "31.01.24", At(2024, 3, 2, 0, 0), true},
      {7, "29.02.24", At(2024, 3, 4, 23, 0), false},  // beyond the list: 5 days
      {7, "29.02.24", At(2024, 3, 5, 14, 0), true},
      {-1, "29.02.24", At(2024, 3, 5, 13, 0), false},
      {-1, "29.02.24", At(2024, 3, 6, 0, 0), true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.index << ", last " << r.lastCheck << ", now " << r.now.day << "."
                                    << r.now.month << "." << r.now.year << " " << r.now.hour << ":00");
    Rig rig;
    rig.files.files[F::LastCheck] = std::string(r.lastCheck) + "\r\n14:20:00\r\n";
    rig.check.StartUpdateCheck(r.index, r.now);
    EXPECT_EQ(rig.effects.checkerStarts, r.due ? 1 : 0);
  }
}

TEST(UpdateCheck, PollWaitsForCheckReadyThenShowsTheResultAndStops) {
  struct Row {
    const char* what;
    std::map<F, std::string> result;
    std::set<F> after;
    const char* status;
    int dialogs;
  };
  const Row rows[] = {
      {"no news", {{F::CheckNVFalse, ""}, {F::CheckReady, ""}}, {F::LastCheck, F::CheckReady}, kCheckStatusNoNews, 0},
      {"new version",
       {{F::CheckNVTrue, "1.0.2\r\n"}, {F::CheckReady, ""}},
       {F::LastCheck, F::CheckReady, F::CheckNVTrue},
       kCheckStatusNewVersion,
       1},
      {"new version and a stray CheckNVFalse",
       {{F::CheckNVTrue, "1.0.2\r\n"}, {F::CheckNVFalse, ""}, {F::CheckReady, ""}},
       {F::LastCheck, F::CheckReady, F::CheckNVTrue},
       kCheckStatusNewVersion,
       1},
      {"new version already acknowledged",
       {{F::CheckNVTrue, "1.0.2\r\n"}, {F::CheckTrue, ""}, {F::CheckReady, ""}},
       {F::LastCheck, F::CheckReady, F::CheckNVTrue, F::CheckTrue},
       kCheckStatusNewVersion,
       0},
      {"empty notice", {{F::CheckNVTrue, ""}, {F::CheckReady, ""}}, {F::LastCheck, F::CheckReady}, kCheckStatusNoNews, 0},
      // LastCheck.ini goes with CheckFailed: the next start checks again.
      {"site unreachable", {{F::CheckFailed, ""}, {F::CheckReady, ""}}, {F::CheckReady}, kCheckStatusFailed, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Rig rig;
    auto& [files, effects, status, check] = rig;
    rig.Start();
    ASSERT_TRUE(check.Running());
    // The result files appear before CheckReady; until then the poll waits.
    for (const auto& [f, text] : r.result)
      if (f != F::CheckReady) files.files[f] = text;
    check.Poll();
    EXPECT_TRUE(check.Running());
    EXPECT_EQ(status, kCheckStatusRequesting);
    EXPECT_EQ(effects.checkNow, false);
    files.files[F::CheckReady] = "";
    check.Poll();
    EXPECT_FALSE(check.Running());
    EXPECT_FALSE(effects.pollRunning);
    EXPECT_EQ(effects.checkNow, true);
    EXPECT_EQ(status, r.status);
    EXPECT_EQ(effects.shownStatus, r.status);
    EXPECT_EQ(effects.dialogs, r.dialogs);
    EXPECT_EQ(rig.Present(), r.after);
  }
}

TEST(UpdateCheck, AFailedStartIsAFailedCheckAndKeepsLastCheckIniForTheNextRun) {
  Rig rig;
  auto& [files, effects, status, check] = rig;
  const std::string old = "01.01.24\r\n09:00:00\r\n";
  files.files[F::LastCheck] = old;
  effects.checkerWillStart = 0;
  rig.Start();
  EXPECT_EQ(effects.checkerStarts, 1);
  EXPECT_FALSE(check.Running());
  EXPECT_FALSE(effects.pollRunning);
  EXPECT_EQ(effects.checkNow, true);
  EXPECT_EQ(status, kCheckStatusFailed);
  EXPECT_EQ(files.files[F::LastCheck], old);

  files.files.erase(F::LastCheck);
  check.Reset();
  rig.Start();
  EXPECT_EQ(effects.checkerStarts, 2);
  EXPECT_FALSE(files.Exists(F::LastCheck));
}

TEST(UpdateCheck, ACheckerThatLeavesNoAnswerIsAFailedCheckAfterAMinute) {
  Rig rig;
  auto& [files, effects, status, check] = rig;
  rig.Start();
  for (int i = 1; i < UpdateCheck::kPollLimit; ++i) check.Poll();
  EXPECT_TRUE(check.Running());
  EXPECT_EQ(status, kCheckStatusRequesting);
  check.Poll();
  EXPECT_FALSE(check.Running());
  EXPECT_FALSE(effects.pollRunning);
  EXPECT_EQ(effects.checkNow, true);
  EXPECT_EQ(status, kCheckStatusFailed);
  EXPECT_FALSE(files.Exists(F::LastCheck)) << "the next start checks again";
}

TEST(UpdateCheck, AMarkerThatCannotBeRemovedIsReportedAndTheWaitStillEnds) {
  Rig rig;
  auto& [files, effects, status, check] = rig;
  rig.Start();
  files.files[F::CheckNVFalse] = "";
  files.files[F::CheckReady] = "";
  files.locked.insert(F::CheckNVFalse);
  check.Poll();
  EXPECT_EQ(effects.reported, std::vector<std::string>{kCodeProcessCheckResult});
  EXPECT_FALSE(check.Running());
  EXPECT_EQ(effects.checkNow, true);
  EXPECT_EQ(status, kCheckStatusNoNews);
}

// --- The real folder. ---

TEST(FolderUpdateFiles, OnlyRegularFilesCountAndNoneIsReadBeyondTheLimit) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("hx_update_files_" +
                                                    std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::remove_all(dir);
  FolderUpdateFiles files(dir);
  files.WriteText(F::LastCheck, "17.05.24\r\n09:00:00\r\n");  // creates the folder
  EXPECT_EQ(files.ReadText(F::LastCheck), "17.05.24\r\n09:00:00\r\n");
  fs::create_directories(dir / "CheckReady" / "inside");
  std::ofstream(dir / "CheckNVTrue.txt").close();
  EXPECT_FALSE(files.Exists(F::CheckReady));
  EXPECT_NO_THROW(files.Remove(F::CheckReady));
  EXPECT_TRUE(fs::exists(dir / "CheckReady"));
  EXPECT_EQ(files.ReadText(F::CheckNVTrue), "");
  files.WriteText(F::CheckNVTrue, std::string(kMaxDescriptionBytes, 'x'));
  EXPECT_EQ(files.ReadText(F::CheckNVTrue)->size(), kMaxDescriptionBytes);
  files.WriteText(F::CheckNVTrue, std::string(kMaxDescriptionBytes + 1, 'x'));
  EXPECT_FALSE(files.ReadText(F::CheckNVTrue).has_value()) << "too large counts as missing";
  files.Remove(F::CheckNVTrue);
  EXPECT_FALSE(files.Exists(F::CheckNVTrue));
  EXPECT_FALSE(files.ReadText(F::CheckTrue).has_value());
  fs::remove_all(dir);
}

}  // namespace
}  // namespace hx
