#include "base/cp1251.h"

#include <gtest/gtest.h>

namespace hx {

// The characters of bytes 0x80 to 0xFF as Windows shows them, one row per
// 16 bytes; 0x98, unassigned, stands for U+0098.
TEST(Cp1251, EveryHighByteIsItsOwnCharacterBothWays) {
  const std::string rows =
      "ЂЃ‚ѓ„…†‡€‰Љ‹ЊЌЋЏ"                   // 80
      "ђ‘’“”•–—\u0098™љ›њќћџ"             // 90
      "\u00A0ЎўЈ¤Ґ¦§Ё©Є«¬\u00AD®Ї"       // A0
      "°±Ііґµ¶·ё№є»јЅѕї"                   // B0
      "АБВГДЕЖЗИЙКЛМНОП"                   // C0
      "РСТУФХЦЧШЩЪЫЬЭЮЯ"                   // D0
      "абвгдежзийклмноп"                   // E0
      "рстуфхцчшщъыьэюя";                  // F0
  const std::u32string expected = Utf8ToCodePoints(rows);
  ASSERT_EQ(expected.size(), 128u);
  for (int b = 0x80; b <= 0xFF; ++b) {
    const std::string byte(1, static_cast<char>(b));
    std::string character;
    AppendUtf8(character, expected[b - 0x80]);
    EXPECT_EQ(Cp1251ToUtf8(byte), character) << std::hex << b;
    EXPECT_EQ(Utf8ToCp1251(character), byte) << std::hex << b;
  }
  std::string ascii;
  for (int b = 1; b < 0x80; ++b) ascii += static_cast<char>(b);
  EXPECT_EQ(Cp1251ToUtf8(ascii), ascii);
  EXPECT_EQ(Utf8ToCp1251(ascii), ascii);
}

TEST(Cp1251, DecodesRussianAndPunctuation) {
  EXPECT_EQ(Cp1251ToUtf8("\xD1\xE8\xF1\xF2\xE5\xEC\xED\xEE\xE5"), "Системное");
  EXPECT_EQ(Cp1251ToUtf8("\xA8\xB8\x85\x96\xB9"), "Ёё…–№");
  EXPECT_EQ(Utf8ToCp1251("Дата"), "\xC4\xE0\xF2\xE0");
}

TEST(Cp1251, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1251("a€b"), "a\x88" "b");  // the euro sign is in CP1251
  EXPECT_EQ(Utf8ToCp1251("日本"), "??");
  EXPECT_EQ(Utf8ToCp1251("x😀y"), "x?y");
}

TEST(Cp1251, MalformedUtf8DoesNotSwallowFollowingText) {
  EXPECT_EQ(Utf8ToCp1251("a\xC3"), "a?");
  EXPECT_EQ(Utf8ToCp1251("\xFF" "ab"), "?ab");
  EXPECT_EQ(Utf8ToCp1251("\xD0" "A"), "?A");
}

TEST(Cp1251, OverlongSurrogateAndOutOfRangeFormsAreMalformed) {
  // An overlong "/" must not decode to "/"; each byte of a malformed
  // sequence gives one replacement.
  EXPECT_EQ(Utf8ToCp1251("\xC0\xAF" "a"), "??a");
  EXPECT_EQ(Utf8ToCp1251("\xE0\x80\xAF"), "???");
  EXPECT_EQ(Utf8ToCp1251("\xED\xA0\x80"), "???");         // U+D800, a surrogate half
  EXPECT_EQ(Utf8ToCp1251("\xF4\x90\x80\x80"), "????");   // beyond U+10FFFF
  EXPECT_EQ(Utf8ToCodePoints("\xC0\x80"), U"\uFFFD\uFFFD");
  // The shortest forms at each length's lower bound still decode.
  EXPECT_EQ(Utf8ToCodePoints("\xC2\x80\xE0\xA0\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"),
            U"\u0080\u0800\U00010000\U0010FFFF");
}

}  // namespace hx
