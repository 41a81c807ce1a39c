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

std::optional<std::vector<std::string>> ContainedNames(std::string_view entry) {
  if (entry.find(':') != std::string_view::npos) return std::nullopt;  // drive letter or stream
  if (entry.size() >= 2 && IsSeparator(entry[0]) && IsSeparator(entry[1])) return std::nullopt;  // UNC or device
  std::vector<std::string> names;
  size_t i = 0;
  while (i < entry.size()) {
    while (i < entry.size() && IsSeparator(entry[i])) ++i;
    const size_t start = i;
    while (i < entry.size() && !IsSeparator(entry[i])) ++i;
    const std::string_view part = entry.substr(start, i - start);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (names.empty()) return std::nullopt;
      names.pop_back();
      continue;
    }
    // Windows drops trailing dots and blanks of a name, so "..." or ".. "
    // may mean ".." there; any name made only of them is refused. A folder
    // name ending in one may be read as another folder than the one named.
    if (part.find_first_not_of(". ") == std::string_view::npos) return std::nullopt;
    const bool last = i >= entry.size();
    if (!last && (part.back() == '.' || part.back() == ' ')) return std::nullopt;
    names.emplace_back(part);
  }
  return names;
}

bool IsContainedRelativePath(std::string_view entry) { return ContainedNames(entry).has_value(); }

bool IsAbsolutePath(std::string_view path) {
  auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  auto driveFull = [&](std::string_view p) { return p.size() >= 3 && isLetter(p[0]) && p[1] == ':' && IsSeparator(p[2]); };
  if (driveFull(path)) return true;
  if (path.size() < 3 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
  if (path.size() >= 4 && path[2] == '?' && IsSeparator(path[3])) {
    const std::string_view rest = path.substr(4);
    if (driveFull(rest)) return true;
    if (!StartsWithAsciiNoCase(rest, "UNC") || rest.size() < 5 || !IsSeparator(rest[3])) return false;
    path = path.substr(8);  // "\\?\UNC\server\share" read as "\\server\share"
  } else if (path[2] == '.' || path[2] == '?') {
    return false;  // a device, or a prefix that is not a path
  } else {
    path = path.substr(2);
  }
  // A server name and a share name, both present.
  const size_t slash = path.find_first_of("\\/");
  if (slash == 0 || slash == std::string_view::npos) return false;
  size_t share = slash + 1;
  while (share < path.size() && IsSeparator(path[share])) ++share;
  return share < path.size();
}

}  // namespace hx::uninstall
