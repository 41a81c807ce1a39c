// The time calculator TFormCalcTime: a time and date in one zone, shown in
// another.
#pragma once
#include <windows.h>

namespace hx::ui {

// Opens the calculator modally over `owner` (the main window when null) and
// returns when it is closed.
void RunTimeCalculator(HWND owner = nullptr);

}  // namespace hx::ui
