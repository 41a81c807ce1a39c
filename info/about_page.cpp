#include "info/about_page.h"

#include <algorithm>
#include <initializer_list>
#include <map>
#include <optional>
#include <vector>

#include "base/cp1251.h"

namespace hx {
namespace {

constexpr int kMaxNesting = 4;  // multipart inside multipart, as deep as saved pages go

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }
bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (LowerAscii(s[i]) != LowerAscii(prefix[i])) return false;
  return true;
}

// --- MIME: headers, content types, multipart bodies, transfer encodings. ---

struct Entity {
  std::map<std::string, std::string> headers;  // lower-case names, folded lines joined
  std::string_view body;
};

bool IsHeaderName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name)
    if (!IsAlpha(c) && !IsDigit(c) && c != '-' && c != '_') return false;
  return true;
}

// One line of `text` from `pos`, without its line end; `next` is where the
// following line starts (past the end of the text after the last line).
std::string_view LineAt(std::string_view text, size_t pos, size_t& next) {
  size_t end = text.find('\n', pos);
  if (end == std::string_view::npos) end = text.size();
  next = end + 1;
  std::string_view line = text.substr(pos, end - pos);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// The header block up to the first empty line, and the body after it. Text
// that does not start with a header has no headers and is all body.
Entity ParseEntity(std::string_view text) {
  Entity entity;
  std::string last;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t next = 0;
    const std::string_view line = LineAt(text, pos, next);
    if (line.empty()) {
      entity.body = next < text.size() ? text.substr(next) : std::string_view();
      return entity;
    }
    if ((line.front() == ' ' || line.front() == '\t') && !last.empty()) {
      entity.headers[last] += " " + std::string(Trim(line));
    } else {
      const size_t colon = line.find(':');
      const std::string_view name = colon == std::string_view::npos ? line : Trim(line.substr(0, colon));
      if (colon == std::string_view::npos || !IsHeaderName(name)) {
        if (entity.headers.empty()) return {{}, text};
        entity.body = text.substr(pos);  // a body that follows its headers without an empty line
        return entity;
      }
      last = Lower(name);
      entity.headers[last] = std::string(Trim(line.substr(colon + 1)));
    }
    pos = next;
  }
  return entity;
}

std::string Header(const Entity& entity, const std::string& name) {
  const auto it = entity.headers.find(name);
  return it == entity.headers.end() ? std::string() : it->second;
}

struct ContentType {
  std::string type;                           // lower case, such as "text/html"
  std::map<std::string, std::string> params;  // lower-case names, unquoted values
};

ContentType ParseContentType(std::string_view value) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (char c : value) {
    if (c == '"') quoted = !quoted;
    if (c == ';' && !quoted) {
      fields.emplace_back();
      continue;
    }
    fields.back() += c;
  }
  ContentType result;
  result.type = Lower(Trim(fields.front()));
  for (size_t i = 1; i < fields.size(); ++i) {
    const std::string_view field = Trim(fields[i]);
    const size_t eq = field.find('=');
    if (eq == std::string_view::npos) continue;
    std::string_view v = Trim(field.substr(eq + 1));
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    result.params[Lower(Trim(field.substr(0, eq)))] = std::string(v);
  }
  return result;
}

// The parts between the "--boundary" lines; the line end before a boundary
// line belongs to it. A last part that is never closed still counts.
std::vector<std::string_view> SplitMultipart(std::string_view body, const std::string& boundary) {
  const std::string delimiter = "--" + boundary;
  std::vector<std::string_view> parts;
  std::optional<size_t> start;
  size_t pos = 0;
  while (pos < body.size()) {
    size_t next = 0;
    const std::string_view line = LineAt(body, pos, next);
    if (line.substr(0, delimiter.size()) == delimiter) {
      const std::string_view rest = Trim(line.substr(delimiter.size()));
      if (rest.empty() || rest == "--") {
        if (start) {
          size_t end = pos;
          if (end > *start && body[end - 1] == '\n') --end;
          if (end > *start && body[end - 1] == '\r') --end;
          parts.push_back(body.substr(*start, end - *start));
        }
        if (rest == "--") return parts;
        start = std::min(next, body.size());
      }
    }
    pos = next;
  }
  if (start) parts.push_back(body.substr(*start));
  return parts;
}

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  c = LowerAscii(c);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::string DecodeQuotedPrintable(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '=') {
      out += s[i];
      continue;
    }
    // "=" at the end of a line (spaces may follow it) is a soft line break.
    size_t j = i + 1;
    while (j < s.size() && (s[j] == ' ' || s[j] == '\t')) ++j;
    if (j < s.size() && (s[j] == '\n' || s[j] == '\r')) {
      if (s[j] == '\r' && j + 1 < s.size() && s[j + 1] == '\n') ++j;
      i = j;
      continue;
    }
    if (j == s.size()) break;
    if (i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
      i += 2;
    } else {
      out += '=';
    }
  }
  return out;
}

