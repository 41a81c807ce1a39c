// The settings dialog TFormSettings: four tabs of program settings and the
// list of clock panels, shown modally and owned by the main window.
#pragma once

namespace hx::ui {

// Opens the dialog and returns when it has closed.
void RunSettingsDialog();

}  // namespace hx::ui
