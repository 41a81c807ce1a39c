// The settings dialog's tab "Основные настройки": the autostart choice and
// the update check (on at start, its interval, "Проверить сейчас").
#pragma once
#include <windows.h>

#include "ui/settings_dialog/settings_page.h"

namespace hx {
struct ProgramSettings;
struct SettingsChoices;
}  // namespace hx

namespace hx::ui {

class GeneralPage {
 public:
  explicit GeneralPage(SettingsPageContext& context) : context_(context) {}

  // Creates the page's controls on `page`, `width` wide; `dialog` is the
  // settings dialog.
  void Create(HWND dialog, HWND page, int width);
  // Fills the controls from the settings.
  void Fill(const ProgramSettings& s);
  // What OK stores from this page.
  void FillChoices(SettingsChoices& c) const;
  // "Проверить сейчас" is enabled only while no check runs.
  void CheckNowAllowed(bool allowed);

  // The dialog passes its commands on; true when they were this page's.
  bool OnCommand(int id, int code);

 private:
  void ComboBox1Change();
  void CheckBoxACNVClick();
  void ButtonACNVClick();

  SettingsPageContext& context_;
  HWND dialog_ = nullptr;
  HWND page_ = nullptr;
};

}  // namespace hx::ui
