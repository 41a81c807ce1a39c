// The update check of the clock program: when to start the separate
// checker program Updrift.exe, and how to read the marker files it leaves
// in the Resource folder.
//
// The files, all in Resource beside the program:
//   LastCheck.ini    two lines, the date ("dd.mm.yy") and time ("hh:nn:ss")
//                    of the last start of the checker
//   CheckReady       the checker has finished; its result files are complete
//   CheckNVTrue.txt  a newer version exists (version, date, web page, changes)
//   CheckNVFalse     the checker found no newer version
//   CheckFailed      the checker could not reach the site or got no usable
//                    answer; the next start checks again
//   CheckTrue        the user has acknowledged the notice of CheckNVTrue.txt
// No file is read beyond kMaxDescriptionBytes (a larger one counts as
// missing).
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/datetime.h"
#include "base/path.h"
#include "core/product.h"
#include "update/version_notice.h"

namespace hx {

inline constexpr char kCheckStatusRequesting[] = " Проверка наличия обновлений: Запрос данных о новых версиях...";
inline constexpr char kCheckStatusNoNews[] = " Проверка наличия обновлений: Новые версии отсутствуют...";
inline constexpr char kCheckStatusNewVersion[] = " Проверка наличия обновлений: ВЫШЛА НОВАЯ ВЕРСИЯ ПРОГРАММЫ!!!";
inline constexpr char kCheckStatusFailed[] = " Проверка наличия обновлений: не удалось связаться с сайтом программы...";

// Days between checks for the settings' interval index 0..6 ("1", "3",
// "5", "10", "15", "20", "30"); any other index gives 5.
int CheckIntervalDays(int intervalIndex);

// The moment of the last start, as LastCheck.ini records it.
struct LastCheckTime {
  int year = 2000, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0;
};

// LastCheck.ini's text: "dd<d>mm<d>yy" and "hh<t>nn<t>ss", each line ended
// by CR LF, with the system's date and time separators.
std::string LastCheckText(const DateTime& now, std::string_view dateSeparator, std::string_view timeSeparator);

// Reads LastCheck.ini's text back: day, month and year in this order with
// any separator (a two-digit year is 20yy), then the time; nothing when
// either line is not a valid date or time. Files written with any system's
// separators load alike.
std::optional<LastCheckTime> ParseLastCheck(std::string_view text);

// The separator of a date or time pattern such as "dd.MM.yyyy" or
// "H:mm:ss": its first ASCII character that is neither a pattern letter nor
// quoted text; `fallback` when there is none.
std::string PatternSeparator(std::string_view pattern, std::string_view fallback);

// Whether a check is due at `now` when the last one started at `last`, with
// checks at least `intervalDays` apart. With k whole calendar days since the
// last start: none on the same day; on the day after only with a one-day
// interval; otherwise when k exceeds the interval; on the interval's own day
// once the clock has reached the hour of the last start (the next hour when
// that start fell into an hour's last minute); always from the 31st day on.
// A last start in the future counts as the same day while it lies at most
// `intervalDays` ahead (a clock a little fast); further ahead it is due, so
// a clock once set years ahead cannot stop checks.
bool UpdateCheckDue(const LastCheckTime& last, const DateTime& now, int intervalDays);

// The marker files, as the check's state machine sees them.
enum class UpdateFile { LastCheck, CheckReady, CheckNVTrue, CheckNVFalse, CheckFailed, CheckTrue };
const char* UpdateFileName(UpdateFile file);

class UpdateFiles {
 public:
  virtual ~UpdateFiles() = default;
  // A regular file of that name exists (a folder of that name does not count).
  virtual bool Exists(UpdateFile file) = 0;
  // Removes the file when it exists; throws FileError when that fails.
  virtual void Remove(UpdateFile file) = 0;
  // The file's text (CP1251 on disk); nothing when it is missing, cannot
  // be read or holds more than kMaxDescriptionBytes.
  virtual std::optional<std::string> ReadText(UpdateFile file) = 0;
  // Replaces the file's text; throws FileError.
  virtual void WriteText(UpdateFile file, std::string_view utf8) = 0;
};

// The files in a real folder.
class FolderUpdateFiles : public UpdateFiles {
 public:
  explicit FolderUpdateFiles(hx::Path folder) : folder_(std::move(folder)) {}
  bool Exists(UpdateFile file) override;
  void Remove(UpdateFile file) override;
  std::optional<std::string> ReadText(UpdateFile file) override;
  void WriteText(UpdateFile file, std::string_view utf8) override;

