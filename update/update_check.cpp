#include "update/update_check.h"

#include <array>
#include <cctype>
#include <vector>

#include "base/cp1251.h"
#include "base/errors.h"
#include "base/files.h"
#include "base/textfile.h"

namespace hx {
namespace {

// Days since 1 March of year 0 of the proleptic Gregorian calendar; only
// differences matter.
long DayNumber(int year, int month, int day) {
  const int y = month <= 2 ? year - 1 : year;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yearOfEra = y - era * 400;
  const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return static_cast<long>(era) * 146097 + dayOfEra;
}

int DaysInMonth(int year, int month) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[static_cast<size_t>(month - 1)];
}

std::string TwoDigits(int value) {
  std::string text = std::to_string(value % 100);
  return text.size() == 1 ? "0" + text : text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The runs of digits of a line, with the number of digits of each; nothing
// when the line holds anything but digits and separators, or a run too long
// to be a date's or time's part.
std::optional<std::vector<std::pair<int, size_t>>> Numbers(std::string_view line) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
  if (line.empty() || !std::isdigit(static_cast<unsigned char>(line.front())) ||
      !std::isdigit(static_cast<unsigned char>(line.back())))
    return std::nullopt;
  std::vector<std::pair<int, size_t>> numbers;
  size_t i = 0;
  while (i < line.size()) {
    if (!std::isdigit(static_cast<unsigned char>(line[i]))) {
      // A separator: one to three characters that are neither digits nor
      // control characters, such as ".", "/", ". " or "-".
      size_t length = 0;
      while (i < line.size() && !std::isdigit(static_cast<unsigned char>(line[i]))) {
        if (static_cast<unsigned char>(line[i]) < 0x20) return std::nullopt;
        ++i;
        ++length;
      }
      if (length > 3) return std::nullopt;
      continue;
    }
    int value = 0;
    size_t digits = 0;
    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) {
      if (++digits > 4) return std::nullopt;
      value = value * 10 + (line[i] - '0');
      ++i;
    }
    numbers.push_back({value, digits});
  }
  return numbers;
}

}  // namespace

int CheckIntervalDays(int intervalIndex) {
  static constexpr std::array<int, 7> kDays = {1, 3, 5, 10, 15, 20, 30};
  return intervalIndex >= 0 && intervalIndex < static_cast<int>(kDays.size()) ? kDays[static_cast<size_t>(intervalIndex)]
                                                                                : 5;
}

std::string LastCheckText(const DateTime& now, std::string_view dateSeparator, std::string_view timeSeparator) {
  std::string text = TwoDigits(now.day);
  (text += dateSeparator) += TwoDigits(now.month);
  (text += dateSeparator) += TwoDigits(now.year);
  text += "\r\n" + TwoDigits(now.hour);
  (text += timeSeparator) += TwoDigits(now.minute);
  (text += timeSeparator) += TwoDigits(now.second);
  return text + "\r\n";
}

std::optional<LastCheckTime> ParseLastCheck(std::string_view text) {
  const std::vector<std::string> lines = SplitLines(text);
  if (lines.size() < 2) return std::nullopt;
  const auto date = Numbers(lines[0]);
  const auto time = Numbers(lines[1]);
  if (!date || date->size() != 3 || !time || time->size() < 2 || time->size() > 3) return std::nullopt;

  LastCheckTime last;
  last.day = (*date)[0].first;
  last.month = (*date)[1].first;
  const auto [year, yearDigits] = (*date)[2];
  if (yearDigits <= 2) last.year = 2000 + year;
  else if (yearDigits == 4 && year >= 1900) last.year = year;
  else return std::nullopt;
  if (last.month < 1 || last.month > 12 || last.day < 1 || last.day > DaysInMonth(last.year, last.month))
    return std::nullopt;

  last.hour = (*time)[0].first;
  last.minute = (*time)[1].first;
  last.second = time->size() == 3 ? (*time)[2].first : 0;
  if (last.hour > 23 || last.minute > 59 || last.second > 59) return std::nullopt;
  return last;
}

