#include "update/version_notice.h"

#include <algorithm>
#include <cctype>

#include "base/cp1251.h"
#include "base/textfile.h"

namespace hx {
namespace {

constexpr size_t kMaxAddress = 2048;
constexpr size_t kMaxDate = 64;

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

bool ValidUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > bytes.size()) return false;
    for (size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

// An address with its non-ASCII bytes (UTF-8) written as %XX, the way a
// browser sends it: ASCII survives every code page the files are kept in.
std::string PercentEncodedBeyondAscii(std::string_view address) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : address) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80) {
      out += c;
      continue;
    }
    out += '%';
    out += kHex[u >> 4];
    out += kHex[u & 0xF];
  }
  return out;
}

// Control characters other than the tab become blanks: a line of the
// description is shown as one line.
std::string Printable(std::string_view line) {
  std::string out(line);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') c = ' ';
  return out;
}

std::optional<std::vector<long>> VersionParts(std::string_view text) {
  text = Trimmed(text);
  std::vector<long> parts;
  size_t i = 0;
  while (true) {
    long value = 0;
    size_t digits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
      if (++digits > 6) return std::nullopt;
      value = value * 10 + (text[i++] - '0');
    }
    if (digits == 0) return std::nullopt;
    parts.push_back(value);
    if (i == text.size()) break;
    if (text[i++] != '.' || parts.size() == 4) return std::nullopt;
  }
  return parts;
}

}  // namespace

std::optional<VersionDescription> ParseVersionDescription(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  const std::string text = ValidUtf8(bytes) ? std::string(bytes) : Cp1251ToUtf8(bytes);
  std::vector<std::string> lines = SplitLines(text);
  while (!lines.empty() && Trimmed(lines.back()).empty()) lines.pop_back();
  if (lines.size() < 3) return std::nullopt;

  VersionDescription d;
  d.version = Trimmed(lines[0]);
  d.date = Printable(Trimmed(lines[1]));
  d.page = PercentEncodedBeyondAscii(Trimmed(lines[2]));
  if (!VersionParts(d.version) || d.date.empty() || d.date.size() > kMaxDate || !IsWebAddress(d.page))
    return std::nullopt;
  for (size_t i = 3; i < lines.size(); ++i) d.changes.push_back(Printable(lines[i]));
  // Line ends grow to CR LF in the file: a description just below the limit
  // could give a file above it, which the clock would not read.
  if (Utf8ToCp1251(NewVersionFileText(d)).size() > kMaxDescriptionBytes) return std::nullopt;
  return d;
}

bool IsNewerVersion(std::string_view candidate, std::string_view current) {
  const auto a = VersionParts(candidate), b = VersionParts(current);
  if (!a || !b) return false;
  for (size_t i = 0; i < std::max(a->size(), b->size()); ++i) {
    const long x = i < a->size() ? (*a)[i] : 0, y = i < b->size() ? (*b)[i] : 0;
    if (x != y) return x > y;
  }
  return false;
}

std::string NewVersionFileText(const VersionDescription& d) {
  std::string text = d.version + "\r\n" + d.date + "\r\n" + d.page + "\r\n";
  for (const std::string& line : d.changes) text += line + "\r\n";
  return text;
}

NewVersionNotice ParseNewVersionNotice(std::string_view utf8) {
  const std::vector<std::string> lines = SplitLines(utf8);
  NewVersionNotice n;
  if (lines.size() > 0) n.version = lines[0];
  if (lines.size() > 1) n.date = lines[1];
  if (lines.size() > 2) n.page = lines[2];
  for (size_t i = 3; i < lines.size(); ++i) {
    if (i > 3) n.changes += "\r\n";
    n.changes += lines[i];
  }
  return n;
}

