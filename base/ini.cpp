#include "base/ini.h"

#include <cstdint>

#include "base/textfile.h"

namespace hx {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// "[name]" gives name; any other line gives nothing.
std::optional<std::string_view> SectionHeaderName(std::string_view line) {
  line = TrimBlanks(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return TrimBlanks(line.substr(1, close - 1));
}

// "key=value" gives key; comment lines, blank lines and lines without "="
// give nothing.
std::optional<std::string_view> KeyOf(std::string_view line) {
  line = TrimBlanks(line);
  if (line.empty() || line.front() == ';') return std::nullopt;
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return TrimBlanks(line.substr(0, eq));
}

std::string_view ValueOf(std::string_view line) {
  std::string_view v = TrimBlanks(line.substr(line.find('=') + 1));
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return v;
}

// The text to store so that reading gives `value` back: the reader drops
// blanks around a value and one pair of matching quotes, so a value with
// blanks at either end, or wrapped in quotes itself, is stored inside
// double quotes.
std::string StoredValue(std::string_view value) {
  const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
  const bool padded = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
  if (!quoted && !padded) return std::string(value);
  return "\"" + std::string(value) + "\"";
}

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::optional<int> ParseIniInteger(std::string_view text) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (!text.empty() && text.front() == '$') {
    base = 16;
    text.remove_prefix(1);
  } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    value = value * base + digit;
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  if (base == 10) {
    if (value > (negative ? 2147483648ull : 2147483647ull)) return std::nullopt;
    return static_cast<int>(negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value));
  }
  // Hexadecimal text names the 32 bits directly, so $FFFFFFFF is -1; a
  // minus sign negates those bits modulo 2^32 (-$80000000 is the lowest
  // value, without the overflow of negating it as a signed number).
  const auto bits = static_cast<uint32_t>(value);
  return static_cast<int32_t>(negative ? 0u - bits : bits);
}

IniDocument IniDocument::Parse(std::string_view text) {
  IniDocument doc;
  doc.lines_ = SplitLines(text);
  return doc;
}

std::string IniDocument::Serialize() const {
  std::string out;
  for (const auto& line : lines_) {
    out += line;
    out += "\r\n";
  }
  return out;
}

std::optional<IniDocument::Range> IniDocument::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionHeaderName(lines_[i]);
    if (!name || !EqualsNoCase(*name, section)) continue;
    size_t end = i + 1;
    while (end < lines_.size() && !SectionHeaderName(lines_[end])) ++end;
    return Range{i, end};
  }
  return std::nullopt;
}

std::optional<size_t> IniDocument::FindKeyLine(const Range& r, std::string_view key) const {
  for (size_t i = r.header + 1; i < r.end; ++i) {
    const auto k = KeyOf(lines_[i]);
    if (k && EqualsNoCase(*k, key)) return i;
  }
  return std::nullopt;
}

bool IniDocument::HasSection(std::string_view section) const { return FindSection(section).has_value(); }

bool IniDocument::HasKey(std::string_view section, std::string_view key) const {
  return Find(section, key).has_value();
}

std::optional<std::string> IniDocument::Find(std::string_view section, std::string_view key) const {
  const auto r = FindSection(section);
  if (!r) return std::nullopt;
  const auto line = FindKeyLine(*r, key);
  if (!line) return std::nullopt;
  return std::string(ValueOf(lines_[*line]));
}

std::string IniDocument::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  auto v = Find(section, key);
  return v ? *v : std::string(def);
}

int IniDocument::ReadInteger(std::string_view section, std::string_view key, int def) const {
  const auto v = Find(section, key);
  if (!v) return def;
  return ParseIniInteger(*v).value_or(def);
}

bool IniDocument::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniDocument::WriteString(std::string_view section, std::string_view key, std::string_view text) {
  const std::string value = StoredValue(text);
  const auto r = FindSection(section);
  if (!r) {
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::string(key) + "=" + value);
    return;
  }
  if (const auto line = FindKeyLine(*r, key)) {
    lines_[*line] = std::string(*KeyOf(lines_[*line])) + "=" + value;
    return;
  }
  // After the last non-blank line of the section, so blank separators stay
  // between sections.
  size_t at = r->end;
  while (at > r->header + 1 && TrimBlanks(lines_[at - 1]).empty()) --at;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::string(key) + "=" + value);
}

void IniDocument::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniDocument::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::vector<std::string> IniDocument::SectionNames() const {
  std::vector<std::string> names;
  for (const auto& line : lines_)
    if (const auto name = SectionHeaderName(line)) names.emplace_back(*name);
  return names;
}

std::vector<std::string> IniDocument::KeyNames(std::string_view section) const {
  std::vector<std::string> keys;
  if (const auto r = FindSection(section))
    for (size_t i = r->header + 1; i < r->end; ++i)
      if (const auto k = KeyOf(lines_[i])) keys.emplace_back(*k);
  return keys;
}

std::vector<std::string> IniDocument::SectionLines(std::string_view section) const {
  std::vector<std::string> out;
  if (const auto r = FindSection(section))
    out.assign(lines_.begin() + static_cast<std::ptrdiff_t>(r->header + 1),
               lines_.begin() + static_cast<std::ptrdiff_t>(r->end));
  return out;
}

void IniDocument::EraseSection(std::string_view section) {
  if (const auto r = FindSection(section))
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(r->header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(r->end));
}

void IniDocument::EraseKey(std::string_view section, std::string_view key) {
  if (const auto r = FindSection(section))
    if (const auto line = FindKeyLine(*r, key)) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
}

}  // namespace hx
