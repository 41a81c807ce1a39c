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

}  // namespace hx
