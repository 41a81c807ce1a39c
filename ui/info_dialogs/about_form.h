// The About dialog TFormAbout: the program's page, its purpose and version,
// and links to its web site and its maker.
#pragma once

namespace hx::ui {

// Opens the dialog modally, owned by the main window; returns when it is
// closed ("&Ok", Enter, Escape or Alt+F4).
void RunAboutDialog();

}  // namespace hx::ui
