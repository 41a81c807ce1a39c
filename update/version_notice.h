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
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hx {

// The most Updrift.exe reads of the description, and the most CheckNVTrue.txt
// written from one holds; the clock reads no marker file beyond it.
inline constexpr size_t kMaxDescriptionBytes = 64 * 1024;

struct VersionDescription {
  std::string version;
  std::string date;
  std::string page;
  std::vector<std::string> changes;
};

// Nothing when the text does not follow the format (an error page, a
// version that is not a number, a page that is not a web address), or when
// CheckNVTrue.txt written from it would exceed kMaxDescriptionBytes.
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

// An http:// or https:// address taken apart: the scheme and the host in
// lower case (an IPv6 host keeps its brackets), the port as written, and
// whether the authority holds a user name or password ("user@host").
// Nothing when it is no web address or its authority is malformed.
struct WebAddressParts {
  std::string scheme;
  bool userInfo = false;
  std::string host;
  std::string port;
  std::string path;  // the rest from the first "/", "?" or "#"; may be empty
};
std::optional<WebAddressParts> SplitWebAddress(std::string_view address);

// localhost, 127.0.0.0/8 in dotted decimal, or [::1]: this computer.
bool IsLoopbackHost(std::string_view host);

// Where Updrift.exe may ask for the description: any https:// address, and
// plain http:// only on this computer (a test's or an administrator's local
// server); never with a user name or password in it.
bool IsAllowedSource(std::string_view address);

// Whether Updrift.exe may go on from `from` to `to`, the absolute address a
// redirect names: `to` must be an allowed source itself, and an https://
// answer never leads down to http://.
bool IsAllowedRedirect(std::string_view from, std::string_view to);

// A redirect's Location made absolute against the address that answered
// (absolute, "//host/...", "/path" or a relative path); nothing when it
// cannot be made into a web address.
std::optional<std::string> ResolveLocation(std::string_view from, std::string_view location);

// The address the new-version dialog opens: `address` when it is a web
// address on the host of `programPage` (or that host with "www."), without
// a user name; otherwise `programPage` itself. A link such as
// "https://horavex.kt@evil.example/" would show the program's host and open
// another.
std::string LinkTarget(std::string_view address, std::string_view programPage);

// `address` shortened for a label: while `fits` says no, the path loses its
// end and gets "…"; the scheme and the host always stay whole, since they
// tell the user where the link leads.
std::string ShortenedLink(std::string_view address, const std::function<bool(std::string_view)>& fits);

}  // namespace hx
