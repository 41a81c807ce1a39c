#include "win32/system.h"

#include <windows.h>

#include "win32/text.h"

namespace hx::win {

std::filesystem::path ProgramFile() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n < buffer.size()) {
      buffer.resize(n);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::filesystem::path ProgramFolder() { return ProgramFile().parent_path(); }

DateTime LocalNow() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds, st.wDayOfWeek};
}

std::string ShortDateText(const DateTime& date) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(date.year);
  st.wMonth = static_cast<WORD>(date.month);
  st.wDay = static_cast<WORD>(date.day);
  st.wDayOfWeek = static_cast<WORD>(date.dayOfWeek);
  wchar_t text[80];
  const int n = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, 80);
  return n > 0 ? Narrow(std::wstring_view(text, n - 1)) : std::string();
}

// The program's manifest declares the systems it was tested on, so Windows
// 8.1 and later report their own version here rather than 6.2.
std::optional<OsVersion> QueryOsVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExW(&info)) return std::nullopt;
  return OsVersion{info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

std::string CurrentUserName() {
  wchar_t name[257];
  DWORD size = 257;
  return GetUserNameW(name, &size) && size > 1 ? Narrow(std::wstring_view(name, size - 1)) : std::string();
}

std::string ComputerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  return GetComputerNameW(name, &size) ? Narrow(std::wstring_view(name, size)) : std::string();
}

}  // namespace hx::win
