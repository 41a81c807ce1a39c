// The conversion every text file goes through: CP1251 bytes on disk, UTF-8
// inside. Properties:
// - any bytes read as CP1251 give well-formed UTF-8 that converts back to
//   the same bytes;
// - the UTF-8 decoder takes exactly the well-formed sequences of the
//   Unicode standard (no overlong forms, no surrogates, nothing above
//   U+10FFFF) and gives one U+FFFD for every other byte;
// - converting any text to CP1251 gives one byte per character, each the
//   character itself or "?".
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/cp1251.h"
#include "fuzz/fuzz_check.h"

namespace {

using namespace hx;
using fuzz::Require;

// The length of the well-formed UTF-8 sequence at s[i] (Table 3-7 of the
// Unicode standard), or 0 when there is none.
size_t WellFormedLength(std::string_view s, size_t i) {
  const auto at = [&](size_t k) { return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0x100u; };
  const auto in = [](unsigned b, unsigned lo, unsigned hi) { return b >= lo && b <= hi; };
  const unsigned b0 = at(0);
  if (b0 <= 0x7F) return 1;
  if (in(b0, 0xC2, 0xDF)) return in(at(1), 0x80, 0xBF) ? 2 : 0;
  if (in(b0, 0xE0, 0xEF)) {
    const unsigned lo = b0 == 0xE0 ? 0xA0 : 0x80, hi = b0 == 0xED ? 0x9F : 0xBF;
    return in(at(1), lo, hi) && in(at(2), 0x80, 0xBF) ? 3 : 0;
  }
  if (in(b0, 0xF0, 0xF4)) {
    const unsigned lo = b0 == 0xF0 ? 0x90 : 0x80, hi = b0 == 0xF4 ? 0x8F : 0xBF;
    return in(at(1), lo, hi) && in(at(2), 0x80, 0xBF) && in(at(3), 0x80, 0xBF) ? 4 : 0;
  }
  return 0;
}

std::u32string ReferenceDecode(std::string_view s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    const size_t n = WellFormedLength(s, i);
    if (n == 0) {
      out += U'\uFFFD';
      ++i;
      continue;
    }
    const auto b0 = static_cast<unsigned char>(s[i]);
    char32_t cp = n == 1 ? b0 : n == 2 ? b0 & 0x1F : n == 3 ? b0 & 0x0F : b0 & 0x07;
    for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out += cp;
    i += n;
  }
  return out;
}

bool WellFormed(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const size_t n = WellFormedLength(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = fuzz::AsText(data, size);

  const std::string utf8 = Cp1251ToUtf8(bytes);
  Require(WellFormed(utf8), "CP1251 text converts to well-formed UTF-8");
  Require(Utf8ToCp1251(utf8) == bytes, "CP1251 bytes convert there and back unchanged");

  const std::u32string points = Utf8ToCodePoints(bytes);
  Require(points == ReferenceDecode(bytes), "the decoder takes exactly the well-formed sequences");

  const std::string narrowed = Utf8ToCp1251(bytes);
  Require(narrowed.size() == points.size(), "one CP1251 byte per character");
  for (size_t i = 0; i < points.size(); ++i) {
    if (narrowed[i] == '?' && points[i] != U'?') continue;
    const std::u32string back = Utf8ToCodePoints(Cp1251ToUtf8(narrowed.substr(i, 1)));
    Require(back.size() == 1 && back[0] == points[i], "a character CP1251 holds keeps its byte");
  }
  return 0;
}
