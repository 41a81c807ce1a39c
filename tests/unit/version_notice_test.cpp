#include "update/version_notice.h"

#include <gtest/gtest.h>

namespace hx {
namespace {

TEST(VersionDescription, ReadsUtf8OrCp1251AndKeepsTheChangesInOrder) {
  const struct {
    const char* what;
    std::string bytes;
  } rows[] = {
      {"UTF-8 with a byte order mark, LF", "\xEF\xBB\xBF" "1.0.2\n15.06.2024\nhttps://horavex.kt/1.0.2\nНовое\nИсправлено\n\n"},
      {"CP1251, CR LF", "1.0.2\r\n15.06.2024\r\nhttps://horavex.kt/1.0.2\r\n\xCD\xEE\xE2\xEE\xE5\r\n"
                        "\xC8\xF1\xEF\xF0\xE0\xE2\xEB\xE5\xED\xEE\r\n"},
  };
  for (const auto& r : rows) {
    const auto d = ParseVersionDescription(r.bytes);
    ASSERT_TRUE(d.has_value()) << r.what;
    EXPECT_EQ(d->version, "1.0.2");
    EXPECT_EQ(d->date, "15.06.2024");
    EXPECT_EQ(d->page, "https://horavex.kt/1.0.2");
    EXPECT_EQ(d->changes, (std::vector<std::string>{"Новое", "Исправлено"})) << r.what;
    EXPECT_EQ(NewVersionFileText(*d), "1.0.2\r\n15.06.2024\r\nhttps://horavex.kt/1.0.2\r\nНовое\r\nИсправлено\r\n");
  }
  const auto bare = ParseVersionDescription("1.0.2\n15.06.2024\nhttp://horavex.kt/");
  ASSERT_TRUE(bare.has_value());
  EXPECT_TRUE(bare->changes.empty());
}

// CheckNVTrue.txt is CP1251, which turns what it lacks into "?": the page
// keeps only ASCII, so the link the user clicks is the one the site gave.
TEST(VersionDescription, PageLettersBeyondAsciiArePercentEncoded) {
  const auto d = ParseVersionDescription("1.0.2\n15.06.2024\nhttps://horavex.kt/новое/日本?a=1%20\n");
  ASSERT_TRUE(d.has_value());
  EXPECT_EQ(d->page, "https://horavex.kt/%D0%BD%D0%BE%D0%B2%D0%BE%D0%B5/%E6%97%A5%E6%9C%AC?a=1%20");
}

TEST(VersionDescription, AnythingElseIsNoDescription) {
  const char* rows[] = {
      "",
      "<html><body>502 Bad Gateway</body></html>\n",
      "1.0.2\n15.06.2024\n",
      "1.0.2beta\n15.06.2024\nhttps://horavex.kt/\n",
      "v1.0.2\n15.06.2024\nhttps://horavex.kt/\n",
      "1..2\n15.06.2024\nhttps://horavex.kt/\n",
      "1.0.2\n\nhttps://horavex.kt/\n",
      "1.0.2\n15.06.2024\nfile:///C:/Windows/system32/calc.exe\n",
      "1.0.2\n15.06.2024\nhttps://horavex.kt/ \"x\"\n",
  };
  for (const char* text : rows) EXPECT_FALSE(ParseVersionDescription(text).has_value()) << text;
  // Its CheckNVTrue.txt, with CR LF line ends, would exceed the limit.
  const std::string head = "1.0.2\n15.06.2024\nhttps://horavex.kt/\n";
  std::string lines = head + std::string((kMaxDescriptionBytes - head.size()) / 2, '\n') + "x";
  EXPECT_FALSE(ParseVersionDescription(lines).has_value());
  lines.resize(kMaxDescriptionBytes / 2);
  EXPECT_TRUE(ParseVersionDescription(lines + "x").has_value());
}

TEST(VersionDescription, NewerComparesNumbersPartByPart) {
  const struct {
    const char* candidate;
    bool newer;
  } rows[] = {{"1.0.2", true},  {"1.0.1", false}, {"1.0.1.0", false}, {"1.0.0", false}, {"1.0.10", true},
              {"1.1", true},    {"2", true},      {"0.9.9", false},   {"1.0.1.1", true}, {"1.0.x", false},
              {"", false}};
  for (const auto& r : rows) EXPECT_EQ(IsNewerVersion(r.candidate, "1.0.1"), r.newer) << r.candidate;
  EXPECT_TRUE(IsNewerVersion("1.0.10", "1.0.9"));
}

TEST(NewVersionNotice, MissingLinesLeaveFieldsEmptyAndChangesFollowInOrder) {
  const NewVersionNotice three = ParseNewVersionNotice("1.0.2\r\n15.06.2024\r\nhttps://horavex.kt/\r\n");
  EXPECT_EQ(three.version, "1.0.2");
  EXPECT_EQ(three.date, "15.06.2024");
  EXPECT_EQ(three.page, "https://horavex.kt/");
  EXPECT_EQ(three.changes, "");

  std::string ten = "1.0.2\r\nd\r\np\r\n";
  for (int i = 1; i <= 7; ++i) ten += "change " + std::to_string(i) + "\r\n";
  EXPECT_EQ(ParseNewVersionNotice(ten).changes,
            "change 1\r\nchange 2\r\nchange 3\r\nchange 4\r\nchange 5\r\nchange 6\r\nchange 7");

  const NewVersionNotice one = ParseNewVersionNotice("1.0.2");
  EXPECT_EQ(one.version, "1.0.2");
  EXPECT_EQ(one.date, "");
  EXPECT_EQ(one.page, "");
}

TEST(LinkTarget, OnlyPagesOfTheProgramsSiteOpenOtherwiseTheProgramsPage) {
  const std::string page = "https://horavex.kt/";
  const struct {
    const char* shown;
    const char* opened;
  } rows[] = {
      {"http://horavex.kt/news", "http://horavex.kt/news"},
      {"HTTPS://WWW.Horavex.KT:8443/a?b=c&d=%20", "HTTPS://WWW.Horavex.KT:8443/a?b=c&d=%20"},
      {"  https://horavex.kt/1.0.2  ", "https://horavex.kt/1.0.2"},
      {"https://horavex.kt?x=@y", "https://horavex.kt?x=@y"},
      {"https://horavex.kt@evil.example/", "https://horavex.kt/"},
      {"https://user:pw@horavex.kt/", "https://horavex.kt/"},
      {"https://evil.example#@horavex.kt/", "https://horavex.kt/"},
      {"https://horavex.kt.evil.example/", "https://horavex.kt/"},
      {"https://evilhoravex.kt/", "https://horavex.kt/"},
      {"https://horavex.kt%2Eevil.example/", "https://horavex.kt/"},
      {"http://example.org/news", "https://horavex.kt/"},
      {"C:\\Windows\\system32\\calc.exe", "https://horavex.kt/"},
      {"file:///C:/Windows/system32/calc.exe", "https://horavex.kt/"},
      {"javascript:alert(1)", "https://horavex.kt/"},
      {"http://", "https://horavex.kt/"},
      {"http://horavex.kt/a b", "https://horavex.kt/"},
      {"http://horavex.kt/a\"b", "https://horavex.kt/"},
      {"", "https://horavex.kt/"},
  };
  for (const auto& r : rows) EXPECT_EQ(LinkTarget(r.shown, page), r.opened) << r.shown;
}

// A label `width` bytes wide.
TEST(ShortenedLink, CutsThePathNeverTheHost) {
  const struct {
    const char* address;
    size_t width;
    const char* shown;
  } rows[] = {
      {"https://horavex.kt/news/1.0.2", 40, "https://horavex.kt/news/1.0.2"},
      {"https://horavex.kt/news/1.0.2", 26, "https://horavex.kt/news…"},
      {"https://horavex.kt/news/1.0.2", 5, "https://horavex.kt/…"},
      {"https://www.horavex.kt:8443", 5, "https://www.horavex.kt:8443"},
      {"https://horavex.kt/новое", 25, "https://horavex.kt/н…"},
  };
  for (const auto& r : rows) {
    const auto fits = [&](std::string_view text) { return text.size() <= r.width; };
    EXPECT_EQ(ShortenedLink(r.address, fits), r.shown) << r.address << " in " << r.width;
  }
}

TEST(UpdateSource, HttpsAnywhereHttpOnlyOnThisComputerRedirectsNeverDown) {
  const struct {
    const char* address;
    bool source;
    bool fromHttps;  // allowed as a redirect from an https:// address
    bool fromLoopback;  // allowed as a redirect from http://127.0.0.1/
  } rows[] = {
      {"https://horavex.kt/update/horavex-kt.txt", true, true, true},
      {"https://mirror.example:8443/x", true, true, true},
      {"http://127.0.0.1:8080/x", true, false, true},
      {"http://127.255.0.1/", true, false, true},
      {"http://LOCALHOST/x", true, false, true},
      {"http://[::1]:81/x", true, false, true},
      {"http://horavex.kt/update/horavex-kt.txt", false, false, false},
      {"http://0.0.0.0/", false, false, false},
      {"http://128.0.0.1/", false, false, false},
      {"http://127.0.0.256/", false, false, false},
      {"http://127.1/", false, false, false},
      {"http://127.0.0.1.evil.example/", false, false, false},
      {"http://localhost.evil.example/", false, false, false},
      {"http://127.0.0.1@evil.example/", false, false, false},
      {"https://user@horavex.kt/", false, false, false},
      {"https://horavex.kt:99999/", false, false, false},
      {"ftp://horavex.kt/", false, false, false},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(IsAllowedSource(r.address), r.source) << r.address;
    EXPECT_EQ(IsAllowedRedirect("https://horavex.kt/update/horavex-kt.txt", r.address), r.fromHttps) << r.address;
    EXPECT_EQ(IsAllowedRedirect("http://127.0.0.1/", r.address), r.fromLoopback) << r.address;
  }
}

TEST(UpdateSource, ALocationIsReadAgainstTheAddressThatAnswered) {
  const std::string from = "https://horavex.kt:8443/update/horavex-kt.txt?v=1";
  const struct {
    const char* location;
    const char* resolved;  // "" for none
  } rows[] = {
      {"https://mirror.example/x", "https://mirror.example/x"},
      {"  http://127.0.0.1/x  ", "http://127.0.0.1/x"},
      {"//mirror.example/x", "https://mirror.example/x"},
      {"/new/horavex-kt.txt", "https://horavex.kt:8443/new/horavex-kt.txt"},
      {"moved.txt", "https://horavex.kt:8443/update/moved.txt"},
      {"ftp://horavex.kt/x", ""},
      {"file:///C:/x", ""},
      {"", ""},
  };
  for (const auto& r : rows) EXPECT_EQ(ResolveLocation(from, r.location).value_or(""), r.resolved) << r.location;
  EXPECT_EQ(ResolveLocation("http://127.0.0.1:81", "a.txt").value_or(""), "http://127.0.0.1:81/a.txt");
}

}  // namespace
}  // namespace hx
