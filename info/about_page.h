// The About page as plain text, for a system that has no web browser
// control to show it: the page's words without its markup.
#pragma once
#include <string>
#include <string_view>

namespace hx {

// The readable text of a saved web page: the first text/html part of an
// MHTML document (MIME multipart, quoted-printable, base64 or 8-bit parts,
// charset windows-1251 or utf-8), or the whole file when it is plain HTML.
// UTF-8, lines ended by CR LF; empty when the document holds no HTML.
std::string MhtmlPlainText(std::string_view document);

// The text of an HTML fragment (UTF-8): tags removed, the contents of head,
// style and script left out, blocks on lines of their own, white space
// collapsed and character references decoded.
std::string HtmlToText(std::string_view html);

}  // namespace hx
