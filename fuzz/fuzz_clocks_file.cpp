// Settings\HXClocks.ini as it comes from the disk (CP1251). Properties:
// - the reader either loads a list with exactly one system-time and one date
//   panel, at most the record limit, every record with a valid offset and
//   kind and at least one visible; or it loads nothing;
// - the file the writer makes from a loaded list reads back to the same
//   list (captions as one line, the way the writer keeps them).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/cp1251.h"
#include "fuzz/fuzz_check.h"
#include "panels/clocks_file.h"

namespace {

using namespace hx;
using fuzz::Require;
using State = ClocksFileRead::State;

bool ValidRecord(const ClockPanel& p) {
  return (p.TimeValue == "+" || p.TimeValue == "-" || p.TimeValue == "0") && p.TimeValue1 >= kMinPanelHours &&
         p.TimeValue1 <= kMaxPanelHours && (p.TimeValue2 == 0 || p.TimeValue2 == 30 || p.TimeValue2 == 45) &&
         p.SysFlag >= kZonePanel && p.SysFlag <= kDatePanel;
}

// A caption keeps to one line in the file: line breaks become blanks.
PanelList AsWritten(PanelList panels) {
  for (ClockPanel& p : panels)
    std::replace_if(p.Name.begin(), p.Name.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return panels;
}

ClocksFileRead ReadFromDisk(std::string_view bytes) {
  return ReadClocksFile(std::optional<std::string>(Cp1251ToUtf8(bytes)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const ClocksFileRead read = ReadFromDisk(fuzz::AsText(data, size));
  if (read.state != State::Loaded) {
    Require(read.panels.empty(), "an unusable file loads no panels");
    return 0;
  }
  const PanelList& panels = read.panels;
  Require(HasFixedPanels(panels), "a loaded list has one system-time and one date panel");
  Require(panels.size() <= static_cast<size_t>(kMaxLoadedPanels), "no more panels than the limit");
  Require(std::all_of(panels.begin(), panels.end(), ValidRecord), "every loaded record is valid");
  Require(std::any_of(panels.begin(), panels.end(), [](const ClockPanel& p) { return p.Visible; }),
          "at least one panel is visible");

  // The system-time record carries the local zone's hours; give it its own so
  // the list is written unchanged.
  const auto system = std::find_if(panels.begin(), panels.end(),
                                   [](const ClockPanel& p) { return p.SysFlag == kSystemTimePanel; });
  const std::string written = WriteClocksFile(panels, system->TimeValue1, "08.12.2025").Serialize();
  const ClocksFileRead back = ReadFromDisk(Utf8ToCp1251(written));
  Require(back.state == State::Loaded && back.skipped == 0, "the written file loads whole");
  Require(back.panels == AsWritten(panels), "the written file reads back to the same panels");
  return 0;
}
