// Settings\HXSettings.ini as it comes from the disk: CP1251 bytes that a user
// or another version may have edited. Properties:
// - the INI engine keeps the document: its text parses to the same text;
// - a value the reader gives, written back under its key, reads the same;
// - after the reader's repairs every setting lies in its range, and reading
//   the repaired file again finds nothing more to repair;
// - the file the writer makes from those settings reads back to the same
//   settings and window place, with nothing to repair.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/cp1251.h"
#include "base/ini.h"
#include "core/settings.h"
#include "fuzz/fuzz_check.h"

namespace {

using namespace hx;
using fuzz::Require;

constexpr char kToday[] = "08.12.2025";
// A panels window of 300 x 60 at (40, 30) on a 1024 x 768 screen.
const PanelsGeometry kWindow{40, 30, 300, 60, 1024, 768};

IniDocument FromDisk(std::string_view bytes) { return IniDocument::Parse(Cp1251ToUtf8(bytes)); }
std::string ToDisk(const IniDocument& doc) { return Utf8ToCp1251(doc.Serialize()); }

struct Loaded {
  ProgramSettings settings;
  FullLoadOutcome full;
  AppearanceLoadOutcome look;
};

// Both reads the program makes of the file.
Loaded Load(IniDocument& doc) {
  Loaded l;
  l.full = LoadAllSettings(doc, l.settings, kWindow, kToday);
  l.look = LoadAppearanceSettings(doc, l.settings, kToday);
  return l;
}

bool InRange(const ProgramSettings& s) {
  return (s.AlphaUsed == 0 || s.AlphaUsed == 1) && s.AlphaSet >= 100 && s.AlphaSet <= 255 && s.AutoLaunch >= 0 &&
         s.AutoLaunch <= 2 && s.FormatDate >= 0 && s.FormatDate <= 7 && s.NumPanel >= 0 && s.NumPanel <= 3 &&
         s.IntervalAUCheck >= 0 && s.IntervalAUCheck <= 6;
}

bool NothingRepaired(const Loaded& l) {
  return l.full.repairCount == 0 && !l.full.documentChanged && l.look.repairCount == 0 && !l.look.documentChanged;
}

bool SamePlace(const FullLoadOutcome& a, const FullLoadOutcome& b) {
  return a.blockedMove == b.blockedMove && a.left == b.left && a.top == b.top;
}

// Reads the keys of the first sections (a bounded number, to keep each run
// short), writes each value back and reads it again, then once more from the
// saved file.
void CheckValuesWriteBack(const IniDocument& original) {
  struct Entry {
    std::string section, key, value;
  };
  std::vector<Entry> entries;
  IniDocument doc = original;
  for (const std::string& section : original.SectionNames()) {
    for (const std::string& key : original.KeyNames(section)) {
      if (entries.size() == 16) break;
      std::string value = doc.ReadString(section, key, "");
      doc.WriteString(section, key, value);
      Require(doc.ReadString(section, key, "\x01") == value, "a value written back reads the same");
      entries.push_back({section, key, std::move(value)});
    }
  }
  const IniDocument saved = FromDisk(ToDisk(doc));
  for (const Entry& e : entries)
    Require(saved.ReadString(e.section, e.key, "\x01") == e.value,
            "a value written back reads the same from the saved file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IniDocument doc = FromDisk(fuzz::AsText(data, size));

  const std::string text = doc.Serialize();
  Require(IniDocument::Parse(text).Serialize() == text, "the engine's text parses to the same text");
  CheckValuesWriteBack(doc);

  const Loaded first = Load(doc);
  Require(InRange(first.settings), "every setting lies in its range after the repairs");
  Require(first.full.repairCount <= kFullLoadKeyCount, "no more repairs than keys");
  Require(first.look.repairCount <= kAppearanceKeyCount, "no more appearance repairs than keys");

  IniDocument repaired = FromDisk(ToDisk(doc));
  const Loaded again = Load(repaired);
  Require(NothingRepaired(again), "a repaired file needs no further repair");
  Require(again.settings == first.settings, "a repaired file reads the same settings again");
  Require(SamePlace(again.full, first.full), "a repaired file gives the same window place again");

  IniDocument saved = FromDisk(ToDisk(SaveAllSettings(first.settings, first.full.blockedMove, first.full.left,
                                                      first.full.top, kToday)));
  const Loaded back = Load(saved);
  Require(NothingRepaired(back), "the written file needs no repair");
  Require(back.settings == first.settings, "the written file reads back to the same settings");
  Require(SamePlace(back.full, first.full), "the written file gives the same window place");
  return 0;
}
