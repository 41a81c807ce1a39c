// The zone list of the dialogs: the system's zones in their offset order,
// sorted as the user's locale sorts text, in a drop-down list.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace hx::ui {

// ListTimeZones with the user locale's case-insensitive comparison.
std::vector<std::string> ListZonesInUserOrder();

// Fills a drop-down list with `names` (zones, or the names of clock
// panels): it drops down 30 rows tall and as wide as its longest name.
void FillZoneList(HWND combo, const std::vector<std::string>& names);

}  // namespace hx::ui
