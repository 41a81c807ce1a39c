// The fuzz targets' way to report a broken property: the message goes to
// stderr and the process aborts, so libFuzzer saves the input as a crash and
// the message tells which property failed.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace hx::fuzz {

inline void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "Property failed: %s\n", property);
  std::abort();
}

inline std::string_view AsText(const unsigned char* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The lines of a text whose lines end with CR LF, as the uninstaller's
// files are read; a last line without CR LF counts too.
inline std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace hx::fuzz
