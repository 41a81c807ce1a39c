// What the settings dialog's pages share: what the dialog gives them (its
// session, its requests to the program's windows, its fonts), the page
// layout, and the building and reading of their controls.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

namespace hx {
class SettingsSession;
class SettingsEffects;
}  // namespace hx

namespace hx::ui {

// The dialog's part of each page; the dialog keeps it while it is open.
struct SettingsPageContext {
  SettingsSession& session;     // the settings being edited and the changes that act at once
  SettingsEffects& effects;     // what the dialog asks of the program's windows
  HFONT font = nullptr;         // Tahoma 8 pt, the dialog's font
  HFONT boldFont = nullptr;     // the same in bold, for "Проверить сейчас"
  HFONT previewFont = nullptr;  // the preview panels' texts
  // True while the dialog fills its controls from the settings: ticking
  // "Встроить в панель Windows" then opens no placement dialog.
  bool LoadingControls = false;
};

// Page layout: controls start at kInset from the page's left edge and end
// kInset before its right edge; group boxes hold theirs kGroupInset in. The
// pages, the tab buttons and the dialog's buttons share the dialog's margin.
inline constexpr int kInset = 0;
inline constexpr int kGroupInset = 12;
inline constexpr int kComboHeight = 21;
inline constexpr int kRowStep = 22;  // between check boxes

HWND AddControl(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int id, int x, int y, int w,
                int h, HFONT font, DWORD exStyle = 0);
// `group` starts a group for the arrow keys.
HWND AddCheckBox(HWND page, HFONT font, const std::string& text, int id, int x, int y, int w, bool checked,
                 bool group = false);
HWND AddLabel(HWND page, HFONT font, const std::string& text, int x, int y, int w, DWORD style = SS_LEFT,
              int id = -1);
// A drop-down list of `count` items that drops down with room for `rows`
// of them.
HWND AddDropDown(HWND page, HFONT font, int id, int x, int y, int w, int rows, const char* const* items,
                 size_t count);
HWND AddGroupBox(HWND page, HFONT font, const std::string& text, int x, int y, int w, int h);

// The width of `text` in `font`.
int TextWidth(HFONT font, const std::string& text);
// A check box is as wide as its box and text.
int CheckBoxWidth(HFONT font, const std::string& text);

// The page's control `id`.
bool Checked(HWND page, int id);
// Ticks or unticks a box; true when its state changed, and the page then
// runs the box's click handler, as a user's click would.
bool SetCheck(HWND page, int id, bool on);
int ComboIndex(HWND page, int id);
// Chooses a list item; the list's change handler does not run.
void SetComboIndex(HWND page, int id, int index);
void SetText(HWND page, int id, const std::string& text);

}  // namespace hx::ui
