#include "ui/settings_dialog/settings_general_page.h"

#include <array>
#include <string>

#include "base/files.h"
#include "core/program_paths.h"
#include "settings/settings_dialog.h"
#include "ui/common/guard.h"
#include "ui/main_window/app_state.h"
#include "ui/main_window/update_checks.h"

namespace hx::ui {
namespace {

enum ControlId {
  kComboBox1 = 110,  // autostart with Windows: "Нет", "Для всех пользователей", "Только для меня"
  kCheckBoxACNV,     // "Проверять наличие новой версии при запуске программы": update check at start on/off
  kComboBoxACNV,     // minimum interval of the update check, in days
  kButtonACNV,       // "Проверить сейчас": runs an update check at once
};

const std::array<const char*, 7> kIntervalItems = {"1", "3", "5", "10", "15", "20", "30"};

}  // namespace

void GeneralPage::Create(HWND dialog, HWND page, int width) {
  dialog_ = dialog;
  page_ = page;
  HFONT font = context_.font;
  const int groupWidth = width - 2 * kInset;
  const int x = kInset + kGroupInset;
  AddGroupBox(page, font, " Автозагрузка при старте:", kInset, 2, groupWidth, 52);
  AddDropDown(page, font, kComboBox1, x, 22, 240, 3,
              std::array{"Нет", "Для всех пользователей", "Только для меня"}.data(), 3);

  AddGroupBox(page, font, " Проверка наличия обновлений", kInset, 62, groupWidth, 84);
  AddCheckBox(page, font, "Проверять наличие новой версии при запуске программы", kCheckBoxACNV, x, 82,
              groupWidth - 2 * kGroupInset, true, true);
  const std::string interval = "Минимальный интервал (в сутках):";
  const int labelWidth = TextWidth(font, interval) + 4;
  AddLabel(page, font, interval, x, 114, labelWidth);
  AddDropDown(page, font, kComboBoxACNV, x + labelWidth + 4, 110, 56, 7, kIntervalItems.data(),
              kIntervalItems.size());
  const int buttonWidth = 150;
  AddControl(page, L"BUTTON", "Проверить сейчас", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, kButtonACNV,
             kInset + groupWidth - kGroupInset - buttonWidth, 108, buttonWidth, 25, context_.boldFont);
}

void GeneralPage::Fill(const ProgramSettings& s) {
  SetComboIndex(page_, kComboBox1, s.AutoLaunch);
  EnableWindow(GetDlgItem(page_, kComboBoxACNV), s.AUCheckEnabled);
  if (SetCheck(page_, kCheckBoxACNV, s.AUCheckEnabled)) CheckBoxACNVClick();
  SetComboIndex(page_, kComboBoxACNV, s.IntervalAUCheck);
}

// The interval list is enabled exactly when the box is ticked, so either
// tells whether the check is on.
void GeneralPage::FillChoices(SettingsChoices& c) const {
  c.AUCheckEnabled = IsWindowEnabled(GetDlgItem(page_, kComboBoxACNV)) != FALSE;
  c.IntervalAUCheck = ComboIndex(page_, kComboBoxACNV);
}

void GeneralPage::CheckNowAllowed(bool allowed) { EnableWindow(GetDlgItem(page_, kButtonACNV), allowed); }

void GeneralPage::ComboBox1Change() {
  Guard("1.004 - 008.0", [this] { context_.session.SetAutoLaunch(ComboIndex(page_, kComboBox1)); });
}

void GeneralPage::CheckBoxACNVClick() {
  Guard("1.004 - 010.0",
        [this] { EnableWindow(GetDlgItem(page_, kComboBoxACNV), Checked(page_, kCheckBoxACNV)); });
}

// "Проверить сейчас": forgets the last check, so the schedule lets a new one
// run at once.
void GeneralPage::ButtonACNVClick() {
  Guard("1.004 - 011.0", [this] {
    const Path resource = paths::ResourceFolder(App().folder);
    files::Remove(resource / "LastCheck.ini");
    files::Remove(resource / "CheckTrue");
    ResetUpdateCheck();
    HWND button = GetDlgItem(page_, kButtonACNV);
    if (GetFocus() == button) SendMessageW(dialog_, WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(button, FALSE);
    StartUpdateCheck();
  });
}

bool GeneralPage::OnCommand(int id, int code) {
  switch (id) {
    case kComboBox1:
      if (code == CBN_SELCHANGE) ComboBox1Change();
      return true;
    case kCheckBoxACNV:
      if (code == BN_CLICKED) CheckBoxACNVClick();
      return true;
    case kButtonACNV: ButtonACNVClick(); return true;
  }
  return false;
}

}  // namespace hx::ui
