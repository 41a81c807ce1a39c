// The once-a-minute texts of the zone panels: one reading of the local
// clock, converted to universal time with the local offset, then to every
// zone panel's own offset.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "base/datetime.h"
#include "core/time_format.h"
#include "core/zone_catalogue.h"
#include "panels/clock_panel.h"

namespace hx {

inline constexpr char kDaylightNote[] = "(летнее время)";
inline constexpr char kZoneMissingNote[] = "(пояс не найден в системе, смещение постоянное)";

struct ZonePanelTime {
  size_t index = 0;  // the record's position in the list
  std::string text;  // "14 : 05", or with PmAmFormat "PM 02 : 05"
  std::string date;  // the zone's date in the FormatDate pattern
  // The date and the zone's current offset: "06.03.2026, UTC-04:00
  // (летнее время)" while daylight saving time is in force there, with
  // kZoneMissingNote when the record's zone is not in the catalogue.
  std::string hint;
  int dayShift = 0;  // the zone's date minus the local date
  int offset = 0;    // minutes east of universal time shown
  bool daylight = false;
};


// `now` is the single clock reading; `localUtcOffset` the local clock's
// offset from universal time in minutes (LocalUtcOffset of core/zones.h).
// One entry per zone panel (SysFlag 0), in list order. A record with a
// ZoneKey that `zoneRules` knows shows that zone's offset at this universal
// moment, daylight saving time included; any other record its fixed offset.
// The offset is worked out afresh at every call, so a zone's clock change
// shows at the first call from the minute it happens.
std::vector<ZonePanelTime> ComputeZonePanelTimes(const PanelList& panels, const DateTime& now, int localUtcOffset,
                                                 bool pmAm, int formatDate, const LocaleNames& locale,
                                                 const ZoneRuleLookup& zoneRules = {});

}  // namespace hx
