// The settings dialog's tab "Внешний вид": the tray clock, the panels
// window's layout and place, the time and date formats, and transparency.
#pragma once
#include <windows.h>

#include "ui/settings_dialog/settings_page.h"

namespace hx {
struct ProgramSettings;
struct SettingsChoices;
}  // namespace hx

namespace hx::ui {

class AppearancePage {
 public:
  explicit AppearancePage(SettingsPageContext& context) : context_(context) {}

  // Creates the page's controls on `page`, `width` wide; `dialog` is the
  // settings dialog, which owns the placement dialog.
  void Create(HWND dialog, HWND page, int width);

  // The dialog fills the page in three steps, in its own order. Boxes that
  // change run their handlers, as a click would.
  // Transparency and opacity.
  void FillOpacity(const ProgramSettings& s);
  // The boxes whose values only OK stores: the tray clock, the screen's
  // bounds and the Windows panel. Run while LoadingControls is set.
  void FillOkChoices(const ProgramSettings& s);
  // The layout and the time and date formats, which act at once.
  void FillFormats(const ProgramSettings& s);
  // What OK stores from this page.
  void FillChoices(SettingsChoices& c) const;

  // The dialog passes its commands and the slider's moves on; true when
  // they were this page's.
  bool OnCommand(int id, int code);
  bool OnScroll(HWND control);

 private:
  void SetCheckFromProgram(int id, bool on);
  void RunCheckBoxHandler(int id);
  void TrackBar4Change();
  void CheckBox10Click();
  void CheckBox2Click();
  void CheckBox5Click();
  void CheckBox1Click();
  void CheckBox3Click();
  void ComboBox2Change();

  SettingsPageContext& context_;
  HWND dialog_ = nullptr;
  HWND page_ = nullptr;
};

}  // namespace hx::ui
