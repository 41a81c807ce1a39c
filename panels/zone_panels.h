// The once-a-minute texts of the zone panels: one reading of the local
// clock, converted to universal time with the local offset, then to every
// zone panel's own offset.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "base/datetime.h"
#include "core/time_format.h"
#include "panels/clock_panel.h"

namespace hx {

struct ZonePanelTime {
  size_t index = 0;  // the record's position in the list
  std::string text;  // "14 : 05", or with PmAmFormat "PM 02 : 05"
  std::string hint;  // the zone's date in the FormatDate pattern
  int dayShift = 0;  // the zone's date minus the local date
};

// `now` is the single clock reading; `localUtcOffset` the local clock's
// offset from universal time in minutes (LocalUtcOffset of core/zones.h).
// One entry per zone panel (SysFlag 0), in list order.
std::vector<ZonePanelTime> ComputeZonePanelTimes(const PanelList& panels, const DateTime& now, int localUtcOffset,
                                                 bool pmAm, int formatDate, const LocaleNames& locale);

}  // namespace hx
