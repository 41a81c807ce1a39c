// UTF-8 inside the program, UTF-16 at the Win32 call, and a code page's
// bytes where a file or an older interface wants them.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace hx::win {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// Between UTF-8 text and the bytes of a Windows code page (CP_ACP, CP_OEMCP
// or a number).
std::string FromCodePage(std::string_view bytes, unsigned codePage);
std::string ToCodePage(std::string_view utf8, unsigned codePage);
// The code page's bytes only when every character is held as itself: no
// best-fit look-alike ("S" for "Š") and no default "?" for one it lacks.
std::optional<std::string> ToCodePageExactly(std::string_view utf8, unsigned codePage);

}  // namespace hx::win
