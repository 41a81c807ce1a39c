// The uninstaller's windows, built from plain system controls in one
// top-level window of class "KT.API.Form": the language window (launch
// stage), then the choice window and, in the same window, the progress
// window (removal stage).
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "uninstaller/manifest.h"
#include "uninstaller/removal.h"
#include "uninstaller/texts.h"

namespace hx::unwinder {

inline constexpr wchar_t kFormClass[] = L"KT.API.Form";
inline constexpr char kCaption[] = "Unwinder.KT";

// Control identifiers.
enum : int {
  kIdCancel = 1027,
  kIdNext = 1030,
  kIdDone = 1031,
  kIdOk = 1032,
};

// A message box without owner window; kind is "Warning", "Info", "Quest" or
// "Error" (any case; other words give no icon). Returns the button pressed.
int ShowBox(const std::string& text, const std::string& caption, const std::string& kind, UINT style);

// The language window: returns the chosen name, or nothing when the user
// cancelled or closed it.
std::optional<std::string> ShowLanguageWindow(const std::vector<std::string>& languages);

// The choice window: returns the confirmed mode, or nothing when the window
// was closed (Cancel, the close box answered Yes, or no window could be made).
std::optional<uninstall::RemovalMode> ShowChoiceWindow(const uninstall::UninstallerTexts& texts,
                                                       const uninstall::ManifestHeader& header);

// The progress window in the choice window's place: runs the removal with it
// and, unless the removal was cancelled, waits for Done. Returns false when
// the window was closed.
bool RunProgressWindow(const uninstall::UninstallerTexts& texts,
                       const std::function<void(uninstall::RemovalProgress&)>& removal,
                       const std::function<bool()>& cancelled);

}  // namespace hx::unwinder
