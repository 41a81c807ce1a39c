// Resource\Uninstall.ini as it comes from the disk (the ANSI code page,
// here CP1251): the uninstaller's list of what to remove. Properties:
// - the header's values are the rest of preamble lines with their keys, and
//   the header counts as complete exactly when all three are set;
// - every entry of every list is a whole line of the text, each list keeps
//   the text's order, and a narrower removal takes no entry a wider one
//   does not;
// - an entry the containment check accepts stays inside the program folder
//   once joined to it, whatever its separators, "." and ".." parts.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/cp1251.h"
#include "fuzz/fuzz_check.h"
#include "uninstaller/manifest.h"
#include "uninstaller/text_util.h"

namespace {

using namespace hx;
using namespace hx::uninstall;
using fuzz::Require;

// True when some line is `key` (any case) followed by `value`.
bool HasKeyLine(const std::vector<std::string>& lines, std::string_view key, const std::string& value) {
  for (const auto& line : lines)
    if (line.size() == key.size() + value.size() && EqualsNoCase(std::string_view(line).substr(0, key.size()), key) &&
        line.compare(key.size(), std::string::npos, value) == 0)
      return true;
  return false;
}

// Each entry is a line of the text, later entries at later lines.
bool InTextOrder(const std::vector<std::string>& entries, const std::vector<std::string>& lines) {
  size_t at = 0;
  for (const auto& entry : entries) {
    while (at < lines.size() && lines[at] != entry) ++at;
    if (at == lines.size()) return false;
    ++at;
  }
  return true;
}

// Entries of `narrow` also in `wide`, as many times at least.
bool Within(const std::vector<std::string>& narrow, const std::vector<std::string>& wide) {
  std::map<std::string, int> count;
  for (const auto& e : wide) ++count[e];
  for (const auto& e : narrow)
    if (--count[e] < 0) return false;
  return true;
}

// Where Windows takes "<folder>\<entry>": separators of either kind, empty
// and "." parts dropped, ".." climbing one level. A part of only dots and
// blanks other than "." may mean ".." (Windows drops trailing dots and
// blanks), so it counts as climbing; a ":" (drive or stream) or a leading
// "\\" (share or device) leaves the folder at once. True when the path never
// climbs above the folder.
bool StaysInside(std::string_view entry) {
  if (entry.find(':') != std::string_view::npos) return false;
  if (entry.size() >= 2 && (entry[0] == '\\' || entry[0] == '/') && (entry[1] == '\\' || entry[1] == '/'))
    return false;
  int depth = 0;
  std::string part;
  const auto endPart = [&] {
    const bool dotsAndBlanks = !part.empty() && part.find_first_not_of(". ") == std::string::npos;
    if (part == "." || part.empty()) {
    } else if (dotsAndBlanks) {
      --depth;
    } else {
      ++depth;
    }
    part.clear();
    return depth >= 0;
  };
  for (char c : entry) {
    if (c == '\\' || c == '/') {
      if (!endPart()) return false;
    } else {
      part += c;
    }
  }
  return endPart();
}

std::vector<std::string> All(const RemovalLists& l) {
  std::vector<std::string> all = l.install;
  for (const auto* list : {&l.settings, &l.links, &l.registry, &l.temporary})
    all.insert(all.end(), list->begin(), list->end());
  return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = Cp1251ToUtf8(fuzz::AsText(data, size));
  const std::vector<std::string> lines = SplitCrLfLines(text);

  ManifestHeader header;
  header.formClass = "TEarlierForm";
  const bool complete = ParseManifestHeader(text, header);
  Require(complete == (!header.programName.empty() && !header.programVers.empty() && !header.formClass.empty()),
          "the header is complete exactly when all three values are set");
  Require(header.programName.empty() || HasKeyLine(lines, "ProgramName=", header.programName),
          "the program name is the rest of a ProgramName= line");
  Require(header.programVers.empty() || HasKeyLine(lines, "ProgramVers=", header.programVers),
          "the version is the rest of a ProgramVers= line");
  Require(header.formClass == "TEarlierForm" || HasKeyLine(lines, "FormClass=", header.formClass),
          "the form class is the rest of a FormClass= line or the earlier value");

  RemovalLists byMode[4];
  const RemovalMode modes[4] = {RemovalMode::RemoveExternalSettings, RemovalMode::ResetSettings,
                                RemovalMode::RemoveProgramFiles, RemovalMode::RemoveEverything};
  for (int m = 0; m < 4; ++m) {
    ManifestHeader h;
    ParseManifestLists(text, ListPassFor(modes[m]), h, byMode[m]);
    Require(h.autoRunName.empty() || HasKeyLine(lines, "AutoRunName=", h.autoRunName),
            "the autorun name is the rest of an AutoRunName= line");
    const RemovalLists& l = byMode[m];
    for (const auto* list : {&l.install, &l.settings, &l.links, &l.registry, &l.temporary})
      Require(InTextOrder(*list, lines), "a list's entries are lines of the text, in its order");
    Require(Within(All(l), lines), "the lists together take each line at most once");
    for (const auto& entry : All(l))
      Require(!IsContainedRelativePath(entry) || StaysInside(entry),
              "an accepted entry stays inside the program folder");
  }
  Require(byMode[0].install.empty() && byMode[1].install.empty(), "settings removals take no program files");
  Require(Within(byMode[2].install, byMode[3].install), "program files are part of everything");
  return 0;
}
