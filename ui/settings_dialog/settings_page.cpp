#include "ui/settings_dialog/settings_page.h"

#include <algorithm>

#include "core/dpi.h"
#include "win32/dpi.h"
#include "win32/text.h"

namespace hx::ui {

HWND AddControl(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int id, int x, int y, int w,
                int h, HFONT font, DWORD exStyle) {
  HWND c = CreateWindowExW(exStyle, cls, win::Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

HWND AddCheckBox(HWND page, HFONT font, const std::string& text, int id, int x, int y, int w, bool checked,
                 bool group) {
  HWND c =
      AddControl(page, L"BUTTON", text, BS_AUTOCHECKBOX | WS_TABSTOP | (group ? WS_GROUP : 0), id, x, y, w, 17, font);
  SendMessageW(c, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  return c;
}

HWND AddLabel(HWND page, HFONT font, const std::string& text, int x, int y, int w, DWORD style, int id) {
  return AddControl(page, L"STATIC", text, style, id, x, y, w, 13, font);
}

HWND AddDropDown(HWND page, HFONT font, int id, int x, int y, int w, int rows, const char* const* items,
                 size_t count) {
  HWND c = AddControl(page, L"COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, id, x, y, w,
                      200, font);
  for (size_t i = 0; i < count; ++i)
    SendMessageW(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::Widen(items[i]).c_str()));
  // The list drops down with room for `rows` items, or for all of them
  // when they are fewer.
  RECT r{};
  GetWindowRect(c, &r);
  const int itemHeight = static_cast<int>(SendMessageW(c, CB_GETITEMHEIGHT, 0, 0));
  const int shown = std::min(rows, static_cast<int>(count));
  SetWindowPos(c, nullptr, 0, 0, w, (r.bottom - r.top) + itemHeight * shown + 2, SWP_NOMOVE | SWP_NOZORDER);
  return c;
}

HWND AddGroupBox(HWND page, HFONT font, const std::string& text, int x, int y, int w, int h) {
  return AddControl(page, L"BUTTON", text, BS_GROUPBOX, -1, x, y, w, h, font);
}

int TextWidth(HFONT font, const std::string& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  const std::wstring wide = win::Widen(text);
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

int CheckBoxWidth(HFONT font, const std::string& text) {
  // In 96-DPI units, as the font is.
  return win::SystemMetricForDpi(SM_CXMENUCHECK, kBaseDpi) + 6 + TextWidth(font, text) + 4;
}

bool Checked(HWND page, int id) { return SendMessageW(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool SetCheck(HWND page, int id, bool on) {
  if (Checked(page, id) == on) return false;
  SendMessageW(GetDlgItem(page, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
  return true;
}

int ComboIndex(HWND page, int id) { return static_cast<int>(SendMessageW(GetDlgItem(page, id), CB_GETCURSEL, 0, 0)); }

void SetComboIndex(HWND page, int id, int index) {
  SendMessageW(GetDlgItem(page, id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void SetText(HWND page, int id, const std::string& text) {
  SetWindowTextW(GetDlgItem(page, id), win::Widen(text).c_str());
}

}  // namespace hx::ui