 private:
  hx::Path Path(UpdateFile file) const { return folder_ / UpdateFileName(file); }
  hx::Path folder_;
};

// What the check asks of the program's windows.
class UpdateCheckEffects {
 public:
  virtual ~UpdateCheckEffects() = default;
  // Starts Updrift.exe without waiting for it; false when it did not start.
  virtual bool StartChecker() = 0;
  // Runs or stops the once-a-second poll that calls UpdateCheck::Poll.
  virtual void RunPoll(bool running) = 0;
  // Enables or disables "Проверить сейчас" and shows the status line in
  // the settings dialog; both do nothing while the dialog is closed.
  virtual void EnableCheckNow(bool enabled) = 0;
  virtual void ShowStatus(const std::string& text) = 0;
  // Shows the new-version dialog and returns when it has closed.
  virtual void ShowNewVersionDialog() = 0;
  // Runs one step of the check that reports its own failures under `code`;
  // a failed step ends only itself.
  virtual void Guarded(const char* /*code*/, const std::function<void()>& step) { step(); }
};

inline constexpr char kCodeStartUpdateCheck[] = "1.010 - 004.0";
inline constexpr char kCodeProcessCheckResult[] = "1.010 - 001.0";
inline constexpr char kCodeSetCheckStatus[] = "1.010 - 003.0";

// The check's life in one run of the program: idle, started (the poll runs
// and the status says so), finished (the poll stopped, the status tells
// the result). Across runs the state lives in the marker files.
class UpdateCheck {
 public:
  // `runningVersion` is this release's number, which a notice must exceed.
  UpdateCheck(UpdateFiles& files, UpdateCheckEffects& effects, std::string& statusText,
              std::string_view runningVersion = product::kVersionNumber)
      : files_(files), effects_(effects), statusText_(statusText), runningVersion_(runningVersion) {}

  // Runs once until Reset. First drops a CheckNVTrue.txt that announces no
  // later release than this one (left over from before an update), is too
  // large or has no version in its first line. Shows a pending new-version
  // notice again rather than checking anew; otherwise starts Updrift.exe
  // when the schedule says a check is due (always after a failed one),
  // after removing the last check's markers so that only the new result
  // counts. A failed start leaves LastCheck.ini as it was and the check
  // failed, so the next run tries again.
  void StartUpdateCheck(int intervalIndex, const DateTime& now, std::string_view dateSeparator = ".",
                        std::string_view timeSeparator = ":");
  // The poll, once a second: once CheckReady exists the check is finished
  // and its result is shown. A checker that leaves no answer in time (it
  // could not write to the folder, or was ended) is a failed check rather
  // than a wait without end.
  void Poll();
  static constexpr int kPollLimit = 60;
  // Runs once until Reset: consumes CheckNVFalse; consumes CheckFailed with
  // LastCheck.ini, so that the next start checks again; shows the
  // new-version dialog for an unacknowledged CheckNVTrue.txt, and drops one
  // that is empty or stale.
  void ProcessCheckResult();
  // The status line of a started check, or of a finished one: a new version
  // when CheckNVTrue.txt exists, else whether the check failed.
  void SetCheckStatus(bool finished);
  // "Проверить сейчас": both latches cleared, so StartUpdateCheck and
  // ProcessCheckResult run again.
  void Reset() { checkStarted_ = resultProcessed_ = false; }

  // True while the poll waits for the checker's result.
  bool Running() const { return running_; }

 private:
  bool Due(int intervalIndex, const DateTime& now);
  bool DropStaleNotice();
  void Finish();
  void Fail();

  UpdateFiles& files_;
  UpdateCheckEffects& effects_;
  std::string& statusText_;
  std::string runningVersion_;
  bool checkStarted_ = false;     // CheckStarted
  bool resultProcessed_ = false;  // ResultProcessed
  bool running_ = false;
  bool failed_ = false;  // the last check reached no usable answer
  int polls_ = 0;  // polls of the running check so far
};

}  // namespace hx
