#include "panels/panel_layout.h"

#include <gtest/gtest.h>

#include "base/memory_registry.h"
#include "core/zones.h"
#include "panels/zone_panels.h"

namespace hx {
namespace {

ClockPanel Record(int sysFlag, std::string sign = "0", int hours = 0, int minutes = 0, bool visible = true) {
  ClockPanel p;
  p.SysFlag = sysFlag;
  p.TimeValue = std::move(sign);
  p.TimeValue1 = hours;
  p.TimeValue2 = minutes;
  p.Visible = visible;
  return p;
}

std::vector<int> Lefts(const PanelsLayout& l) {
  std::vector<int> v;
  for (const auto& p : l.panels) v.push_back(p.frame.left);
  return v;
}

DateTime At(int y, int mo, int d, int h, int mi) { return DateTime{y, mo, d, h, mi, 0, 0, 0}; }

const LocaleNames kLocale = InvariantLocaleNames();

}  // namespace

TEST(PanelLayout, HiddenPanelsTakeNoPlace) {
  PanelList panels{Record(kSystemTimePanel), Record(kZonePanel, "+", 3), Record(kDatePanel)};
  auto l = LayoutPanels(panels, false, kBaseDpi);
  EXPECT_EQ(Lefts(l), (std::vector<int>{0, 84, 168}));
  EXPECT_EQ(l.width, 252);
  EXPECT_EQ(l.height, 56);

  panels[1].Visible = false;
  l = LayoutPanels(panels, false, kBaseDpi);
  EXPECT_EQ(l.panels[2].frame, (PanelRect{84, 0, 84, 56}));
  EXPECT_FALSE(l.panels[1].visible);
  EXPECT_EQ(l.visibleCount, 2);
  EXPECT_EQ(l.width, 168);

  panels[1].Visible = true;
  l = LayoutPanels(panels, true, kBaseDpi);
  EXPECT_EQ(l.panels[2].frame, (PanelRect{0, 112, 84, 56}));
  EXPECT_EQ(l.width, 84);
  EXPECT_EQ(l.height, 168);
}

// At another DPI every frame keeps one size, so the window is a whole
// number of frames; lines keep touching their frame's scaled margins; a
// bevel is never thinner than one pixel.
TEST(PanelLayout, ScalesWithTheWindowsDpi) {
  const PanelList panels{Record(kSystemTimePanel), Record(kZonePanel, "+", 3), Record(kDatePanel)};
  struct Row { int dpi, width; PanelRect frame2, caption, value; BevelWidths one, two; };
  const Row rows[] = {
      {96, 252, {168, 0, 84, 56}, {4, 4, 76, 22}, {4, 30, 76, 22}, {1, 0}, {1, 1}},
      {120, 315, {210, 0, 105, 70}, {5, 5, 95, 28}, {5, 38, 95, 27}, {1, 0}, {2, 1}},
      {144, 378, {252, 0, 126, 84}, {6, 6, 114, 33}, {6, 45, 114, 33}, {2, 0}, {2, 1}},
      {192, 504, {336, 0, 168, 112}, {8, 8, 152, 44}, {8, 60, 152, 44}, {2, 0}, {2, 2}},
  };
  for (const Row& r : rows) {
    const auto l = LayoutPanels(panels, false, r.dpi);
    EXPECT_EQ(l.width, r.width) << r.dpi;
    EXPECT_EQ(l.height, r.frame2.height) << r.dpi;
    EXPECT_EQ(l.panels[2].frame, r.frame2) << r.dpi;
    EXPECT_EQ(PanelMetricsForDpi(r.dpi).caption, r.caption) << r.dpi;
    EXPECT_EQ(PanelMetricsForDpi(r.dpi).value, r.value) << r.dpi;
    EXPECT_EQ(BevelWidthsForDpi(FrameBevels(true), r.dpi), r.one) << r.dpi;
    EXPECT_EQ(BevelWidthsForDpi(LineBevels(false), r.dpi), r.two) << r.dpi;
  }
  EXPECT_EQ(LayoutPanels(panels, true, 144).height, 252);
}

TEST(ZonePanelTimes, ConvertsThroughUniversalTimeWithDateHints) {
  const LocalZone local{"(GMT-03:30) Newfoundland", "-", 3, 30, {}};
  const PanelList panels{Record(kSystemTimePanel), Record(kZonePanel, "+", 5, 45), Record(kDatePanel),
                         Record(kZonePanel, "0", 5, 0)};
  auto times = ComputeZonePanelTimes(panels, At(2026, 3, 6, 10, 59), local.Offset(), false, 2, kLocale);
  ASSERT_EQ(times.size(), 2u);
  EXPECT_EQ(times[0].index, 1u);
  EXPECT_EQ(times[0].text, "20 : 14");
  EXPECT_EQ(times[0].date, "06.03.2026");
  EXPECT_EQ(times[1].index, 3u);
  EXPECT_EQ(times[1].text, "09 : 29");  // "0" with 5 hours: 5 hours behind UTC 14:29

  times = ComputeZonePanelTimes(panels, At(2026, 12, 31, 22, 59), local.Offset(), true, 0, kLocale);
  EXPECT_EQ(times[0].text, "AM 08 : 14");
  EXPECT_EQ(times[0].dayShift, 1);
  EXPECT_EQ(times[0].date, "01.01.27");

  const PanelList west{Record(kZonePanel, "-", 10, 0)};
  times = ComputeZonePanelTimes(west, At(2026, 3, 1, 0, 10), SignedOffset("+", 5, 45), false, 7, kLocale);
  EXPECT_EQ(times[0].text, "08 : 25");
  EXPECT_EQ(times[0].date, "2026-02-28");
  // Outside 0..7 the hint is the locale's short date only, not the time.
  times = ComputeZonePanelTimes(west, At(2026, 3, 1, 0, 10), SignedOffset("+", 5, 45), false, 9, kLocale);
  EXPECT_EQ(times[0].date, "02/28/2026");
}

// Worked by hand: the local clock is universal time, so each row reads
// "this universal instant, on a clock that many hours and minutes away".
TEST(ZonePanelTimes, FixedOffsetsFromAUniversalInstantByHand) {
  struct Row { DateTime utc; const char* sign; int hours, minutes; const char* text; const char* date; };
  const Row rows[] = {
      {At(2026, 3, 6, 10, 59), "+", 5, 45, "16 : 44", "2026-03-06"},
      {At(2026, 3, 6, 9, 31), "+", 5, 30, "15 : 01", "2026-03-06"},
      {At(2026, 3, 6, 18, 20), "+", 5, 45, "00 : 05", "2026-03-07"},
      {At(2026, 12, 31, 11, 15), "+", 12, 45, "00 : 00", "2027-01-01"},
      {At(2026, 12, 31, 10, 14), "+", 12, 45, "22 : 59", "2026-12-31"},
      {At(2026, 3, 6, 10, 0), "+", 14, 0, "00 : 00", "2026-03-07"},
      {At(2026, 3, 1, 2, 10), "-", 3, 30, "22 : 40", "2026-02-28"},
      {At(2024, 3, 1, 5, 0), "-", 9, 30, "19 : 30", "2024-02-29"},
      {At(2026, 1, 1, 0, 44), "-", 12, 0, "12 : 44", "2025-12-31"},
      {At(2026, 3, 6, 4, 59), "0", 5, 0, "23 : 59", "2026-03-05"},  // "0": west of Greenwich
      {At(2026, 3, 6, 4, 59), "0", 0, 0, "04 : 59", "2026-03-06"},
  };
  for (const Row& r : rows) {
    const auto times =
        ComputeZonePanelTimes({Record(kZonePanel, r.sign, r.hours, r.minutes)}, r.utc, 0, false, 7, kLocale);
    ASSERT_EQ(times.size(), 1u);
    EXPECT_EQ(times[0].text, r.text) << r.sign << r.hours << ":" << r.minutes << " at " << r.utc.hour << ":" << r.utc.minute;
    EXPECT_EQ(times[0].date, r.date) << r.sign << r.hours << ":" << r.minutes;
  }
}

TEST(ZonePanelTimes, ZonesWithKeysFollowTheirClockChangesToTheMinute) {
  MemoryRegistry registry;
  ZoneRule newYork;
  newYork.bias = 300;
  newYork.daylightBias = -60;
  newYork.daylightStart = {0, 3, 0, 2, 0, 2, 0, 0, 0};
  newYork.standardStart = {0, 11, 0, 1, 0, 2, 0, 0, 0};
  registry.WriteBinary(RegistryRoot::LocalMachine, std::string(kTimeZonesKey) + "\\Eastern Standard Time", "TZI",
                       EncodeTzi(newYork));
  ZoneRuleCache cache(registry);
  const ZoneRuleLookup lookup = [&](const std::string& key) { return cache.Find(key); };

  PanelList panels{Record(kZonePanel, "-", 5), Record(kZonePanel, "-", 5), Record(kZonePanel, "-", 5)};
  panels[0].ZoneKey = "Eastern Standard Time";
  panels[1].ZoneKey = "Atlantis Standard Time";  // from another system's catalogue
  const int moscow = 180;
  // `fixed`: the clock of a record that keeps -05:00 all year.
  struct Case { DateTime local; const char* known; const char* knownHint; const char* fixed; };
  const Case cases[] = {
      {At(2026, 3, 8, 9, 59), "01 : 59", "08.03.2026, UTC-05:00", "01 : 59"},
      {At(2026, 3, 8, 10, 0), "03 : 00", "08.03.2026, UTC-04:00 (летнее время)", "02 : 00"},
      {At(2026, 11, 1, 8, 59), "01 : 59", "01.11.2026, UTC-04:00 (летнее время)", "00 : 59"},
      {At(2026, 11, 1, 9, 0), "01 : 00", "01.11.2026, UTC-05:00", "01 : 00"},
  };
  for (const Case& c : cases) {
    const auto times = ComputeZonePanelTimes(panels, c.local, moscow, false, 2, kLocale, lookup);
    ASSERT_EQ(times.size(), 3u);
    EXPECT_EQ(times[0].text, c.known) << c.local.hour << ":" << c.local.minute;
    EXPECT_EQ(times[0].hint, c.knownHint);
    // The unknown zone and the record without a key keep the fixed -05:00.
    for (size_t k : {1u, 2u}) {
      EXPECT_EQ(times[k].offset, -300);
      EXPECT_EQ(times[k].text, c.fixed);
    }
    EXPECT_EQ(times[1].hint, times[1].date + ", UTC-05:00 (пояс не найден в системе, смещение постоянное)");
    EXPECT_EQ(times[2].hint, times[2].date + ", UTC-05:00");
  }
}

}  // namespace hx
