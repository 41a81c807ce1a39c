// The news of a newer version: the description Updrift.exe fetches from the
// program's web site, and CheckNVTrue.txt, which it writes for the clock.
//
// The version description is plain text served over HTTP(S), in UTF-8 (a
// byte order mark is allowed) or, when its bytes are not valid UTF-8, in
// CP1251; lines end with LF or CR LF:
//   line 1     the newest version, numbers joined by dots, such as "1.0.2"
//   line 2     the date of that release as the user should read it
//   line 3     the release's web page, an http:// or https:// address; its
//              letters beyond ASCII are kept percent-encoded (%D0%BD)
//   line 4...  what changed, one line each (there may be none)
// CheckNVTrue.txt holds the same lines in CP1251 with CR LF.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hx {

struct VersionDescription {
  std::string version;
  std::string date;
  std::string page;
  std::vector<std::string> changes;
};

// Nothing when the text does not follow the format (an error page, a
// version that is not a number, a page that is not a web address).
std::optional<VersionDescription> ParseVersionDescription(std::string_view bytes);

// True when `candidate` ("1.0.2") is a later version than `current`
// ("1.0.1"); missing parts count as 0. False when either is no version.
bool IsNewerVersion(std::string_view candidate, std::string_view current);

// CheckNVTrue.txt's text (UTF-8, lines ended by CR LF).
std::string NewVersionFileText(const VersionDescription& description);

// What the new-version dialog shows of CheckNVTrue.txt's text: missing
// lines leave their fields empty; the changes are joined by CR LF.
struct NewVersionNotice {
  std::string version;
  std::string date;
  std::string page;
  std::string changes;
};
NewVersionNotice ParseNewVersionNotice(std::string_view utf8);

// An http:// or https:// address without blanks, control characters or
// quotes: safe to hand to the shell, which opens it in the browser.
bool IsWebAddress(std::string_view text);

// `address` when it is a web address, else `fallback` (the program's page).
std::string LinkTarget(std::string_view address, std::string_view fallback);

}  // namespace hx
