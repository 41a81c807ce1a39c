#include "calc/time_calc.h"

namespace hx {
namespace {

// A field's value when its text is a decimal number of at most four digits.
std::optional<int> FieldValue(const std::string& text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

DateTime At(const DateTime& date, int hour, int minute) {
  DateTime moment = DateOnly(date);
  moment.hour = hour;
  moment.minute = minute;
  return moment;
}

// Which zone a side stands for, once its list entry is looked up: zone
// rules, or a fixed offset when there are none.
struct Zone {
  const LocalZoneRules* rules = nullptr;
  int offset = 0;  // minutes east of universal time, without rules
};

// The rules of catalogue zone `key`, or nothing.
const LocalZoneRules* RulesOf(const std::string& key, const CalcContext& context) {
  if (key.empty() || !context.zoneRules) return nullptr;
  return context.zoneRules(key);
}

std::optional<Zone> ZoneOf(const CalcSide& side, const CalcContext& context) {
  switch (side.kind) {
    case CalcZoneKind::Local:
      return Zone{&context.localRules, 0};
    case CalcZoneKind::Panel: {
      const auto index = PanelOfEntry(context.panels, side.entry);
      if (!index) return std::nullopt;
      const ClockPanel& panel = context.panels[*index];
      // The system-time panel shows the local clock, whatever its record
      // says of an offset.
      if (panel.SysFlag == kSystemTimePanel) return Zone{&context.localRules, 0};
      return Zone{RulesOf(panel.ZoneKey, context), PanelOffset(panel)};
    }
    case CalcZoneKind::Standard: {
      if (side.entry < 0 || static_cast<size_t>(side.entry) >= context.zones.size()) return std::nullopt;
      const auto entry = static_cast<size_t>(side.entry);
      const LocalZoneRules* rules = nullptr;
      if (context.zoneChoices && entry < context.zoneChoices->size())
        rules = RulesOf((*context.zoneChoices)[entry].keyName, context);
      return Zone{rules, SignedOffset(ParseZoneOffset(context.zones[entry]))};
    }
  }
  return std::nullopt;
}

}  // namespace

std::string Recalculate(const CalcInput& input, const CalcContext& context) {
  if (input.hourText.empty() || input.minuteText.empty()) return kCalcEnterTime;
  const auto hour = FieldValue(input.hourText);
  if (!hour || *hour > 23) return kCalcWrongHour;
  const auto minute = FieldValue(input.minuteText);
  if (!minute || *minute > 59) return kCalcWrongMinutes;

  const auto source = ZoneOf(input.source, context);
  const auto target = ZoneOf(input.target, context);
  if (!source || !target) return kCalcChooseZone;

  // The local zone's standard offset stands in when the system gives no
  // rule; it is the offset of a side without rules of its own otherwise.
  const int standardLocal = context.localZone.Offset();
  const auto fallback = [&](const Zone& zone) { return zone.rules == &context.localRules ? standardLocal : zone.offset; };
  const DateTime sourceTime = At(input.date, *hour, *minute);
  const int sourceOffset = source->rules ? OffsetAtLocalTime(*source->rules, sourceTime).value_or(fallback(*source))
                                         : source->offset;
  int targetOffset = target->offset;
  if (target->rules) {
    // The target's offset at the moment itself, which may differ from the
    // one at the source's date when its clock changes in between.
    const ZoneClock utc = ZoneClockTime(*hour, *minute, sourceOffset, 0);
    const DateTime moment = At(AddDays(input.date, utc.dayShift), utc.hour, utc.minute);
    targetOffset = OffsetAtUniversalTime(*target->rules, moment).value_or(fallback(*target));
  }

  const ZoneClock result = ZoneClockTime(*hour, *minute, sourceOffset, targetOffset);
  char time[kTimeTextCapacity];
  const size_t size = FormatZoneText(result.hour, result.minute, context.pmAm, time);
  std::string line = " " + std::string(time, size) + " " +
                     DateFormat(context.formatDate, AddDays(DateOnly(input.date), result.dayShift), context.locale);
  if (source->rules) {
    switch (ClassifyLocalTime(*source->rules, sourceTime)) {
      case LocalTimeKind::Skipped: line += std::string(" ") + kCalcSkippedTime; break;
      case LocalTimeKind::Repeated: line += std::string(" ") + kCalcRepeatedTime; break;
      case LocalTimeKind::Normal: break;
    }
  }
  return line;
}

std::vector<std::string> PanelEntryNames(const PanelList& panels) {
  std::vector<std::string> names;
  for (const ClockPanel& panel : panels)
    if (panel.SysFlag != kDatePanel) names.push_back(panel.Name);
  return names;
}

std::optional<size_t> PanelOfEntry(const PanelList& panels, int entry) {
  if (entry < 0) return std::nullopt;
  int seen = 0;
  for (size_t i = 0; i < panels.size(); ++i) {
    if (panels[i].SysFlag == kDatePanel) continue;
    if (seen++ == entry) return i;
  }
  return std::nullopt;
}

namespace {

// Which clock a record is, as the calculator's lists and arithmetic see it.
bool SamePanel(const ClockPanel& a, const ClockPanel& b) {
  if (a.SysFlag != b.SysFlag) return false;
  // Saving rewrites the system-time record's hours as the local zone's.
  if (a.SysFlag != kZonePanel) return true;
  return a.Name == b.Name && a.TimeValue == b.TimeValue && a.TimeValue1 == b.TimeValue1 &&
         a.TimeValue2 == b.TimeValue2 && a.ZoneKey == b.ZoneKey;
}

// The entry of list position `index` (which is not the date panel).
int EntryOfPanel(const PanelList& panels, size_t index) {
  int entry = 0;
  for (size_t i = 0; i < index; ++i)
    if (panels[i].SysFlag != kDatePanel) ++entry;
  return entry;
}

}  // namespace

int FollowPanelEntry(const PanelList& before, int entry, const PanelList& after) {
  if (!PanelOfEntry(after, 0)) return -1;
  if (const auto chosen = PanelOfEntry(before, entry)) {
    const ClockPanel& panel = before[*chosen];
    size_t twin = 0;  // how many panels like it stand before it
    for (size_t i = 0; i < *chosen; ++i)
      if (SamePanel(before[i], panel)) ++twin;
    std::optional<size_t> found;
    size_t seen = 0;
    for (size_t i = 0; i < after.size() && seen <= twin; ++i)
      if (SamePanel(after[i], panel)) {
        found = i;
        ++seen;
      }
    if (found) return EntryOfPanel(after, *found);
  }
  for (size_t i = 0; i < after.size(); ++i)
    if (after[i].SysFlag == kSystemTimePanel) return EntryOfPanel(after, i);
  return 0;
}

TimeKeyAction FilterTimeKey(unsigned character) {
  constexpr unsigned kBackspace = 8, kEnter = 13;
  constexpr unsigned kCtrlA = 1, kCtrlC = 3, kCtrlV = 22, kCtrlX = 24, kCtrlZ = 26;
  if (character >= '0' && character <= '9') return TimeKeyAction::Edit;
  switch (character) {
    case kBackspace:
    case kCtrlA:
    case kCtrlC:
    case kCtrlV:
    case kCtrlX:
    case kCtrlZ:
      return TimeKeyAction::Edit;
    case kEnter:
      return TimeKeyAction::NextControl;
    default:
      return TimeKeyAction::Refuse;
  }
}

}  // namespace hx
