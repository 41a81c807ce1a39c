// Conversion between UTF-8 (the program's inner text) and Windows code page
// 1251 (the text of its files).
#pragma once
#include <string>
#include <string_view>

namespace hx {

// Every CP1251 byte maps to one Unicode character and back. Byte 0x98 has no
// character of its own; like Windows, it maps to U+0098.
std::string Cp1251ToUtf8(std::string_view cp1251);

// A character that CP1251 cannot hold becomes "?". Malformed UTF-8 bytes
// become "?" too, one per byte.
std::string Utf8ToCp1251(std::string_view utf8);

// Decodes UTF-8 into code points; malformed bytes give U+FFFD each. Overlong
// forms, surrogates and values beyond U+10FFFF count as malformed.
std::u32string Utf8ToCodePoints(std::string_view utf8);
void AppendUtf8(std::string& out, char32_t cp);

// The first `count` characters of UTF-8 text, never splitting one.
std::string_view Utf8Prefix(std::string_view utf8, size_t count);

}  // namespace hx
