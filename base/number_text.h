// Numbers as text without the C runtime's formatted printing, which would
// bring its whole floating-point formatter into the program file.
#pragma once
#include <string>

namespace hx {

// The number in decimal with zeros in front up to `width` characters, as
// printf's "%0*d" gives it: ZeroPadded(7, 2) is "07", ZeroPadded(-7, 3) "-07".
inline std::string ZeroPadded(long long value, size_t width) {
  const bool negative = value < 0;
  std::string digits = negative ? std::to_string(0ULL - static_cast<unsigned long long>(value)) : std::to_string(value);
  const size_t used = digits.size() + (negative ? 1 : 0);
  if (used < width) digits.insert(0, width - used, '0');
  return negative ? "-" + digits : digits;
}

}  // namespace hx
