// The fuzz targets' way to report a broken property: the message goes to
// stderr and the process aborts, so libFuzzer saves the input as a crash and
// the message tells which property failed.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace hx::fuzz {

inline void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "Property failed: %s\n", property);
  std::abort();
}

inline std::string_view AsText(const unsigned char* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace hx::fuzz
