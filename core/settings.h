// The program settings kept in Settings\HXSettings.ini: reading them with
// their repairs, and writing them.
#pragma once
#include <optional>
#include <string>

#include "base/ini.h"
#include "core/monitors.h"

namespace hx {

struct ProgramSettings {
  int AlphaUsed = 1;     // 1: the panels window uses AlphaSet; 0: opaque
  int AlphaSet = 255;    // 100..255
  bool StayOnTop = false;
  int AutoLaunch = 0;    // 0 none, 1 all users, 2 this user only
  bool HideTrayClock = false;
  bool BorderScreen = true;
  bool BorderA = true;
  bool BorderC = true;
  bool BorderT = true;
  bool Vertical = false;
  bool PmAmFormat = false;
  int FormatDate = 0;    // 0..7
  bool includeOnWPanel = false;
  int NumPanel = 0;      // 0 top, 1 bottom, 2 left, 3 right
  bool RetainOnWPanel = true;
  bool AUCheckEnabled = true;
  int IntervalAUCheck = 2;  // 0..6

  // The opacity the panels window gets from AlphaUsed and AlphaSet.
  int EffectiveAlpha() const { return AlphaUsed == 1 ? AlphaSet : 255; }
  bool operator==(const ProgramSettings&) const = default;
};

// Where the panels window is and what surrounds it when the settings are
// read; the position keys are relative to it.
struct PanelsGeometry {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int screenWidth = 0;
  int screenHeight = 0;
  // The monitors a saved position must lie on; none: no such check.
  Monitors monitors;
};

// What LoadParametrs decided besides the settings themselves.
struct FullLoadOutcome {
  bool blockedMove = false;
  int left = 0;  // where the panels window goes
  int top = 0;
  int dragAnchorX = 200;
  int dragAnchorY = 100;
  int lockedLeft = 0;  // meaningful while blockedMove
  int lockedTop = 0;
  int repairCount = 0;
  bool documentChanged = false;  // repairs or added keys to write back
};

struct AppearanceLoadOutcome {
  int repairCount = 0;
  bool documentChanged = false;
};

inline constexpr int kFullLoadKeyCount = 17;
inline constexpr int kAppearanceKeyCount = 7;

// Reads every key of an existing settings file into `settings`, repairing
// out-of-range values and (unless [Main] CutVersion is set) adding missing
// keys to `doc`. `today` is the short date written to [Main] Date when
// anything was repaired.
FullLoadOutcome LoadAllSettings(IniDocument& doc, ProgramSettings& settings, const PanelsGeometry& window,
                                const std::string& today);

// Settings when the file does not exist: nothing is read or written.
void ApplyMissingFileDefaults(ProgramSettings& settings);

// Reads the seven appearance and Windows-panel keys.
AppearanceLoadOutcome LoadAppearanceSettings(IniDocument& doc, ProgramSettings& settings, const std::string& today);

// The whole file as the program writes it.
IniDocument SaveAllSettings(const ProgramSettings& settings, bool blockedMove, int left, int top,
                            const std::string& today);

// The program's two settings files that it must not write for now: each
// exists but could not be read in full, and is left as it is until the
// program has read it, or until the user confirms a change in the settings
// dialog, which knowingly replaces both.
struct KeptFiles {
  bool settings = false;  // Settings\HXSettings.ini
  bool clocks = false;    // Settings\HXClocks.ini
};

// The notice, shown once when the settings file could not be read.
inline constexpr char kSettingsFileUnreadNotice[] =
    "Настройки программы Horavex.KT\r\n\r\n"
    "Файл настроек HXSettings.ini не удалось прочитать: возможно, его держит открытым другая программа.\r\n"
    "Программа работает с настройками по умолчанию. Файл оставлен как есть и не будет перезаписан, "
    "пока вы не подтвердите изменения в окне настроек программы.";

// The warning texts shown after repairs.
std::string FullLoadRepairNotice(int repairCount);
std::string AppearanceLoadRepairNotice(int repairCount);

}  // namespace hx