bool IsWebAddress(std::string_view text) {
  size_t start = 0;
  if (StartsWithNoCase(text, "http://")) start = 7;
  else if (StartsWithNoCase(text, "https://")) start = 8;
  else return false;
  if (text.size() == start || text.size() > kMaxAddress) return false;
  return std::none_of(text.begin(), text.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7F || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' || c == '`' ||
           c == '{' || c == '|' || c == '}';
  });
}

std::optional<WebAddressParts> SplitWebAddress(std::string_view address) {
  if (!IsWebAddress(address)) return std::nullopt;
  WebAddressParts parts;
  const size_t colon = address.find(':');
  parts.scheme = Lower(address.substr(0, colon));
  const std::string_view rest = address.substr(colon + 3);
  const size_t end = rest.find_first_of("/?#");
  std::string_view authority = rest.substr(0, end);
  if (end != std::string_view::npos) parts.path = rest.substr(end);
  if (const size_t at = authority.rfind('@'); at != std::string_view::npos) {
    parts.userInfo = true;
    authority.remove_prefix(at + 1);
  }
  std::string_view host = authority, port;
  bool hostCharsOk = true;
  if (host.starts_with('[')) {
    const size_t close = host.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    const std::string_view after = host.substr(close + 1);
    if (!after.empty() && after.front() != ':') return std::nullopt;
    if (!after.empty()) port = after.substr(1);
    host = host.substr(0, close + 1);
    hostCharsOk = host.size() > 2 && std::all_of(host.begin() + 1, host.end() - 1, [](char c) {
                    return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
                  });
  } else {
    if (const size_t c = host.find(':'); c != std::string_view::npos) {
      port = host.substr(c + 1);
      host = host.substr(0, c);
    }
    hostCharsOk = !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
      return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.';
    });
  }
  const bool portOk = port.size() <= 5 && std::all_of(port.begin(), port.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c));
  }) && (port.empty() || std::stol(std::string(port)) <= 65535);
  if (!hostCharsOk || !portOk) return std::nullopt;
  parts.host = Lower(host);
  parts.port = port;
  return parts;
}

bool IsLoopbackHost(std::string_view host) {
  const std::string h = Lower(host);
  if (h == "localhost" || h == "[::1]") return true;
  // Four decimal numbers 0..255, the first 127.
  size_t i = 0;
  int numbers = 0, first = -1;
  while (true) {
    size_t digits = 0;
    int value = 0;
    while (i < h.size() && std::isdigit(static_cast<unsigned char>(h[i]))) {
      if (++digits > 3) return false;
      value = value * 10 + (h[i++] - '0');
    }
    if (digits == 0 || value > 255) return false;
    if (numbers++ == 0) first = value;
    if (i == h.size()) break;
    if (h[i++] != '.') return false;
  }
  return numbers == 4 && first == 127;
}

bool IsAllowedSource(std::string_view address) {
  const auto parts = SplitWebAddress(address);
  return parts && !parts->userInfo && (parts->scheme == "https" || IsLoopbackHost(parts->host));
}

bool IsAllowedRedirect(std::string_view from, std::string_view to) {
  const auto a = SplitWebAddress(from), b = SplitWebAddress(to);
  return a && b && IsAllowedSource(to) && !(a->scheme == "https" && b->scheme == "http");
}

std::optional<std::string> ResolveLocation(std::string_view from, std::string_view location) {
  location = Trimmed(location);
  const auto base = SplitWebAddress(from);
  if (!base || location.empty()) return std::nullopt;
  std::string resolved;
  const size_t schemeEnd = location.find(':');
  if (schemeEnd != std::string_view::npos && location.find_first_of("/?#") > schemeEnd) {
    resolved = location;  // names its own scheme
  } else {
    const std::string origin(from.substr(0, from.size() - base->path.size()));
    if (location.starts_with("//")) {
      resolved = base->scheme + ":" + std::string(location);
    } else if (location.front() == '/') {
      resolved = origin + std::string(location);
    } else {
      // Beside the answering address: its path up to the last "/".
      const std::string_view path = std::string_view(base->path).substr(0, base->path.find_first_of("?#"));
      const size_t slash = path.rfind('/');
      resolved = origin + (slash == std::string_view::npos ? "/" : std::string(path.substr(0, slash + 1))) +
                 std::string(location);
    }
  }
  if (!IsWebAddress(resolved)) return std::nullopt;
  return resolved;
}

std::string LinkTarget(std::string_view address, std::string_view programPage) {
  const std::string_view trimmed = Trimmed(address);
  const auto link = SplitWebAddress(trimmed), page = SplitWebAddress(programPage);
  const bool ours = link && page && !link->userInfo && (link->host == page->host || link->host == "www." + page->host);
  return std::string(ours ? trimmed : programPage);
}

std::string ShortenedLink(std::string_view address, const std::function<bool(std::string_view)>& fits) {
  const auto parts = SplitWebAddress(address);
  if (fits(address) || !parts || parts->path.size() <= 1) return std::string(address);
  const std::string_view origin = address.substr(0, address.size() - parts->path.size());
  const std::string_view path = address.substr(origin.size());
  // The path's first `keep` bytes, never ending inside a UTF-8 sequence.
  const auto cut = [&](size_t keep) {
    while (keep > 0 && (static_cast<unsigned char>(path[keep]) & 0xC0) == 0x80) --keep;
    return std::string(origin) + std::string(path.substr(0, keep)) + "…";
  };
  // The path's first character ("/", "?" or "#") stays: it ends the host.
  size_t best = 1, low = 2, high = path.size() - 1;
  while (low <= high) {
    const size_t middle = (low + high) / 2;
    if (fits(cut(middle))) {
      best = middle;
      low = middle + 1;
    } else {
      high = middle - 1;
    }
  }
  return cut(best);
}

}  // namespace hx
