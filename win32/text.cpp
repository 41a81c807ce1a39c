#include "win32/text.h"

#include <windows.h>

namespace hx::win {
namespace {

std::wstring BytesToWide(std::string_view bytes, UINT codePage) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

std::string WideToBytes(std::wstring_view wide, UINT codePage) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

std::wstring Widen(std::string_view utf8) { return BytesToWide(utf8, CP_UTF8); }
std::string Narrow(std::wstring_view utf16) { return WideToBytes(utf16, CP_UTF8); }

std::string FromCodePage(std::string_view bytes, unsigned codePage) { return Narrow(BytesToWide(bytes, codePage)); }
std::string ToCodePage(std::string_view utf8, unsigned codePage) { return WideToBytes(Widen(utf8), codePage); }

std::optional<std::string> ToCodePageExactly(std::string_view utf8, unsigned codePage) {
  const std::wstring wide = Widen(utf8);
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(n, '\0');
  WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, out.data(), n, nullptr, &usedDefault);
  // The bytes must read back as the same text.
  if (usedDefault || BytesToWide(out, codePage) != wide) return std::nullopt;
  return out;
}

}  // namespace hx::win
