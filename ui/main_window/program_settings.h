// The program's settings in memory and in its two files, and the settings
// that act on the program's windows at once: opacity, staying on top, the
// tray clock and autostart. Every window may use these; none of them needs
// a window of its own beyond the handles in App().
#pragma once
#include <optional>
#include <string>

#include "base/path.h"

namespace hx::ui {

// Settings file operations; each reports its own failures.
void LoadParametrs();
void LoadParametrsA();
void SaveParametrs();

// Reads one of the program's settings files: its text, or nothing when it
// does not exist; `unread` tells whether it exists but could not be read.
std::optional<std::string> ReadSettingsText(const Path& file, bool& unread);
// Sets whether one of the settings files is kept (a flag of App().kept):
// nothing writes a kept file. The user is told with `notice` when the file
// becomes kept.
void SetFileKept(bool& kept, bool keep, const std::string& notice);

// Both windows above all others, or in the normal order.
void ApplyStayOnTop(bool onTop);

// Gives the panels window the opacity of AlphaUsed and AlphaSet.
void ApplyOpacity();

// Shows or hides the system tray clock.
void ApplyTrayClockVisibility(bool hide);

// Runs the clock work at once, then again at each change of the shown time:
// for a new time format or rebuilt panels, which must not wait for the next
// second (or minute).
void RequestClockRefresh();

}  // namespace hx::ui