std::string PatternSeparator(std::string_view pattern, std::string_view fallback) {
  bool quoted = false;
  for (char c : pattern) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\'') quoted = !quoted;
    else if (!quoted && u < 0x80 && !std::isalpha(u) && u >= 0x20) return std::string(1, c);
  }
  return std::string(fallback);
}

bool UpdateCheckDue(const LastCheckTime& last, const DateTime& now, int intervalDays) {
  const long k = DayNumber(now.year, now.month, now.day) - DayNumber(last.year, last.month, last.day);
  if (k < 0) return -k > intervalDays;
  if (k == 0) return false;
  if (k >= 31) return true;
  // On the interval's own day: once the clock reaches the hour of the last
  // start, counting whole hours from the last start to 23:59:00.
  const auto timeTest = [&] {
    const int untilLastMinute = 23 * 3600 + 59 * 60 - (last.hour * 3600 + last.minute * 60 + last.second);
    const int hours = untilLastMinute > 0 ? untilLastMinute / 3600 : 0;
    return now.hour + hours + 1 >= 24;
  };
  if (k == 1) return intervalDays == 1 && timeTest();
  if (k > intervalDays) return true;
  return k == intervalDays && timeTest();
}

const char* UpdateFileName(UpdateFile file) {
  switch (file) {
    case UpdateFile::LastCheck: return "LastCheck.ini";
    case UpdateFile::CheckReady: return "CheckReady";
    case UpdateFile::CheckNVTrue: return "CheckNVTrue.txt";
    case UpdateFile::CheckNVFalse: return "CheckNVFalse";
    case UpdateFile::CheckFailed: return "CheckFailed";
    case UpdateFile::CheckTrue: return "CheckTrue";
  }
  return "";
}

bool FolderUpdateFiles::Exists(UpdateFile file) { return files::IsFile(Path(file)); }

void FolderUpdateFiles::Remove(UpdateFile file) {
  if (!Exists(file)) return;
  if (!files::Remove(Path(file)) && files::Exists(Path(file)))
    throw FileError("cannot remove " + std::string(UpdateFileName(file)));
}

// One byte beyond the limit tells a file that is too large, without
// reading the rest of it.
std::optional<std::string> FolderUpdateFiles::ReadText(UpdateFile file) {
  if (!Exists(file)) return std::nullopt;
  const std::optional<std::string> bytes = files::ReadBytes(Path(file), kMaxDescriptionBytes + 1);
  if (!bytes || bytes->size() > kMaxDescriptionBytes) return std::nullopt;
  return Cp1251ToUtf8(*bytes);
}

void FolderUpdateFiles::WriteText(UpdateFile file, std::string_view utf8) {
  files::CreateFolders(folder_);  // a folder that cannot be made shows in the write's failure
  WriteTextFileAtomically(Path(file), utf8);
}

void UpdateCheck::StartUpdateCheck(int intervalIndex, const DateTime& now, std::string_view dateSeparator,
                                   std::string_view timeSeparator) {
  if (checkStarted_) return;
  checkStarted_ = true;
  DropStaleNotice();
  // A notice not yet acknowledged is shown again; no new check runs while
  // one is pending.
  if (files_.Exists(UpdateFile::CheckNVTrue)) {
    if (!files_.Exists(UpdateFile::CheckTrue))
      effects_.Guarded(kCodeProcessCheckResult, [&] { ProcessCheckResult(); });
    else
      Finish();
    return;
  }
  if (!Due(intervalIndex, now)) {
    effects_.EnableCheckNow(true);
    return;
  }
  // Markers of an earlier check would end the wait at once or hide the
  // new result.
  for (UpdateFile stale :
       {UpdateFile::CheckReady, UpdateFile::CheckNVFalse, UpdateFile::CheckFailed, UpdateFile::CheckTrue})
    files_.Remove(stale);
  failed_ = false;
  if (!effects_.StartChecker()) {
    failed_ = true;
    Finish();
    return;
  }
  running_ = true;
  polls_ = 0;
  effects_.RunPoll(true);
  effects_.EnableCheckNow(false);
  effects_.Guarded(kCodeSetCheckStatus, [&] { SetCheckStatus(false); });
  files_.WriteText(UpdateFile::LastCheck, LastCheckText(now, dateSeparator, timeSeparator));
}

