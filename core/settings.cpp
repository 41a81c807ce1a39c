#include "core/settings.h"

#include "core/product.h"

namespace hx {
namespace {

constexpr char kMain[] = "Main";
constexpr char kSettings[] = "Settings";
constexpr char kPanel[] = "includeOnWPanel";
constexpr char kUpdate[] = "Auto_Check_New_Version";
constexpr char kPosition[] = "Position";

// Reads one key of a settings file, counting repairs and adding missing
// keys where the file format asks for it.
class KeyReader {
 public:
  KeyReader(IniDocument& doc, bool addMissing) : doc_(doc), addMissing_(addMissing) {}

  // An integer that must lie in [lo, hi]; an out-of-range value becomes
  // `repair`, is written back and counts. With `writeMissing`, a missing key
  // is added with the value read and counts.
  int Integer(const char* section, const char* key, int def, int lo, int hi, int repair, bool writeMissing) {
    int value = doc_.ReadInteger(section, key, def);
    if (value < lo || value > hi) {
      value = repair;
      Write(section, key, value);
    } else if (writeMissing) {
      AddIfMissing(section, key, value);
    }
    return value;
  }

  bool Boolean(const char* section, const char* key, bool def, bool writeMissing) {
    const bool value = doc_.ReadBool(section, key, def);
    if (writeMissing) AddIfMissing(section, key, value ? 1 : 0);
    return value;
  }

  // For keys whose value is never out of range but whose missing key is
  // written back.
  void AddIfMissing(const char* section, const char* key, int value) {
    if (addMissing_ && !doc_.HasKey(section, key)) Write(section, key, value);
  }

  int repairs = 0;
  bool changed = false;

 private:
  void Write(const char* section, const char* key, int value) {
    doc_.WriteInteger(section, key, value);
    ++repairs;
    changed = true;
  }

