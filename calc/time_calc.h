// The time calculator's arithmetic: the moment a clock of one zone shows at
// a given date and time, read on the clock of another zone. Each side is the
// local zone, the zone of one of the user's clock panels or a zone of the
// system's list.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/datetime.h"
#include "core/time_format.h"
#include "core/zone_catalogue.h"
#include "core/zone_rules.h"
#include "core/zones.h"
#include "panels/clock_panel.h"

namespace hx {

// Location codes the calculator's handlers pass to their guard.
inline constexpr char kCodeCalcRecalculate[] = "1.011 - 001.0";
inline constexpr char kCodeCalcButtonOk[] = "1.011 - 002.0";
inline constexpr char kCodeCalcClose[] = "1.011 - 003.0";
inline constexpr char kCodeCalcHelp[] = "1.011 - 004.0";
inline constexpr char kCodeCalcFormCreate[] = "1.011 - 005.0";
inline constexpr char kCodeCalcRadioButton9[] = "1.011 - 006.0";
inline constexpr char kCodeCalcRadioButton10[] = "1.011 - 007.0";
inline constexpr char kCodeCalcRadioButton4[] = "1.011 - 008.0";
inline constexpr char kCodeCalcRadioButton3[] = "1.011 - 009.0";
inline constexpr char kCodeCalcRadioButton5[] = "1.011 - 010.0";
inline constexpr char kCodeCalcRadioButton8[] = "1.011 - 011.0";
inline constexpr char kCodeCalcInputChange[] = "1.011 - 012.0";
inline constexpr char kCodeCalcKeyPress[] = "1.011 - 013.0";

// The result line when there is nothing to convert.
inline constexpr char kCalcEnterTime[] = "Введите исходное время...";
inline constexpr char kCalcWrongHour[] = "Неверное значение исходного часа...";
inline constexpr char kCalcWrongMinutes[] = "Неверное значение исходных минут...";
// A side whose list entry stands for no zone (the list is empty, or the
// panel it named is gone).
inline constexpr char kCalcChooseZone[] = "Выберите часовой пояс...";
// Added to the result when the source time is one the source zone's clock
// skips (put forward) or shows twice (put back) on that date.
inline constexpr char kCalcSkippedTime[] = "(такого времени нет: перевод часов)";
inline constexpr char kCalcRepeatedTime[] = "(время повторяется: перевод часов)";

enum class CalcZoneKind { Local, Panel, Standard };

struct CalcSide {
  CalcZoneKind kind = CalcZoneKind::Local;
  // The chosen entry of the side's panel-name list (Panel) or zone list
  // (Standard); -1 when none is chosen.
  int entry = -1;
};

// What the user entered.
struct CalcInput {
  std::string hourText;
  std::string minuteText;
  DateTime date;  // the source date; its time of day is ignored
  CalcSide source;
  CalcSide target;
};

// What the calculation reads from the rest of the program, afresh at each
// recalculation.
struct CalcContext {
  const PanelList& panels;
  const std::vector<std::string>& zones;  // the zone list the window shows
  const LocalZoneRules& localRules;       // the system's zone with its daylight saving
  const LocalZone& localZone;             // its name's offset stands in when the system gives no rule
  bool pmAm = false;
  int formatDate = 0;
  const LocaleNames& locale;
  // The catalogue's key and standard offset of every entry of `zones`, in
  // its order (fewer entries: the rest have none).
  const std::vector<ZoneChoice>* zoneChoices = nullptr;
  // The rules of catalogue zones by key; without it zones convert with
  // fixed offsets.
  ZoneRuleLookup zoneRules = {};
};

// The result line: " 17 : 30 05.12.2026" (a blank, the time, a blank, the
// date), or one of the messages above. Every side converts with the offset
// its zone has at that moment, daylight saving included: the local zone
// (and the system-time panel) with the system's rules, zone panels with a
// ZoneKey and listed zones the catalogue describes with the catalogue's
// rules; other zone panels and listed zones with their fixed offsets. A
// source time the source zone's clock skips or repeats is marked with
// kCalcSkippedTime or kCalcRepeatedTime after the date. Hour or minute
// text that is not a number in range gives the message of that field.
std::string Recalculate(const CalcInput& input, const CalcContext& context);

// The panel-name lists hold every record but the date panel, in list order.
std::vector<std::string> PanelEntryNames(const PanelList& panels);
// The list position entry `entry` of those lists stands for; nothing when
// the list has no such entry.
std::optional<size_t> PanelOfEntry(const PanelList& panels, int entry);
// The entry of `after` that names the panel entry `entry` of `before` named,
// for when the panel list changed while the calculator showed it: panels
// added, deleted or moved, the whole list read again from its file. A zone
// panel is the same panel when its caption and its zone are (colours and
// visibility are only its looks); of several such panels, the one as many
// places down among them. The system-time panel is the one of its kind,
// whatever its record says of an offset. When the panel is gone, or
// `entry` named none, the entry of the system-time panel (the local clock);
// -1 when `after` has no entries.
int FollowPanelEntry(const PanelList& before, int entry, const PanelList& after);

// What a character typed into the hour or minute field does: digits,
// Backspace and the clipboard and undo keys edit the field, Enter moves on
// to the next control, anything else is refused with a beep.
enum class TimeKeyAction { Edit, NextControl, Refuse };
TimeKeyAction FilterTimeKey(unsigned character);

}  // namespace hx
