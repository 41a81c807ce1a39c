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

}  // namespace hx::win