// Without LastCheck.ini, or with one that cannot be read, a check is due
// (and the file is written anew); so it is after a failed check whose
// result this program did not take in (it ended before).
bool UpdateCheck::Due(int intervalIndex, const DateTime& now) {
  if (!files_.Exists(UpdateFile::LastCheck) || files_.Exists(UpdateFile::CheckFailed)) return true;
  const auto text = files_.ReadText(UpdateFile::LastCheck);
  const auto last = text ? ParseLastCheck(*text) : std::nullopt;
  return !last || UpdateCheckDue(*last, now, CheckIntervalDays(intervalIndex));
}

void UpdateCheck::Poll() {
  if (!files_.Exists(UpdateFile::CheckReady)) {
    if (++polls_ >= kPollLimit) effects_.Guarded(kCodeProcessCheckResult, [&] { Fail(); });
    return;
  }
  if (files_.Exists(UpdateFile::CheckFailed)) failed_ = true;
  Finish();
  effects_.Guarded(kCodeProcessCheckResult, [&] { ProcessCheckResult(); });
}

void UpdateCheck::ProcessCheckResult() {
  if (resultProcessed_) return;
  Finish();
  resultProcessed_ = true;
  files_.Remove(UpdateFile::CheckNVFalse);
  if (files_.Exists(UpdateFile::CheckFailed)) {
    Fail();
    files_.Remove(UpdateFile::CheckFailed);  // after LastCheck.ini: while it stays, the next start checks
  }
  if (!files_.Exists(UpdateFile::CheckNVTrue) || files_.Exists(UpdateFile::CheckTrue)) return;
  if (DropStaleNotice()) {
    effects_.Guarded(kCodeSetCheckStatus, [&] { SetCheckStatus(true); });
    return;
  }
  effects_.ShowNewVersionDialog();
}

// CheckNVTrue.txt stands only for a release later than this one. One that
// names this release or an older one (left over when a newer release was
// copied over the folder), one too large to be the checker's, and one
// whose first line is no version (empty, garbled) are removed; true when
// it was. Otherwise any of them would block every later check.
bool UpdateCheck::DropStaleNotice() {
  if (!files_.Exists(UpdateFile::CheckNVTrue)) return false;
  const std::optional<std::string> text = files_.ReadText(UpdateFile::CheckNVTrue);
  if (text && IsNewerVersion(ParseNewVersionNotice(*text).version, runningVersion_)) return false;
  files_.Remove(UpdateFile::CheckNVTrue);
  return true;
}

void UpdateCheck::SetCheckStatus(bool finished) {
  const char* text = !finished                                    ? kCheckStatusRequesting
                     : files_.Exists(UpdateFile::CheckNVTrue) ? kCheckStatusNewVersion
                     : failed_                                    ? kCheckStatusFailed
                                                                  : kCheckStatusNoNews;
  effects_.ShowStatus(text);
  statusText_ = text;
}

// The check reached no usable answer: it ends with that status, and
// without LastCheck.ini, so that the next start checks again rather than
// after the interval.
void UpdateCheck::Fail() {
  failed_ = true;
  Finish();
  files_.Remove(UpdateFile::LastCheck);
}

// The wait is over: the poll stops, "Проверить сейчас" comes back and the
// status tells the result.
void UpdateCheck::Finish() {
  running_ = false;
  effects_.RunPoll(false);
  effects_.EnableCheckNow(true);
  effects_.Guarded(kCodeSetCheckStatus, [&] { SetCheckStatus(true); });
}

}  // namespace hx
