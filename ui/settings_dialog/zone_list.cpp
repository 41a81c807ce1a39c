#include "ui/settings_dialog/zone_list.h"

#include "core/dpi.h"
#include "core/zones.h"
#include "ui/main_window/app_state.h"
#include "win32/dpi.h"
#include "win32/text.h"

#ifndef CB_SETMINVISIBLE
#define CB_SETMINVISIBLE 0x1701  // common controls 6
#endif

namespace hx::ui {
namespace {

constexpr int kVisibleZoneRows = 30;

// Zone names sort as the user's locale sorts text, without regard to case.
int CompareInUserLocale(std::string_view a, std::string_view b) {
  const std::wstring wa = win::Widen(a), wb = win::Widen(b);
  const int result = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.c_str(), static_cast<int>(wa.size()),
                                    wb.c_str(), static_cast<int>(wb.size()));
  return result == 0 ? CompareTextNoCase(a, b) : result - CSTR_EQUAL;
}

}  // namespace

std::vector<std::string> ListZonesInUserOrder() { return ListTimeZones(App().registry, CompareInUserLocale); }

void FillZoneList(HWND combo, const std::vector<std::string>& names) {
  HDC dc = GetDC(combo);
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0)));
  int widest = 0;
  for (const std::string& text : names) {
    const std::wstring name = win::Widen(text);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SIZE size{};
    GetTextExtentPoint32W(dc, name.c_str(), static_cast<int>(name.size()), &size);
    if (size.cx > widest) widest = size.cx;
  }
  SelectObject(dc, oldFont);
  ReleaseDC(combo, dc);

  RECT r;
  GetWindowRect(combo, &r);
  const int width = r.right - r.left;
  const int dropped = widest + win::SystemMetricForDpi(SM_CXVSCROLL, kBaseDpi) + 12;  // 96-DPI units, as the font
  if (dropped > width) SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(dropped), 0);
  const auto row = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
  const auto field = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  SetWindowPos(combo, nullptr, 0, 0, width, field + 8 + kVisibleZoneRows * row, SWP_NOMOVE | SWP_NOZORDER);
  SendMessageW(combo, CB_SETMINVISIBLE, kVisibleZoneRows, 0);
}

}  // namespace hx::ui
