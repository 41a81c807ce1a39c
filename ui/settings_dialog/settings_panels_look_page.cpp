#include "ui/settings_dialog/settings_panels_look_page.h"

#include <utility>

#include "panels/panel_layout.h"
#include "settings/settings_dialog.h"
#include "ui/common/guard.h"
#include "ui/panels_window/panel_control.h"

namespace hx::ui {
namespace {

enum ControlId {
  kCheckBox9 = 140,  // "Рамка - вогнутая": the panels' frame sunken or raised
  kCheckBox11,       // "Панель заголовока - вогнутая": the header line sunken or raised
  kCheckBox12,       // "Панель времени - вогнутая": the time line sunken or raised
};

}  // namespace

void PanelsLookPage::Create(HWND page, int width, int height) {
  page_ = page;
  const int columnWidth = 250;
  int y = 8;
  for (const auto& [text, id] : {std::pair{"Рамка - вогнутая", kCheckBox9},
                                 std::pair{"Панель заголовока - вогнутая", kCheckBox11},
                                 std::pair{"Панель времени - вогнутая", kCheckBox12}}) {
    AddCheckBox(page, context_.font, text, id, kInset + 2, y, columnWidth - 8, true, y == 8);
    y += kRowStep;
  }

  const int groupLeft = kInset + columnWidth, groupWidth = width - kInset - groupLeft;
  const int groupHeight = height - 4;
  AddGroupBox(page, context_.font, " Предпросмотр", groupLeft, 2, groupWidth, groupHeight);
  const int left = groupLeft + (groupWidth - kPanelWidth) / 2, top = 2 + (groupHeight - kPanelHeight) / 2 + 4;
  const PanelLook frame{GetSysColor(COLOR_BTNFACE), 0, nullptr, FrameBevels(true)};
  previewFrame_ = CreatePanelControl(page, {left, top, kPanelWidth, kPanelHeight}, frame, L"");
  const PanelLook line{RGB(255, 255, 255), RGB(0, 0, 0), context_.previewFont, LineBevels(true)};
  previewHeader_ = CreatePanelControl(previewFrame_, kCaptionLineRect, line, L"Время");
  previewTime_ = CreatePanelControl(previewFrame_, kValueLineRect, line, L"00 : 00");
  // A picture only: the mouse goes to the page, not to the panels' own
  // handler, which drags the clock.
  EnableWindow(previewFrame_, FALSE);
}

void PanelsLookPage::Fill(const ProgramSettings& s) {
  SetCheckFromProgram(kCheckBox9, s.BorderA);
  SetCheckFromProgram(kCheckBox11, s.BorderC);
  SetCheckFromProgram(kCheckBox12, s.BorderT);
}

void PanelsLookPage::FillChoices(SettingsChoices& c) const {
  c.BorderA = Checked(page_, kCheckBox9);
  c.BorderC = Checked(page_, kCheckBox11);
  c.BorderT = Checked(page_, kCheckBox12);
}

// A box set by the program acts as if the user had clicked it, when its
// state changes.
void PanelsLookPage::SetCheckFromProgram(int id, bool on) {
  if (SetCheck(page_, id, on)) RunCheckBoxHandler(id);
}

void PanelsLookPage::RunCheckBoxHandler(int id) {
  switch (id) {
    case kCheckBox9: CheckBox9Click(); break;
    case kCheckBox11: CheckBox11Click(); break;
    case kCheckBox12: CheckBox12Click(); break;
    default: break;
  }
}

void PanelsLookPage::CheckBox9Click() {
  Guard("1.004 - 029.0", [this] { SetPanelBevels(previewFrame_, FrameBevels(Checked(page_, kCheckBox9))); });
}

void PanelsLookPage::CheckBox11Click() {
  Guard("1.004 - 030.0", [this] { SetPanelBevels(previewHeader_, LineBevels(Checked(page_, kCheckBox11))); });
}

void PanelsLookPage::CheckBox12Click() {
  Guard("1.004 - 031.0", [this] { SetPanelBevels(previewTime_, LineBevels(Checked(page_, kCheckBox12))); });
}

bool PanelsLookPage::OnCommand(int id, int code) {
  switch (id) {
    case kCheckBox9:
    case kCheckBox11:
    case kCheckBox12:
      if (code == BN_CLICKED) RunCheckBoxHandler(id);
      return true;
  }
  return false;
}

}  // namespace hx::ui
