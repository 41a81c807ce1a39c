#include "info/about_page.h"

#include <gtest/gtest.h>

#include <chrono>

#include "base/cp1251.h"

namespace hx {

TEST(AboutPageText, SavedPagesGiveTheirHtmlPartAsText) {
  const std::string cp1251Body = Utf8ToCp1251("<p>Часы Horavex.KT</p>");
  struct Case {
    const char* what;
    std::string document;
    std::string text;
  };
  const Case cases[] = {
      {"8-bit windows-1251 part after a style sheet",
       "MIME-Version: 1.0\r\nContent-Type: multipart/related;\r\n\tboundary=\"--b1\"; type=\"text/html\"\r\n\r\n"
       "This is a multi-part message.\r\n\r\n----b1\r\nContent-Type: text/css\r\n\r\np { color: red }\r\n"
       "----b1\r\nContent-Type: text/html; charset=\"windows-1251\"\r\nContent-Transfer-Encoding: 8bit\r\n\r\n" +
           cp1251Body + "\r\n----b1--\r\n",
       "Часы Horavex.KT"},
      {"quoted-printable with a soft line break; charset from the page's meta tag",
       "Content-Type: multipart/related; boundary=b\r\n\r\n--b\r\nContent-Type: text/html\r\n"
       "Content-Transfer-Encoding: quoted-printable\r\n\r\n<meta http-equiv=3D\"Content-Type\" content=3D\"text/html; "
       "charset=3Dwindows-1251\">=D7=E0=F1=FB =\r\n=E8 =E4=E0=F2=E0\r\n--b--\r\n",
       "Часы и дата"},
      {"base64 utf-8 inside a nested multipart, LF line ends",
       "Content-Type: multipart/related; boundary=\"outer\"\n\n--outer\nContent-Type: multipart/alternative; "
       "boundary=inner\n\n--inner\nContent-Type: text/plain\n\nplain\n--inner\nContent-Type: text/html; "
       "charset=utf-8\nContent-Transfer-Encoding: base64\n\nPGI+0J/RgNC40LLQtdGCPC9i\nPg==\n--inner--\n--outer--\n",
       "Привет"},
      {"a plain web page", "<html><head><title>T</title></head><body>Plain <b>page</b></body></html>", "Plain page"},
      {"a message without HTML", "Content-Type: text/plain\r\n\r\nhello\r\n", ""},
      {"no MIME and no HTML", "just words", ""},
      {"a multipart without its boundary", "Content-Type: multipart/related\r\n\r\n--x\r\n", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(MhtmlPlainText(c.document), c.text) << c.what;
}

TEST(AboutPageText, MarkupBecomesLinesOfText) {
  struct Case {
    const char* html;
    const char* text;
  };
  const Case cases[] = {
      {"<h1>Title</h1><p>One\n   two</p><p>Three</p>", "Title\r\n\r\nOne two\r\n\r\nThree"},
      {"<ul><li>a</li><li>b</li></ul>after", "• a\r\n• b\r\n\r\nafter"},
      {"line<br>next<BR/>last", "line\r\nnext\r\nlast"},
      {"<style>p{x:1}</style><script>if (a<b) x();</script><!-- note -->text", "text"},
      {"&laquo;A&raquo; &amp; B &#1071; &#x44F;&nbsp;&unknown; 3 &lt; 4", "«A» & B Я я &unknown; 3 < 4"},
      {"<a href=\"x>y\" title='q'>link</a> a < b", "link a < b"},
      {"<p>unclosed <b", "unclosed"},
  };
  for (const Case& c : cases) EXPECT_EQ(HtmlToText(c.html), c.text) << c.html;
}

// A reference ends at a ';' close to its '&': "&#x10FFFF;" is the longest,
// and a ';' further on belongs to other text.
TEST(AboutPageText, CharacterReferencesEndNearTheirAmpersand) {
  struct Case {
    std::string html;
    std::string text;
  };
  const Case cases[] = {
      {"&#x10FFFF;|&#1114111;|&hellip;|&numero;", "\xF4\x8F\xBF\xBF|\xF4\x8F\xBF\xBF|…|№"},
      {"&#00000065;", "A"},                       // a leading zero still fits
      {"&#000000065;", "&#000000065;"},           // one more does not
      {"&#x110000; &#0; &#; &#xZZ;", "&#x110000; &#0; &#; &#xZZ;"},
      {"fish & chips; tea", "fish & chips; tea"},
      {"R&D" + std::string(100, 'x') + ";", "R&D" + std::string(100, 'x') + ";"},
      {"&amp", "&amp"},
      {"&&&amp;;", "&&&;"},
  };
  for (const Case& c : cases) EXPECT_EQ(HtmlToText(c.html), c.text) << c.html;

  // A page of nothing but '&' is read in one pass, not one pass per '&':
  // it takes about as long as a page of plain letters timed beside it on
  // the same (perhaps busy) machine, where a pass per '&' would take hours.
  const auto timed = [](const std::string& html) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(HtmlToText(html), html);
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  };
  const auto letters = timed(std::string(1 << 20, 'a'));
  const auto ampersands = timed(std::string(1 << 20, '&'));
  EXPECT_LT(ampersands, 20 * letters + 500) << "1 MiB of '&' took " << ampersands << " ms, of letters " << letters;
}

}  // namespace hx
