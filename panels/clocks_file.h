// The panel list's file, Settings\HXClocks.ini: reading it with its
// validation and writing it whole. The panels window does the file and
// window work around these:
//
//   LoadClocks:   ClearOldPanels();
//                 auto read = ReadClocksFile(ReadTextFile(file));
//                 unreadable or read.cut -> the file is kept: no save writes it
//                                   until it is read whole or the settings
//                                   dialog's OK replaces it (told once);
//                                   unreadable reads as no file
//                 Loaded         -> panels = read.panels; ProcessingClocksPanels();
//                 UseDefaults    -> Nullloading();
//                 CriticalError  -> beep; warning box kClocksCriticalErrorText;
//                                   delete the file; Nullloading();
//   SaveClocks:   unless kept: WriteTextFileAtomically(file,
//                     WriteClocksFile(panels, zone.LocalZoneHours, ShortDateText(today)).Serialize());
//   Nullloading:  panels = DefaultPanels(look of Panel3/Panel6, look of Panel4/Panel5);
//                 SaveClocks(); ProcessingClocksPanels();
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "base/ini.h"
#include "panels/clock_panel.h"

namespace hx {

// Location codes the handlers pass to their guard.
inline constexpr char kCodeLoadClocks[] = "1.012 - 008.0";
inline constexpr char kCodeSaveClocks[] = "1.012 - 009.0";
inline constexpr char kCodeNullloading[] = "1.012 - 0.007";
inline constexpr char kCodeClearOldPanels[] = "1.012 - 0.0";

inline constexpr char kClocksCriticalErrorText[] =
    "Настройки дополнительных часовых панелей программы Horavex.KT\r\n\r\n"
    "Файл настроек содержит критические ошибки, настройки программы будут сброшены.";

// The notice, shown once when the file could not be read.
inline constexpr char kClocksFileUnreadNotice[] =
    "Настройки дополнительных часовых панелей программы Horavex.KT\r\n\r\n"
    "Файл HXClocks.ini не удалось прочитать: возможно, его держит открытым другая программа.\r\n"
    "Программа показывает только системное время и дату. Файл оставлен как есть и не будет перезаписан, "
    "пока вы не подтвердите изменения в окне настроек программы.";

// The most records the panel list takes from the file; the file's
// PanelsCount has no bound of its own.
inline constexpr int kMaxLoadedPanels = 100;

// The notice, shown once when the file holds more records than the list takes.
std::string ClocksFileCutNotice(int fileRecords);

// Whole hours a record's offset may carry: -12..14 (+14:00 is the easternmost
// zone of the database).
inline constexpr int kMinPanelHours = -12;
inline constexpr int kMaxPanelHours = 14;

struct ClocksFileRead {
  enum class State {
    Loaded,         // `panels` holds the file's records
    UseDefaults,    // no file, or PanelsCount below 2: silently the defaults
    CriticalError,  // not exactly one system-time and one date panel
  };
  State state = State::UseDefaults;
  PanelList panels;
  int skipped = 0;  // records dropped for an invalid offset
  // The file holds more than kMaxLoadedPanels records (its PanelsCount):
  // `panels` has the first of them, and the system-time and date records
  // wherever they stand.
  bool cut = false;
  int fileRecords = 0;  // the file's PanelsCount
};

// `fileText` is the file's text, or nothing when the file does not exist.
ClocksFileRead ReadClocksFile(const std::optional<std::string>& fileText);
ClocksFileRead ReadClocksFile(const IniDocument& file);

// The whole file for `panels`. The system-time record's TimeValue1 is
// written as `localZoneHours`; `today` is the short date for [Main] Date.
IniDocument WriteClocksFile(const PanelList& panels, int localZoneHours, std::string_view today);

}  // namespace hx
