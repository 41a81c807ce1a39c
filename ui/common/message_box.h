// The program's message boxes.
#pragma once
#include <windows.h>

#include <string>

namespace hx::ui {

// A message box without owner whose icon follows `kind` ("Warning",
// "Info", "Quest" or "Error"); 4096 in `flags` makes it system-modal. The
// owner, when given, is brought to the front afterwards. Returns the
// pressed button's identifier.
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags,
                   const std::string& kind);

// The standard warning with an OK button, used for repair notices.
void ShowWarningNotice(const std::string& text);

// A system-modal box with an exclamation icon, OK and the given caption.
void ShowSystemWarning(const std::string& text, const std::string& caption);

}  // namespace hx::ui
