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

std::string LinkTarget(std::string_view address, std::string_view fallback) {
  const std::string_view trimmed = Trimmed(address);
  return std::string(IsWebAddress(trimmed) ? trimmed : fallback);
}

}  // namespace hx