  IniDocument& doc_;
  bool addMissing_;
};

void RepairMainHeader(IniDocument& doc, bool& changed) {
  if (doc.ReadString(kMain, "Version", "").empty()) {
    doc.WriteString(kMain, "Version", product::kSettingsFormatVersion);
    changed = true;
  }
  if (doc.ReadString(kMain, "ProgramVersion", "").empty()) {
    doc.WriteString(kMain, "ProgramVersion", product::kNameAndVersion);
    changed = true;
  }
}

void ReadWindowsPanelKeys(KeyReader& r, ProgramSettings& s) {
  s.includeOnWPanel = r.Boolean(kPanel, "Enabled", false, false);
  s.NumPanel = r.Integer(kPanel, "NumPanel", 0, 0, 3, 0, false);
  s.RetainOnWPanel = r.Boolean(kPanel, "RetainOnWPanel", true, false);
}

}  // namespace

void ApplyMissingFileDefaults(ProgramSettings& s) {
  s.AlphaSet = 255;
  s.AlphaUsed = 1;
  s.AutoLaunch = 1;
  s.AUCheckEnabled = true;
  s.IntervalAUCheck = 2;
  s.BorderScreen = true;
}

FullLoadOutcome LoadAllSettings(IniDocument& doc, ProgramSettings& s, const PanelsGeometry& window,
                                const std::string& today) {
  FullLoadOutcome out;
  s.AlphaSet = 255;
  s.AlphaUsed = 1;

  RepairMainHeader(doc, out.documentChanged);
  const bool addMissing = doc.ReadInteger(kMain, "CutVersion", 0) == 0;
  KeyReader r(doc, addMissing);

  s.AlphaUsed = r.Integer(kSettings, "AlphaUsed", s.AlphaUsed, 0, 1, 1, true);
  s.AlphaSet = r.Integer(kSettings, "AlphaSet", 255, 100, 255, 255, true);
  s.StayOnTop = r.Boolean(kSettings, "StayOnTop", false, true);
  s.AutoLaunch = r.Integer(kSettings, "AutoLaunch", s.AutoLaunch, 0, 2, 1, true);
  out.blockedMove = r.Boolean(kSettings, "BlockedMove", false, false);
  s.HideTrayClock = r.Boolean(kSettings, "HideTrayClock", false, false);
  s.BorderScreen = r.Boolean(kSettings, "BorderScreen", true, false);
  s.Vertical = r.Boolean(kSettings, "Vertical", false, false);
  s.PmAmFormat = r.Boolean(kSettings, "PmAmFormat", false, false);
  s.FormatDate = r.Integer(kSettings, "FormatDate", 0, 0, 7, 0, true);
  ReadWindowsPanelKeys(r, s);
  s.AUCheckEnabled = r.Boolean(kUpdate, "AUCheckEnabled", true, false);
  s.IntervalAUCheck = r.Integer(kUpdate, "IntervalAUCheck", 2, 0, 6, 2, true);

  out.left = doc.ReadInteger(kPosition, "Left", window.left);
  r.AddIfMissing(kPosition, "Left", out.left);
  out.dragAnchorX = out.left;
  out.lockedLeft = out.left;

  out.top = doc.ReadInteger(kPosition, "Top", window.top);
  out.dragAnchorY = out.top;
  // Shown at 0 when it would hide its top above the screen; the file keeps
  // its value. A monitor above the primary one may hold a negative Top.
  const ScreenSize size{window.width, window.height};
  if (out.top < 0 && !TopEdgeOnMonitor({out.left, out.top}, size, window.monitors)) out.top = 0;
  r.AddIfMissing(kPosition, "Top", out.top);
  // A position on a monitor that is gone comes back onto the nearest one;
  // the lock follows, or the tick would take the window away again.
  const ScreenPoint shown = OntoNearestMonitor({out.left, out.top}, size, window.monitors);
  out.left = out.lockedLeft = shown.x;
  out.top = shown.y;
  out.lockedTop = out.top;

  if (s.includeOnWPanel && s.RetainOnWPanel) {
    switch (s.NumPanel) {
      case 0: out.top = 0; break;
      case 1: out.top = window.screenHeight - window.height; break;
      case 2: out.left = 0; break;
      case 3: out.left = window.screenWidth - window.width; break;
    }
  }

  out.repairCount = r.repairs;
  if (out.repairCount > 0) doc.WriteString(kMain, "Date", today);
  out.documentChanged = out.documentChanged || r.changed;
  return out;
}

AppearanceLoadOutcome LoadAppearanceSettings(IniDocument& doc, ProgramSettings& s, const std::string& today) {
  KeyReader r(doc, false);
  s.BorderA = r.Boolean(kSettings, "BorderA", true, false);
  s.BorderC = r.Boolean(kSettings, "BorderC", true, false);
  s.BorderT = r.Boolean(kSettings, "BorderT", true, false);
  s.Vertical = r.Boolean(kSettings, "Vertical", false, false);
  ReadWindowsPanelKeys(r, s);
  if (r.repairs > 0) doc.WriteString(kMain, "Date", today);
  return {r.repairs, r.changed};
}

IniDocument SaveAllSettings(const ProgramSettings& s, bool blockedMove, int left, int top, const std::string& today) {
  IniDocument doc;
  doc.WriteString(kMain, "File", "<Horavex Settings File>");
  doc.WriteString(kMain, "Version", product::kSettingsFormatVersion);
  doc.WriteString(kMain, "ProgramVersion", product::kNameAndVersion);
  doc.WriteInteger(kSettings, "AlphaSet", s.AlphaSet);
  doc.WriteInteger(kSettings, "AlphaUsed", s.AlphaUsed);
  doc.WriteBool(kSettings, "StayOnTop", s.StayOnTop);
  doc.WriteInteger(kSettings, "AutoLaunch", s.AutoLaunch);
  doc.WriteBool(kSettings, "BlockedMove", blockedMove);
  doc.WriteBool(kSettings, "HideTrayClock", s.HideTrayClock);
  doc.WriteBool(kSettings, "BorderScreen", s.BorderScreen);
  doc.WriteBool(kSettings, "BorderA", s.BorderA);
  doc.WriteBool(kSettings, "BorderC", s.BorderC);
  doc.WriteBool(kSettings, "BorderT", s.BorderT);
  doc.WriteBool(kSettings, "Vertical", s.Vertical);
  doc.WriteBool(kSettings, "PmAmFormat", s.PmAmFormat);
  doc.WriteInteger(kSettings, "FormatDate", s.FormatDate);
  doc.WriteBool(kPanel, "Enabled", s.includeOnWPanel);
  doc.WriteInteger(kPanel, "NumPanel", s.NumPanel);
  doc.WriteBool(kPanel, "RetainOnWPanel", s.RetainOnWPanel);
  doc.WriteInteger(kUpdate, "IntervalAUCheck", s.IntervalAUCheck);
  doc.WriteBool(kUpdate, "AUCheckEnabled", s.AUCheckEnabled);
  doc.WriteInteger(kPosition, "Left", left);
  doc.WriteInteger(kPosition, "Top", top);
  doc.WriteString(kMain, "Date", today);
  return doc;
}

std::string FullLoadRepairNotice(int repairCount) {
  return "Настройки программы Horavex.KT\r\n\r\nОтсутствовали или содержали неверные значения " +
         std::to_string(repairCount) + " из " + std::to_string(kFullLoadKeyCount) +
         " параметров.\r\nОшибки в структуре данных исправленны. Файл восстановлен. ";
}

std::string AppearanceLoadRepairNotice(int repairCount) {
  return "Настройки программы Horavex. Отсутствовали или содержали неверные значения " + std::to_string(repairCount) +
         " из " + std::to_string(kAppearanceKeyCount) +
         " параметров. Ошибки в структуре данных исправленны. Файл восстановлен. ";
}

}  // namespace hx
