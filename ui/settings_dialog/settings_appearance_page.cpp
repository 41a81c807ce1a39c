#include "ui/settings_dialog/settings_appearance_page.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "core/dpi.h"
#include "core/time_format.h"
#include "settings/settings_dialog.h"
#include "ui/common/guard.h"
#include "ui/main_window/app_state.h"
#include "ui/main_window/program_settings.h"
#include "ui/settings_dialog/wpanel_form.h"
#include "win32/dpi.h"
#include "win32/system.h"

namespace hx::ui {
namespace {

enum ControlId {
  kCheckBox2 = 120,  // "Скрывать стандартные часы в системном трее...": hide the tray clock
  kCheckBox1,        // "Вертикальное раcположение": panels stacked vertically
  kCheckBox4,        // "Запретить выход за границы экрана": keep the panels window on the screen
  kCheckBox5,        // "Встроить в панель Windows": embed into a Windows panel (opens the placement dialog)
  kCheckBox3,        // "PM/AM формат времени": 12-hour time format
  kComboBox2,        // "Формат дат": date format
  kLabeledEdit1,     // " Образец": today's date in the chosen date format
  kCheckBox10,       // "Испо&льзовать прозрачность": transparency of the panels window on/off
  kTrackBar4,        // "Непрозрачность:": opacity slider, 100..255
  kLabelAS,          // the opacity as a number, beside the slider
};

const std::array<const char*, 8> kDateFormatItems = {" dd.MM.yy",   " dd-MM-yy", " dd.MM.yyyy", " dd-MM-yyyy",
                                                     " d.M.yy",     " d-M-yy ",  " yyyy.MM.dd", " yyyy-MM-dd"};

std::string DateSample() {
  return " " + DateFormat(App().settings.FormatDate, win::LocalNow(), App().locale);
}

}  // namespace

void AppearancePage::Create(HWND dialog, HWND page, int width) {
  dialog_ = dialog;
  page_ = page;
  HFONT font = context_.font;
  AddCheckBox(page, font, "Скрывать стандартные часы в системном трее, если запущена Horavex.KT", kCheckBox2,
              kInset + 2, 4, width - 2 * kInset, false, true);
  const std::array<std::pair<const char*, int>, 4> boxes = {
      std::pair{"Вертикальное раcположение", kCheckBox1}, std::pair{"Запретить выход за границы экрана", kCheckBox4},
      std::pair{"Встроить в панель Windows", kCheckBox5}, std::pair{"PM/AM формат времени", kCheckBox3}};
  int columnWidth = 0;
  for (const auto& box : boxes) columnWidth = std::max(columnWidth, CheckBoxWidth(font, box.first));
  int y = 30;
  for (const auto& [text, id] : boxes) {
    AddCheckBox(page, font, text, id, kInset + 2, y, columnWidth, false);
    y += kRowStep;
  }
  columnWidth = std::max(columnWidth + 12, 232);

  const int groupLeft = kInset + columnWidth, groupWidth = width - kInset - groupLeft;
  const int x = groupLeft + kGroupInset, inner = groupWidth - 2 * kGroupInset;
  AddGroupBox(page, font, " Формат дат", groupLeft, 26, groupWidth, 52);
  const std::string sample = " Образец";
  const int sampleWidth = TextWidth(font, sample) + 2;
  // The list is as wide as its longest format, the sample takes the rest.
  int formatWidth = 0;
  for (const char* item : kDateFormatItems) formatWidth = std::max(formatWidth, TextWidth(font, item));
  const int comboWidth = formatWidth + win::SystemMetricForDpi(SM_CXVSCROLL, kBaseDpi) + 12;
  AddDropDown(page, font, kComboBox2, x, 46, comboWidth, 30, kDateFormatItems.data(), kDateFormatItems.size());
  // The label before the sample, which a screen reader names by it.
  AddLabel(page, font, sample, x + inner - sampleWidth, 50, sampleWidth);
  AddControl(page, L"EDIT", "", ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, kLabeledEdit1,
             x + comboWidth + 6, 46, inner - sampleWidth - comboWidth - 8, kComboHeight, font, WS_EX_CLIENTEDGE);

  AddGroupBox(page, font, " Прозрачность", groupLeft, 84, groupWidth, 70);
  AddCheckBox(page, font, "Испо&льзовать прозрачность", kCheckBox10, x, 102, inner, true, true);
  const std::string opacity = "Непрозрачность:";
  const int opacityWidth = TextWidth(font, opacity) + 2, valueWidth = TextWidth(font, "255") + 4;
  AddLabel(page, font, opacity, x, 130, opacityWidth);
  AddLabel(page, font, "255", x + inner - valueWidth, 130, valueWidth, SS_RIGHT, kLabelAS);
  HWND track = AddControl(page, TRACKBAR_CLASSW, "", TBS_HORZ | TBS_TOP | TBS_AUTOTICKS | WS_TABSTOP | WS_GROUP,
                          kTrackBar4, x + opacityWidth, 117, inner - opacityWidth - valueWidth, 28, font);
  SendMessageW(track, TBM_SETRANGE, FALSE, MAKELPARAM(100, 255));
  SendMessageW(track, TBM_SETTICFREQ, 10, 0);
  SendMessageW(track, TBM_SETLINESIZE, 0, 10);
  SendMessageW(track, TBM_SETPAGESIZE, 0, 50);
  SendMessageW(track, TBM_SETPOS, TRUE, 255);
}

void AppearancePage::FillOpacity(const ProgramSettings& s) {
  if (s.AlphaUsed == 0) SetCheckFromProgram(kCheckBox10, false);
  SendMessageW(GetDlgItem(page_, kTrackBar4), TBM_SETPOS, TRUE, s.AlphaSet);
  SetText(page_, kLabelAS, std::to_string(s.AlphaSet));
}

void AppearancePage::FillOkChoices(const ProgramSettings& s) {
  SetCheckFromProgram(kCheckBox2, s.HideTrayClock);
  SetCheckFromProgram(kCheckBox4, s.BorderScreen);
  SetCheckFromProgram(kCheckBox5, s.includeOnWPanel);
}

void AppearancePage::FillFormats(const ProgramSettings& s) {
  SetCheckFromProgram(kCheckBox1, s.Vertical);
  SetCheckFromProgram(kCheckBox3, s.PmAmFormat);
  SetComboIndex(page_, kComboBox2, s.FormatDate);
  SetText(page_, kLabeledEdit1, DateSample());
}

void AppearancePage::FillChoices(SettingsChoices& c) const {
  c.HideTrayClock = Checked(page_, kCheckBox2);
  c.BorderScreen = Checked(page_, kCheckBox4);
  c.includeOnWPanel = Checked(page_, kCheckBox5);
}

// A box set by the program acts as if the user had clicked it, when its
// state changes.
void AppearancePage::SetCheckFromProgram(int id, bool on) {
  if (SetCheck(page_, id, on)) RunCheckBoxHandler(id);
}

void AppearancePage::RunCheckBoxHandler(int id) {
  switch (id) {
    case kCheckBox2: CheckBox2Click(); break;
    case kCheckBox1: CheckBox1Click(); break;
    case kCheckBox5: CheckBox5Click(); break;
    case kCheckBox3: CheckBox3Click(); break;
    case kCheckBox10: CheckBox10Click(); break;
    default: break;
  }
}

// --- Handlers that act at once. ---

void AppearancePage::TrackBar4Change() {
  Guard("1.004 - 006.0", [this] {
    const int position = static_cast<int>(SendMessageW(GetDlgItem(page_, kTrackBar4), TBM_GETPOS, 0, 0));
    if (context_.session.SetAlphaPosition(position)) SetText(page_, kLabelAS, std::to_string(position));
  });
}

void AppearancePage::CheckBox10Click() {
  Guard("1.004 - 007.0", [this] {
    const bool on = Checked(page_, kCheckBox10);
    context_.session.SetAlphaUsed(on);
    EnableWindow(GetDlgItem(page_, kTrackBar4), on);
  });
}

// Only the screen changes; the setting follows on OK.
void AppearancePage::CheckBox2Click() {
  Guard("1.004 - 013.0", [this] { context_.effects.SetTrayClockHidden(Checked(page_, kCheckBox2), true); });
}

// Ticking "Встроить в панель Windows" asks for the Windows panel; cancelling
// that unticks the box.
void AppearancePage::CheckBox5Click() {
  Guard("1.004 - 014.0", [this] {
    if (context_.LoadingControls || !Checked(page_, kCheckBox5)) return;
    const bool accepted = RunWPanelDialog(dialog_);
    SetCheckFromProgram(kCheckBox5, accepted);
  });
}

void AppearancePage::CheckBox1Click() {
  Guard("1.004 - 015.0", [this] { context_.session.SetVertical(Checked(page_, kCheckBox1)); });
}

void AppearancePage::CheckBox3Click() {
  Guard("1.004 - 016.0", [this] {
    context_.session.SetPmAmFormat(Checked(page_, kCheckBox3));
    RequestClockRefresh();
  });
}

void AppearancePage::ComboBox2Change() {
  Guard("1.004 - 017.0", [this] {
    context_.session.SetFormatDate(ComboIndex(page_, kComboBox2));
    RequestClockRefresh();
    SetText(page_, kLabeledEdit1, DateSample());
  });
}

bool AppearancePage::OnCommand(int id, int code) {
  switch (id) {
    case kComboBox2:
      if (code == CBN_SELCHANGE) ComboBox2Change();
      return true;
    case kCheckBox2:
    case kCheckBox1:
    case kCheckBox4:
    case kCheckBox5:
    case kCheckBox3:
    case kCheckBox10:
      if (code == BN_CLICKED) RunCheckBoxHandler(id);
      return true;
  }
  return false;
}

bool AppearancePage::OnScroll(HWND control) {
  if (control != GetDlgItem(page_, kTrackBar4)) return false;
  TrackBar4Change();
  return true;
}

}  // namespace hx::ui