std::string DecodeBase64(std::string_view s) {
  std::string out;
  unsigned bits = 0;
  int count = 0;
  for (char c : s) {
    int v = -1;
    if (c >= 'A' && c <= 'Z') v = c - 'A';
    else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
    else if (IsDigit(c)) v = c - '0' + 52;
    else if (c == '+') v = 62;
    else if (c == '/') v = 63;
    else if (c == '=') break;
    if (v < 0) continue;  // line ends and other noise
    bits = (bits << 6) | static_cast<unsigned>(v);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return out;
}

// The charset a page names in its <meta> tag, if any.
std::string MetaCharset(std::string_view html) {
  const std::string head = Lower(html.substr(0, 4096));
  size_t at = head.find("charset=");
  if (at == std::string::npos) return {};
  at += 8;
  if (at < head.size() && (head[at] == '"' || head[at] == '\'')) ++at;
  std::string name;
  while (at < head.size() && (IsAlpha(head[at]) || IsDigit(head[at]) || head[at] == '-' || head[at] == '_'))
    name += head[at++];
  return name;
}

std::string ToUtf8(std::string_view bytes, std::string charset) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
  charset = Lower(charset);
  if (charset == "utf-8" || charset == "utf8" || charset == "us-ascii") return std::string(bytes);
  return Cp1251ToUtf8(bytes);  // the program's own code page, and the page's as shipped
}

std::optional<std::string> FindHtml(std::string_view text, int depth) {
  const Entity entity = ParseEntity(text);
  const std::string typeHeader = Header(entity, "content-type");
  if (typeHeader.empty()) return std::nullopt;
  const ContentType type = ParseContentType(typeHeader);
  if (type.type.rfind("multipart/", 0) == 0) {
    const auto boundary = type.params.find("boundary");
    if (depth >= kMaxNesting || boundary == type.params.end() || boundary->second.empty()) return std::nullopt;
    for (std::string_view part : SplitMultipart(entity.body, boundary->second))
      if (auto html = FindHtml(part, depth + 1)) return html;
    return std::nullopt;
  }
  if (type.type != "text/html") return std::nullopt;
  const std::string encoding = Lower(Trim(Header(entity, "content-transfer-encoding")));
  const std::string bytes = encoding == "quoted-printable" ? DecodeQuotedPrintable(entity.body)
                            : encoding == "base64"         ? DecodeBase64(entity.body)
                                                           : std::string(entity.body);
  const auto charset = type.params.find("charset");
  return ToUtf8(bytes, charset != type.params.end() ? charset->second : MetaCharset(bytes));
}

// --- HTML to text. ---

// Named references a hand-written Russian page uses.
const std::map<std::string, char32_t, std::less<>> kEntities = {
    {"amp", U'&'},      {"lt", U'<'},       {"gt", U'>'},      {"quot", U'"'},     {"apos", U'\''},
    {"nbsp", U'\u00A0'}, {"laquo", U'«'},    {"raquo", U'»'},   {"mdash", U'—'},    {"ndash", U'–'},
    {"hellip", U'…'},   {"copy", U'©'},     {"reg", U'®'},     {"trade", U'™'},    {"rarr", U'→'},
    {"larr", U'←'},     {"bull", U'•'},     {"middot", U'·'},  {"deg", U'°'},      {"numero", U'№'},
};

class TextBuilder {
 public:
  void Text(std::string_view utf8) {
    if (pendingSpace_ && !out_.empty() && out_.back() != '\n') out_ += ' ';
    pendingSpace_ = false;
    out_ += utf8;
  }
  void Space() { pendingSpace_ = true; }
  void LineBreak() {
    out_ += '\n';
    pendingSpace_ = false;
  }
  void EnsureLine() {
    if (!out_.empty() && out_.back() != '\n') out_ += '\n';
    pendingSpace_ = false;
  }
  void EnsureParagraph() {
    EnsureLine();
    if (!out_.empty() && (out_.size() < 2 || out_[out_.size() - 2] != '\n')) out_ += '\n';
  }

  // Lines without trailing blanks, at most one empty line in a row, none at
  // either end; CR LF between them.
  std::string Finish() const {
    std::vector<std::string_view> lines;
    size_t pos = 0;
    const std::string_view all = out_;
    while (pos <= all.size()) {
      size_t end = all.find('\n', pos);
      if (end == std::string_view::npos) end = all.size();
      std::string_view line = all.substr(pos, end - pos);
      while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
      while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
      if (!(line.empty() && (lines.empty() || lines.back().empty()))) lines.push_back(line);
      pos = end + 1;
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i) text += "\r\n";
      text += lines[i];
    }
    return text;
  }

 private:
  std::string out_;
  bool pendingSpace_ = false;
};

bool OneOf(std::string_view name, std::initializer_list<std::string_view> names) {
  for (std::string_view n : names)
    if (name == n) return true;
  return false;
}

