#include "base/cp1251.h"

#include <gtest/gtest.h>

namespace hx {

TEST(Cp1251, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
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
