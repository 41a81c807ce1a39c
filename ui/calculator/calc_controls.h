// The time calculator's controls: their ids, where they stand, their fonts
// and colours, their hints, and the key filter of the hour and minute
// fields. What the calculator does with them is in calc_form.
#pragma once
#include <windows.h>

namespace hx::ui {

enum CalcControlId {
  kLabeledEdit1 = 101,  // " Часы": the source hour, 0..23
  kLabeledEdit2,        // " Минуты": the source minute, 0..59
  kDateEdit1,           // " Дата": the source date, with a drop-down calendar
  kRadioButton9,        // source "Местное время (системное)": the local zone
  kRadioButton10,       // source "Из заданных часовых поясов": a clock panel's zone
  kRadioButton4,        // source "Из стандартных часовых поясов": a zone of the catalogue
  kComboBox3,           // source clock panel, by name (with RadioButton10)
  kComboBox1,           // source zone of the catalogue (with RadioButton4)
  kRadioButton3,        // target "Местное время (системное)": the local zone
  kRadioButton5,        // target "Из заданных часовых поясов": a clock panel's zone
  kRadioButton8,        // target "Из стандартных часовых поясов": a zone of the catalogue
  kComboBox4,           // target clock panel, by name (with RadioButton5)
  kComboBox2,           // target zone of the catalogue (with RadioButton8)
  kEdit1,               // the result line: the time and date, or what is wrong with the input
  kBitBtn1,             // the help button: opens the help page
  kHeading,             // the three heading bars (NTCPanelACNV2, Panel4, Panel6)
  kLabel,               // the field labels " Часы", " Минуты" and " Дата" (Label1)
  kFrame,               // the three frames around the groups
};
// The close button "Закрыть" (ButtonOk) is IDOK; Escape gives IDCANCEL.

// The controls the calculator reads and writes, and what they are drawn
// with.
struct CalcControls {
  HWND LabeledEdit1 = nullptr;   // source hour
  HWND LabeledEdit2 = nullptr;   // source minute
  HWND DateEdit1 = nullptr;      // source date
  HWND RadioButton9 = nullptr;   // source: the local zone
  HWND RadioButton10 = nullptr;  // source: a clock panel's zone
  HWND RadioButton4 = nullptr;   // source: a zone of the catalogue
  HWND ComboBox3 = nullptr;      // source clock panel
  HWND ComboBox1 = nullptr;      // source zone of the catalogue
  HWND RadioButton3 = nullptr;   // target: the local zone
  HWND RadioButton5 = nullptr;   // target: a clock panel's zone
  HWND RadioButton8 = nullptr;   // target: a zone of the catalogue
  HWND ComboBox4 = nullptr;      // target clock panel
  HWND ComboBox2 = nullptr;      // target zone of the catalogue
  HWND Edit1 = nullptr;          // the result line
  HFONT font = nullptr;          // Tahoma 8 pt
  HFONT headingFont = nullptr;   // Tahoma 8 pt bold
  HBRUSH headingBrush = nullptr;
  HICON helpIcon = nullptr;
};

// The client area the controls take.
SIZE CalcClientSize();

// Creates every control of the calculator `window`, in Tab order, with the
// hour and minute fields at "00", the date field at today, each side's
// local-zone option chosen and the lists empty. Throws when a control
// cannot be made.
void CreateCalcControls(HWND window, CalcControls& controls);

// Frees the fonts, the brush and the icon the controls were drawn with.
void FreeCalcControls(CalcControls& controls);

// The colours of a static control (WM_CTLCOLORSTATIC): the heading bars
// wear the clock panels' caption colour, the result line the menu's
// colours. Returns the background brush, or nullptr for the usual colours.
HBRUSH CalcStaticColours(const CalcControls& controls, HDC dc, HWND control);

}  // namespace hx::ui
