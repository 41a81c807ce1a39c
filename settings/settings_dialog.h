// What the settings dialog does to the program's state, apart from its
// window: the values it takes when it opens, the changes that act at once,
// and the OK, Cancel and close sequences.
#pragma once
#include <optional>

#include "core/geometry.h"
#include "core/placement.h"
#include "core/settings.h"
#include "panels/clock_panel.h"

namespace hx {

// The state the dialog works on; the program keeps it.
struct SettingsModel {
  ProgramSettings& settings;
  PanelList& panels;
  PlacementState& placement;
  bool& SettingsOpen;
  bool& RecreatePanels;     // the panels window is re-created when the dialog closes
  bool& PanelsRecreated;
  bool& TimeFormatChanged;  // the tick re-formats every shown time
  KeptFiles& kept;          // settings files the program leaves as they are
};

// What the dialog asks of the windows around it.
class SettingsEffects {
 public:
  virtual ~SettingsEffects() = default;
  // Drops and rebuilds the panels of the panels window from the panel list.
  virtual void RebuildPanels() = 0;
  // Gives the panels window the opacity of AlphaUsed and AlphaSet.
  virtual void ApplyOpacity() = 0;
  // Hides or shows the tray clock; `nudgeAlways` nudges the notification
  // area even when the clock's visibility did not change.
  virtual void SetTrayClockHidden(bool hide, bool nudgeAlways) = 0;
  virtual void SaveParametrs() = 0;
  virtual void SaveClocks() = 0;
  // Closes the panels window, reads the appearance keys again, creates a
  // new panels window and reads all settings again.
  virtual void RecreatePanelsWindow() = 0;
  virtual ScreenRect PanelsWindow() = 0;
  virtual ScreenSize Screen() = 0;
  virtual void MovePanelsWindow(ScreenPoint to) = 0;
  // The main window comes back after hiding with a Windows panel.
  virtual void ShowMainWindow() = 0;
};

// The values of the dialog's controls that only OK stores.
struct SettingsChoices {
  bool AUCheckEnabled = true;
  int IntervalAUCheck = 2;
  bool HideTrayClock = false;
  bool BorderScreen = true;
  bool BorderA = true;
  bool BorderC = true;
  bool BorderT = true;
  bool includeOnWPanel = false;  // "Встроить в панель Windows"
};

// Everything Cancel gives back: the dialog changes settings and panels at
// once, and the settings file may not exist yet to read them back from.
struct SettingsSnapshot {
  ProgramSettings settings;
  PanelList panels;
  bool BlockedMove = false;
  int LockedLeft = 0;
  int LockedTop = 0;
  bool hidden = false;  // the panels window was hidden with its Windows panel
};

// One opening of the settings dialog, from creation to close.
class SettingsSession {
 public:
  SettingsSession(SettingsModel model, SettingsEffects& effects) : m_(model), fx_(effects) {}

  // The dialog is created: remembers the embedding choice and everything
  // Cancel must give back.
  void Open();
  // The controls are filled: from now on only the placement dialog and OK
  // ask for a new panels window.
  void ControlsFilled() { m_.RecreatePanels = false; }

  bool EmbeddedAtOpen() const { return embeddedAtOpen_; }
  int EdgeAtOpen() const { return edgeAtOpen_; }
  const SettingsSnapshot& Snapshot() const { return snapshot_; }

  // Changes that act at once.
  void SetAutoLaunch(int index) { m_.settings.AutoLaunch = index; }
  // The opacity slider moved; ignored while transparency is off. Returns
  // whether AlphaSet took the value.
  bool SetAlphaPosition(int position);
  void SetAlphaUsed(bool used);
  void SetVertical(bool vertical);
  void SetPmAmFormat(bool on);
  void SetFormatDate(int index);

  // OK: stores the choices, adjusts the window for a changed embedding and
  // saves settings and panels; the user's confirmation replaces files the
  // program had left as they were.
  void Ok(const SettingsChoices& choices);
  // Cancel (also Escape and closing the window): gives back the snapshot
  // and re-applies what the dialog changed on screen.
  void Cancel();
  // After OK or Cancel: re-creates the panels window when asked, keeps it
  // against its Windows panel, and ends the session.
  void Close();

 private:
  void BringBackFromHiding(int left);

  SettingsModel m_;
  SettingsEffects& fx_;
  bool embeddedAtOpen_ = false;
  int edgeAtOpen_ = kEdgeTop;
  SettingsSnapshot snapshot_;
};

}  // namespace hx
