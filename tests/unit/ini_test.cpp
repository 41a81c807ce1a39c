#include "base/ini.h"

#include <gtest/gtest.h>

namespace hx {

TEST(IniInteger, AcceptsDecimalAndBothHexPrefixes) {
  EXPECT_EQ(ParseIniInteger("42"), 42);
  EXPECT_EQ(ParseIniInteger(" -7 "), -7);
  EXPECT_EQ(ParseIniInteger("$1F"), 31);
  EXPECT_EQ(ParseIniInteger("0x10"), 16);
  EXPECT_EQ(ParseIniInteger("$FFFFFFFF"), -1);
  EXPECT_EQ(ParseIniInteger("-2147483648"), INT32_MIN);
  // A minus before hexadecimal negates the bits modulo 2^32.
  EXPECT_EQ(ParseIniInteger("-$80000000"), INT32_MIN);
  EXPECT_EQ(ParseIniInteger("-$FFFFFFFF"), 1);
  EXPECT_EQ(ParseIniInteger("-$1"), -1);
}

TEST(IniInteger, RejectsTextThatIsNotAWholeInteger) {
  for (const char* bad : {"", "true", "12abc", "1.5", "0x", "$", "2147483648", "0x1FFFFFFFF", "- 1"})
    EXPECT_FALSE(ParseIniInteger(bad).has_value()) << bad;
}

TEST(IniDocument, NamesCompareWithoutCaseAndMissingGivesDefault) {
  auto doc = IniDocument::Parse("[Settings]\r\nAlphaSet = 200 \r\nVertical=1\r\n");
  EXPECT_EQ(doc.ReadInteger("settings", "ALPHASET", 0), 200);
  EXPECT_TRUE(doc.ReadBool("SETTINGS", "vertical", false));
  EXPECT_EQ(doc.ReadInteger("Settings", "Missing", 17), 17);
  EXPECT_EQ(doc.ReadInteger("Nope", "AlphaSet", 5), 5);
  EXPECT_EQ(doc.ReadString("Nope", "AlphaSet", "def"), "def");
}

TEST(IniDocument, BooleansReadAsIntegers) {
  auto doc = IniDocument::Parse("[A]\nt=true\nz=0\nn=-3\n");
  EXPECT_TRUE(doc.ReadBool("A", "t", true));    // text gives the default
  EXPECT_FALSE(doc.ReadBool("A", "t", false));
  EXPECT_FALSE(doc.ReadBool("A", "z", true));
  EXPECT_TRUE(doc.ReadBool("A", "n", false));   // any non-zero is true
}

TEST(IniDocument, ValuesLoseBlanksAndMatchingQuotesButKeepInnerText) {
  auto doc = IniDocument::Parse("[A]\nq=\"a b\"\ns='x'\nh=\"half\neq=a=b\n");
  EXPECT_EQ(doc.ReadString("A", "q", ""), "a b");
  EXPECT_EQ(doc.ReadString("A", "s", ""), "x");
  EXPECT_EQ(doc.ReadString("A", "h", ""), "\"half");
  EXPECT_EQ(doc.ReadString("A", "eq", ""), "a=b");
}

TEST(IniDocument, ValuesTheReaderWouldTrimOrUnquoteAreWrittenQuoted) {
  IniDocument doc;
  const char* values[] = {" Дом ", "\"Дом\"", "'x'", "\tTab", "end ", "\"\"", "a \"b\" c", "plain"};
  for (const char* value : values) doc.WriteString("A", "k", value);
  for (const char* value : values) {
    doc.WriteString("A", "k", value);
    EXPECT_EQ(doc.ReadString("A", "k", ""), value);
    EXPECT_EQ(IniDocument::Parse(doc.Serialize()).ReadString("A", "k", ""), value);
  }
  // Values the reader keeps as they are are written without quotes.
  EXPECT_EQ(doc.Serialize(), "[A]\r\nk=plain\r\n");
  doc.WriteString("A", "k", "\"half");
  EXPECT_EQ(doc.Serialize(), "[A]\r\nk=\"half\r\n");
}

TEST(IniDocument, FirstSectionAndFirstKeyOfANameWin) {
  auto doc = IniDocument::Parse("[A]\nk=1\nk=2\n[a]\nk=3\nj=4\n");
  EXPECT_EQ(doc.ReadInteger("A", "k", 0), 1);
  EXPECT_FALSE(doc.HasKey("A", "j"));
}

TEST(IniDocument, NewKeyGoesToTheEndOfItsSectionAndNewSectionToTheEnd) {
  auto doc = IniDocument::Parse("; comment\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
  doc.WriteInteger("a", "z", 3);
  doc.WriteString("C", "w", "v");
  doc.WriteInteger("B", "Y", 5);
  EXPECT_EQ(doc.Serialize(), "; comment\r\n[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=5\r\n[C]\r\nw=v\r\n");
}

TEST(IniDocument, KeepsLinesItDoesNotUnderstand) {
  const std::string text = "garbage line\r\n[S]\r\n;note=1\r\nkey=1\r\n";
  auto doc = IniDocument::Parse(text);
  EXPECT_EQ(doc.Serialize(), text);
  EXPECT_EQ(doc.KeyNames("S"), std::vector<std::string>{"key"});
}

TEST(IniDocument, EraseSectionAndKey) {
  auto doc = IniDocument::Parse("[A]\nx=1\ny=2\n[B]\nz=3\n");
  doc.EraseKey("A", "x");
  doc.EraseSection("b");
  EXPECT_EQ(doc.Serialize(), "[A]\r\ny=2\r\n");
  EXPECT_EQ(doc.SectionNames(), std::vector<std::string>{"A"});
}

}  // namespace hx
