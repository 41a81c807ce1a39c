// The files of the update check: Resource\LastCheck.ini, the version
// description the checker downloads, and the CheckNVTrue.txt it writes.
// Every input goes through all three readers. Properties:
// - a LastCheck.ini the reader accepts is a real date and time, it reads
//   back the same from the text the clock writes for it (two-digit years),
//   and the schedule answers for it with any interval without overflow;
// - an accepted description has a numeric version, a short one-line date
//   and a safe web address; CheckNVTrue.txt written from it stays within
//   the size the clock reads, reads back to the same fields, and its
//   version is never newer than itself;
// - the link the new-version dialog opens is always a safe web address on
//   the program's site without a user name, and its shortened label keeps
//   the scheme and host whole;
// - a redirect's Location, read against the program's https:// source or a
//   loopback http:// one, leads only where the rules allow: https://, or
//   http:// on this computer from an http:// address.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/cp1251.h"
#include "fuzz/fuzz_check.h"
#include "update/update_check.h"
#include "update/version_notice.h"

namespace {

using namespace hx;
using fuzz::Require;

constexpr char kProgramPage[] = "https://horavex.kt/";

bool OneLine(const std::string& text) { return text.find_first_of("\r\n") == std::string::npos; }

void CheckLastCheck(std::string_view text) {
  const auto last = ParseLastCheck(text);
  if (!last) return;
  Require(last->month >= 1 && last->month <= 12 && last->day >= 1 && last->day <= 31, "a real date");
  Require(last->hour <= 23 && last->minute <= 59 && last->second <= 59, "a real time of day");
  for (int interval : {1, 5, 30}) {
    UpdateCheckDue(*last, DateTime{.year = 2026, .month = 12, .day = 8, .hour = 14}, interval);
    UpdateCheckDue(*last, DateTime{.year = last->year, .month = last->month, .day = last->day}, interval);
  }
  if (last->year < 2000 || last->year > 2099) return;
  const DateTime when{.year = last->year, .month = last->month, .day = last->day,
                      .hour = last->hour, .minute = last->minute, .second = last->second};
  const auto back = ParseLastCheck(LastCheckText(when, ".", ":"));
  Require(back && back->year == last->year && back->month == last->month && back->day == last->day &&
              back->hour == last->hour && back->minute == last->minute && back->second == last->second,
          "the written LastCheck.ini reads back the same moment");
}

void CheckDescription(std::string_view bytes) {
  const auto d = ParseVersionDescription(bytes);
  if (!d) return;
  Require(!d->version.empty() && !IsNewerVersion(d->version, d->version), "a version is not newer than itself");
  Require(!IsNewerVersion(d->version, d->version + ".0") && !IsNewerVersion(d->version + ".0", d->version),
          "a missing part counts as 0");
  Require(IsWebAddress(d->page), "the page is a web address");
  Require(OneLine(d->date) && !d->date.empty(), "the date is one line");
  std::string changes;
  for (size_t i = 0; i < d->changes.size(); ++i) {
    Require(OneLine(d->changes[i]), "each change is one line");
    changes += (i ? "\r\n" : "") + d->changes[i];
  }
  // The clock reads CheckNVTrue.txt through CP1251: what the code page
  // cannot hold changes, the layout does not.
  const auto throughCp1251 = [](const std::string& text) { return Cp1251ToUtf8(Utf8ToCp1251(text)); };
  Require(Utf8ToCp1251(NewVersionFileText(*d)).size() <= kMaxDescriptionBytes, "CheckNVTrue.txt within the limit");
  const NewVersionNotice n = ParseNewVersionNotice(throughCp1251(NewVersionFileText(*d)));
  Require(n.version == d->version && n.page == d->page, "CheckNVTrue.txt keeps the version and the page");
  Require(n.date == throughCp1251(d->date), "CheckNVTrue.txt keeps the date");
  Require(n.changes == throughCp1251(changes), "CheckNVTrue.txt keeps every change on its own line");
}

void CheckNotice(std::string_view utf8) {
  const NewVersionNotice n = ParseNewVersionNotice(utf8);
  const std::string target = LinkTarget(n.page, kProgramPage);
  const auto parts = SplitWebAddress(target);
  Require(parts && !parts->userInfo && (parts->host == "horavex.kt" || parts->host == "www.horavex.kt"),
          "the dialog only ever opens a page of the program's site");
  const std::string origin = target.substr(0, target.size() - parts->path.size());
  for (size_t width : {size_t{0}, size_t{24}, size_t{60}}) {
    const std::string shown = ShortenedLink(target, [&](std::string_view text) { return text.size() <= width; });
    Require(shown.starts_with(origin), "the label keeps the scheme and the host whole");
  }
}

void CheckLocation(std::string_view location) {
  for (const char* from : {"https://horavex.kt/update/horavex-kt.txt", "http://127.0.0.1:8080/update/a.txt"}) {
    const auto to = ResolveLocation(from, location);
    if (!to || !IsAllowedRedirect(from, *to)) continue;
    const auto parts = SplitWebAddress(*to);
    Require(parts && !parts->userInfo, "a followed redirect names no user");
    Require(parts->scheme == "https" || (std::string_view(from).starts_with("http:") && IsLoopbackHost(parts->host)),
            "a followed redirect leads to https://, or from http:// to this computer");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = fuzz::AsText(data, size);
  CheckLastCheck(bytes);
  CheckDescription(bytes);
  CheckNotice(Cp1251ToUtf8(bytes));
  CheckLocation(bytes);
  return 0;
}
