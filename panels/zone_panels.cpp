#include "panels/zone_panels.h"

#include "core/zones.h"

namespace hx {
namespace {

DateTime UniversalTime(const DateTime& now, int localUtcOffset) {
  const ZoneClock utc = ZoneClockTime(now.hour, now.minute, localUtcOffset, 0);
  DateTime t = AddDays(DateOnly(now), utc.dayShift);
  t.hour = utc.hour;
  t.minute = utc.minute;
  return t;
}

}  // namespace

std::vector<ZonePanelTime> ComputeZonePanelTimes(const PanelList& panels, const DateTime& now, int localUtcOffset,
                                                 bool pmAm, int formatDate, const LocaleNames& locale,
                                                 const ZoneRuleLookup& zoneRules) {
  std::vector<ZonePanelTime> times;
  const DateTime today = DateOnly(now);
  const DateTime utc = UniversalTime(now, localUtcOffset);
  for (size_t i = 0; i < panels.size(); ++i) {
    const ClockPanel& p = panels[i];
    if (p.SysFlag != kZonePanel) continue;
    ZonePanelTime zone;
    zone.index = i;
    zone.offset = PanelOffset(p);
    std::string note;
    if (!p.ZoneKey.empty()) {
      const ZoneYearRules* rules = zoneRules ? zoneRules(p.ZoneKey) : nullptr;
      if (rules) {
        const ZoneState state = ZoneStateAt(*rules, utc);
        zone.offset = state.offset;
        zone.daylight = state.daylight;
        if (state.daylight) note = std::string(" ") + kDaylightNote;
      } else {
        note = std::string(" ") + kZoneMissingNote;
      }
    }
    const ZoneClock clock = ZoneClockTime(now.hour, now.minute, localUtcOffset, zone.offset);
    char text[kTimeTextCapacity];
    const size_t size = FormatZoneText(clock.hour, clock.minute, pmAm, text);
    zone.text.assign(text, size);
    zone.dayShift = clock.dayShift;
    zone.date = DateFormat(formatDate, AddDays(today, clock.dayShift), locale);
    zone.hint = zone.date + ", " + OffsetText(zone.offset) + note;
    times.push_back(std::move(zone));
  }
  return times;
}

}  // namespace hx
