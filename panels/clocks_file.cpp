#include "panels/clocks_file.h"

#include <algorithm>

#include "core/product.h"

namespace hx {
namespace {

constexpr char kMain[] = "Main";
constexpr char kSettings[] = "Settings";

std::string SectionName(size_t index) { return "ClockPanel_" + std::to_string(index); }

bool ValidOffset(const std::string& sign, int hours, int minutes) {
  return (sign == "+" || sign == "-" || sign == "0") && hours >= kMinPanelHours && hours <= kMaxPanelHours &&
         (minutes == 0 || minutes == 30 || minutes == 45);
}

// A caption is one line of the file; line breaks in it would start new keys.
std::string OneLine(std::string text) {
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return text;
}

}  // namespace

ClocksFileRead ReadClocksFile(const std::optional<std::string>& fileText) {
  if (!fileText) return ClocksFileRead{};
  return ReadClocksFile(IniDocument::Parse(*fileText));
}

ClocksFileRead ReadClocksFile(const IniDocument& file) {
  ClocksFileRead read;
  const int count = file.ReadInteger(kSettings, "PanelsCount", 2);
  if (count < 2) return read;

  const ClockPanel defaults;
  const int loaded = std::min(count, kMaxLoadedPanels);
  for (int k = 0; k < loaded; ++k) {
    const std::string section = SectionName(static_cast<size_t>(k));
    ClockPanel p;
    p.TimeValue = file.ReadString(section, "TimeValue", defaults.TimeValue);
    p.TimeValue1 = file.ReadInteger(section, "TimeValue1", defaults.TimeValue1);
    p.TimeValue2 = file.ReadInteger(section, "TimeValue2", defaults.TimeValue2);
    if (!ValidOffset(p.TimeValue, p.TimeValue1, p.TimeValue2)) {
      ++read.skipped;
      continue;
    }
    p.Name = file.ReadString(section, "Name", defaults.Name);
    p.Visible = file.ReadBool(section, "Visible", defaults.Visible);
    p.BGColor1 = file.ReadInteger(section, "BGColor1", defaults.BGColor1);
    p.BGColor2 = file.ReadInteger(section, "BGColor2", defaults.BGColor2);
    p.Color1 = file.ReadInteger(section, "Color1", defaults.Color1);
    p.Color2 = file.ReadInteger(section, "Color2", defaults.Color2);
    p.SysFlag = file.ReadInteger(section, "SysFlag", defaults.SysFlag);
    if (p.SysFlag < kZonePanel || p.SysFlag > kDatePanel) p.SysFlag = kZonePanel;
    if (p.SysFlag == kZonePanel) p.ZoneKey = file.ReadString(section, "ZoneKey", "");
    read.panels.push_back(std::move(p));
  }

  if (!read.panels.empty() &&
      std::none_of(read.panels.begin(), read.panels.end(), [](const ClockPanel& p) { return p.Visible; }))
    read.panels.front().Visible = true;

  read.state = HasFixedPanels(read.panels) ? ClocksFileRead::State::Loaded : ClocksFileRead::State::CriticalError;
  if (read.state == ClocksFileRead::State::CriticalError) read.panels.clear();
  return read;
}

IniDocument WriteClocksFile(const PanelList& panels, int localZoneHours, std::string_view today) {
  IniDocument doc;
  doc.WriteString(kMain, "File", "<Horavex Settings Clocks Panels File>");
  doc.WriteString(kMain, "Version", product::kSettingsFormatVersion);
  doc.WriteString(kMain, "ProgramVersion", product::kNameAndVersion);
  doc.WriteInteger(kSettings, "PanelsCount", static_cast<int>(panels.size()));
  for (size_t k = 0; k < panels.size(); ++k) {
    const ClockPanel& p = panels[k];
    const std::string section = SectionName(k);
    doc.WriteString(section, "Name", OneLine(p.Name));
    doc.WriteBool(section, "Visible", p.Visible);
    doc.WriteInteger(section, "BGColor1", p.BGColor1);
    doc.WriteInteger(section, "BGColor2", p.BGColor2);
    doc.WriteInteger(section, "Color1", p.Color1);
    doc.WriteInteger(section, "Color2", p.Color2);
    doc.WriteString(section, "TimeValue", p.TimeValue);
    doc.WriteInteger(section, "TimeValue1", p.SysFlag == kSystemTimePanel ? localZoneHours : p.TimeValue1);
    doc.WriteInteger(section, "TimeValue2", p.TimeValue2);
    doc.WriteInteger(section, "SysFlag", p.SysFlag);
    doc.WriteString(section, "ZoneKey", p.SysFlag == kZonePanel ? OneLine(p.ZoneKey) : std::string());
  }
  doc.WriteString(kMain, "Date", today);
  return doc;
}

}  // namespace hx
