#include "panels/zone_panels.h"

#include "core/zones.h"

namespace hx {

std::vector<ZonePanelTime> ComputeZonePanelTimes(const PanelList& panels, const DateTime& now, int localUtcOffset,
                                                 bool pmAm, int formatDate, const LocaleNames& locale) {
  std::vector<ZonePanelTime> times;
  const DateTime today = DateOnly(now);
  for (size_t i = 0; i < panels.size(); ++i) {
    const ClockPanel& p = panels[i];
    if (p.SysFlag != kZonePanel) continue;
    const ZoneClock zone = ZoneClockTime(now.hour, now.minute, localUtcOffset, PanelOffset(p));
    char text[kTimeTextCapacity];
    const size_t size = FormatZoneText(zone.hour, zone.minute, pmAm, text);
    times.push_back(
        ZonePanelTime{i, std::string(text, size), DateFormat(formatDate, AddDays(today, zone.dayShift), locale), zone.dayShift});
  }
  return times;
}

}  // namespace hx
