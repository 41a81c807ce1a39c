#include "panels/clocks_file.h"

#include <algorithm>
#include <iterator>
#include <numeric>
#include <vector>

#include "core/product.h"

namespace hx {
namespace {

constexpr char kMain[] = "Main";
constexpr char kSettings[] = "Settings";

constexpr std::string_view kPanelSectionPrefix = "ClockPanel_";

std::string SectionName(size_t index) { return std::string(kPanelSectionPrefix) + std::to_string(index); }

// The indexes from `first` up to `end` (exclusive) that have a record
// section in the file, in ascending order; a section is named by the index
// without leading zeros, as the program writes it.
std::vector<int> PanelSectionsFrom(const IniDocument& file, int first, int end) {
  std::vector<int> indexes;
  for (const std::string& name : file.SectionNames()) {
    if (name.size() <= kPanelSectionPrefix.size() ||
        !EqualsNoCase(name.substr(0, kPanelSectionPrefix.size()), kPanelSectionPrefix))
      continue;
    const std::string digits = name.substr(kPanelSectionPrefix.size());
    if (digits.size() > 10 || digits[0] == '0' ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    const long long index = std::stoll(digits);
    if (index >= first && index < end) indexes.push_back(static_cast<int>(index));
  }
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  return indexes;
}

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
  read.fileRecords = count;
  read.cut = count > kMaxLoadedPanels;

  // The first records, as many as the list takes (a missing section reads
  // as a record of defaults); beyond them only the system-time and date
  // records, from the sections the file really has.
  std::vector<int> indexes(static_cast<size_t>(std::min(count, kMaxLoadedPanels)));
  std::iota(indexes.begin(), indexes.end(), 0);
  if (read.cut) {
    const std::vector<int> beyond = PanelSectionsFrom(file, kMaxLoadedPanels, count);
    indexes.insert(indexes.end(), beyond.begin(), beyond.end());
  }
  const ClockPanel defaults;
  for (const int k : indexes) {
    const std::string section = SectionName(static_cast<size_t>(k));
    ClockPanel p;
    p.SysFlag = file.ReadInteger(section, "SysFlag", defaults.SysFlag);
    if (p.SysFlag < kZonePanel || p.SysFlag > kDatePanel) p.SysFlag = kZonePanel;
    if (k >= kMaxLoadedPanels && p.SysFlag == kZonePanel) continue;
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
    if (p.SysFlag == kZonePanel) p.ZoneKey = file.ReadString(section, "ZoneKey", "");
    read.panels.push_back(std::move(p));
  }
  // Fixed records found beyond the first ones take the places of the last
  // zone records.
  while (read.panels.size() > static_cast<size_t>(kMaxLoadedPanels)) {
    const auto lastZone = std::find_if(read.panels.rbegin(), read.panels.rend(),
                                       [](const ClockPanel& p) { return p.SysFlag == kZonePanel; });
    if (lastZone == read.panels.rend()) break;
    read.panels.erase(std::next(lastZone).base());
  }

  if (!read.panels.empty() &&
      std::none_of(read.panels.begin(), read.panels.end(), [](const ClockPanel& p) { return p.Visible; }))
    read.panels.front().Visible = true;

  read.state = HasFixedPanels(read.panels) ? ClocksFileRead::State::Loaded : ClocksFileRead::State::CriticalError;
  if (read.state == ClocksFileRead::State::CriticalError) read.panels.clear();
  return read;
}

std::string ClocksFileCutNotice(int fileRecords) {
  return "Настройки дополнительных часовых панелей программы Horavex.KT\r\n\r\n"
         "В файле HXClocks.ini записей: " +
         std::to_string(fileRecords) + ", а программа показывает не больше " + std::to_string(kMaxLoadedPanels) +
         ". Показаны первые из них, системное время и дата.\r\n"
         "Файл оставлен как есть и не будет перезаписан, пока вы не подтвердите изменения в окне настроек "
         "программы; тогда в нём останутся только показанные панели.";
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
