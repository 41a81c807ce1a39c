// The settings dialog's tab "Внешний вид панелей": whether the panels'
// frame, header and time lines are sunken, with a preview panel that
// follows the boxes at once. The panels themselves follow when the dialog
// has closed.
#pragma once
#include <windows.h>

#include "ui/settings_dialog/settings_page.h"

namespace hx {
struct ProgramSettings;
struct SettingsChoices;
}  // namespace hx

namespace hx::ui {

class PanelsLookPage {
 public:
  explicit PanelsLookPage(SettingsPageContext& context) : context_(context) {}

  // Creates the page's controls on `page`, `width` x `height`.
  void Create(HWND page, int width, int height);
  // Fills the boxes from the settings; boxes that change update the
  // preview, as a click would.
  void Fill(const ProgramSettings& s);
  // What OK stores from this page.
  void FillChoices(SettingsChoices& c) const;

  // The dialog passes its commands on; true when they were this page's.
  bool OnCommand(int id, int code);

 private:
  void SetCheckFromProgram(int id, bool on);
  void RunCheckBoxHandler(int id);
  void CheckBox9Click();
  void CheckBox11Click();
  void CheckBox12Click();

  SettingsPageContext& context_;
  HWND page_ = nullptr;
  HWND previewFrame_ = nullptr;   // the preview's outer frame
  HWND previewHeader_ = nullptr;  // its header line, "Время"
  HWND previewTime_ = nullptr;    // its time line, "00 : 00"
};

}  // namespace hx::ui