// The most a reference spans from its '&' to its ';', both included: the
// longest, "&#x10FFFF;", and one leading zero. The ';' is looked for this
// far and no further, so text full of '&' is still read in one pass.
constexpr size_t kMaxReferenceLength = 11;

// Decodes the reference at html[pos] ("&..."); `length` is how much it takes.
std::optional<char32_t> CharacterReference(std::string_view html, size_t pos, size_t& length) {
  const size_t semicolon = html.substr(pos, kMaxReferenceLength).find(';');
  if (semicolon == std::string_view::npos) return std::nullopt;
  const std::string_view name = html.substr(pos + 1, semicolon - 1);
  length = semicolon + 1;
  if (name.size() >= 2 && name[0] == '#') {
    const bool hex = name[1] == 'x' || name[1] == 'X';
    char32_t value = 0;
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return std::nullopt;
    for (char c : digits) {
      const int d = hex ? HexValue(c) : (IsDigit(c) ? c - '0' : -1);
      if (d < 0) return std::nullopt;
      value = value * (hex ? 16 : 10) + static_cast<char32_t>(d);
      if (value > 0x10FFFF) return std::nullopt;
    }
    return value == 0 ? std::nullopt : std::optional<char32_t>(value);
  }
  const auto it = kEntities.find(name);
  if (it == kEntities.end()) return std::nullopt;
  return it->second;
}

}  // namespace

std::string HtmlToText(std::string_view html) {
  TextBuilder text;
  size_t i = 0;
  while (i < html.size()) {
    const char c = html[i];
    if (c == '<') {
      if (html.substr(i, 4) == "<!--") {
        const size_t end = html.find("-->", i + 4);
        i = end == std::string_view::npos ? html.size() : end + 3;
        continue;
      }
      const bool closing = i + 1 < html.size() && html[i + 1] == '/';
      const size_t nameStart = i + (closing ? 2 : 1);
      const bool markup = nameStart < html.size() && (IsAlpha(html[nameStart]) || html[nameStart] == '!' ||
                                                      html[nameStart] == '?');
      if (markup) {
        size_t nameEnd = nameStart;
        while (nameEnd < html.size() && (IsAlpha(html[nameEnd]) || IsDigit(html[nameEnd]))) ++nameEnd;
        const std::string name = Lower(html.substr(nameStart, nameEnd - nameStart));
        // The tag ends at the first ">" outside quotes.
        size_t end = nameEnd;
        char quote = 0;
        while (end < html.size() && (quote || html[end] != '>')) {
          if (quote && html[end] == quote) quote = 0;
          else if (!quote && (html[end] == '"' || html[end] == '\'')) quote = html[end];
          ++end;
        }
        i = end < html.size() ? end + 1 : html.size();
        if (!closing && OneOf(name, {"head", "title", "style", "script", "noscript"})) {
          // Everything up to the element's end tag is not page text.
          const std::string endTag = "</" + name;
          size_t at = i;
          while (at < html.size() && !StartsWithNoCase(html.substr(at), endTag)) ++at;
          const size_t close = html.find('>', at);
          i = close == std::string_view::npos ? html.size() : close + 1;
          continue;
        }
        if (name == "br") {
          text.LineBreak();
        } else if (OneOf(name, {"p", "h1", "h2", "h3", "h4", "h5", "h6", "ul", "ol", "dl", "table", "blockquote",
                                "pre", "hr", "address"})) {
          text.EnsureParagraph();
        } else if (OneOf(name, {"div", "li", "tr", "dt", "dd", "body"})) {
          text.EnsureLine();
          if (name == "li" && !closing) text.Text("• ");
        } else if (OneOf(name, {"td", "th"})) {
          text.Space();
        }
        continue;
      }
    }
    if (IsSpace(c)) {
      text.Space();
      ++i;
      continue;
    }
    if (c == '&') {
      size_t length = 0;
      if (const auto cp = CharacterReference(html, i, length)) {
        std::string utf8;
        AppendUtf8(utf8, *cp == U'\u00A0' ? U' ' : *cp);
        text.Text(utf8);
        i += length;
        continue;
      }
    }
    // One UTF-8 sequence at a time, so a character is never split.
    size_t next = i + 1;
    while (next < html.size() && (static_cast<unsigned char>(html[next]) & 0xC0) == 0x80) ++next;
    text.Text(html.substr(i, next - i));
    i = next;
  }
  return text.Finish();
}

std::string MhtmlPlainText(std::string_view document) {
  const Entity top = ParseEntity(document);
  if (Header(top, "content-type").empty()) {
    // Not a MIME document: a plain web page is shown as it is.
    const std::string lower = Lower(document.substr(0, 4096));
    if (lower.find("<html") == std::string::npos && lower.find("<body") == std::string::npos) return {};
    return HtmlToText(ToUtf8(document, MetaCharset(document)));
  }
  const auto html = FindHtml(document, 0);
  return html ? HtmlToText(*html) : std::string();
}

}  // namespace hx
