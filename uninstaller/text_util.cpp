#include "uninstaller/text_util.h"

namespace hx::uninstall {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool StartsWithAsciiNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = Lower(c);
  return out;
}

std::vector<std::string> SplitCrLfLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::string JoinCrLf(const std::vector<std::string>& lines) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) out += "\r\n";
    out += lines[i];
  }
  return out;
}

std::string FillPlaceholders(std::string_view pattern, const std::vector<std::string>& args) {
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' && next < args.size()) {
      out += args[next++];
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::string FolderOf(std::string_view path) {
  const size_t pos = path.find_last_of("\\/");
  return pos == std::string_view::npos ? std::string() : std::string(path.substr(0, pos));
}

std::string NameOf(std::string_view path) {
  const size_t pos = path.find_last_of("\\/");
  return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string WithExtension(std::string_view path, std::string_view extension) {
  const size_t slash = path.find_last_of("\\/");
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
    return std::string(path) + std::string(extension);
  return std::string(path.substr(0, dot)) + std::string(extension);
}

std::string WithoutTrailingSeparators(std::string_view path) {
  size_t end = path.size();
  while (end > 1 && IsSeparator(path[end - 1])) --end;
  return std::string(path.substr(0, end));
}

bool IsDriveRoot(std::string_view folder) {
  std::string f(folder);
  // Long-path and device prefixes: \\?\C:\..., \\?\UNC\server\share, \\.\...
  if (f.size() >= 4 && IsSeparator(f[0]) && IsSeparator(f[1]) && (f[2] == '?' || f[2] == '.') && IsSeparator(f[3])) {
    f.erase(0, 4);
    if (StartsWithAsciiNoCase(f, "UNC") && (f.size() == 3 || IsSeparator(f[3]))) f = "\\\\" + f.substr(3);
  }
  while (!f.empty() && IsSeparator(f.back())) f.pop_back();
  if (f.empty()) return true;                      // "\" : the current drive's root
  if (f.size() == 2 && f[1] == ':') return true;   // "C:" or "C:\"
  if (f.size() >= 2 && IsSeparator(f[0]) && IsSeparator(f[1])) {
    // \\server or \\server\share with nothing below.
    size_t parts = 0;
    for (size_t i = 2; i < f.size();) {
      while (i < f.size() && IsSeparator(f[i])) ++i;
      if (i >= f.size()) break;
      ++parts;
      while (i < f.size() && !IsSeparator(f[i])) ++i;
    }
    return parts <= 2;
  }
  return false;
}

bool IsContainedRelativePath(std::string_view entry) {
  if (entry.find(':') != std::string_view::npos) return false;  // drive letter or stream
  if (entry.size() >= 2 && IsSeparator(entry[0]) && IsSeparator(entry[1])) return false;  // UNC or device
  int depth = 0;
  size_t i = 0;
  while (i < entry.size()) {
    while (i < entry.size() && IsSeparator(entry[i])) ++i;
    const size_t start = i;
    while (i < entry.size() && !IsSeparator(entry[i])) ++i;
    const std::string_view part = entry.substr(start, i - start);
    if (part.empty() || part == ".") continue;
    // Windows drops trailing dots and blanks of a name, so "..." or ".. "
    // may mean ".." there; any name made only of them is refused.
    const bool onlyDots = part.find_first_not_of(". ") == std::string_view::npos;
    if (part == "..") {
      if (--depth < 0) return false;
    } else if (onlyDots) {
      return false;
    } else {
      ++depth;
    }
  }
  return true;
}

}  // namespace hx::uninstall
