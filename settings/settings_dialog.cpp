#include "settings/settings_dialog.h"

namespace hx {

void SettingsSession::Open() {
  m_.SettingsOpen = true;
  embeddedAtOpen_ = m_.settings.includeOnWPanel;
  edgeAtOpen_ = m_.settings.NumPanel;
  snapshot_.settings = m_.settings;
  snapshot_.panels = m_.panels;
  snapshot_.BlockedMove = m_.placement.BlockedMove;
  snapshot_.LockedLeft = m_.placement.LockedLeft;
  snapshot_.LockedTop = m_.placement.LockedTop;
  snapshot_.hidden = m_.placement.HiddenTop >= 0;
}

bool SettingsSession::SetAlphaPosition(int position) {
  if (m_.settings.AlphaUsed != 1) return false;
  m_.settings.AlphaSet = position;
  fx_.ApplyOpacity();
  return true;
}

void SettingsSession::SetAlphaUsed(bool used) {
  m_.settings.AlphaUsed = used ? 1 : 0;
  fx_.ApplyOpacity();
}

void SettingsSession::SetVertical(bool vertical) {
  m_.settings.Vertical = vertical;
  fx_.RebuildPanels();
}

void SettingsSession::SetPmAmFormat(bool on) {
  m_.settings.PmAmFormat = on;
  m_.TimeFormatChanged = true;
}

void SettingsSession::SetFormatDate(int index) {
  m_.settings.FormatDate = index;
  m_.TimeFormatChanged = true;
}

void SettingsSession::BringBackFromHiding(int left) {
  if (const auto top = m_.placement.ReturnFromHidden()) {
    fx_.ShowMainWindow();
    fx_.MovePanelsWindow({left, *top});
  }
}

void SettingsSession::Ok(const SettingsChoices& c) {
  ProgramSettings& s = m_.settings;
  s.AUCheckEnabled = c.AUCheckEnabled;
  s.IntervalAUCheck = c.IntervalAUCheck;
  s.HideTrayClock = c.HideTrayClock;
  s.BorderScreen = c.BorderScreen;
  s.BorderA = c.BorderA;
  s.BorderC = c.BorderC;
  s.BorderT = c.BorderT;
  if (c.includeOnWPanel != s.includeOnWPanel) m_.RecreatePanels = true;
  s.includeOnWPanel = c.includeOnWPanel;

  // A window that was hidden above the screen with its Windows panel must
  // not stay there once it no longer follows one.
  if (m_.RecreatePanels && !s.includeOnWPanel) {
    const ScreenRect r = fx_.PanelsWindow();
    if (r.top < 0) fx_.MovePanelsWindow({r.left, 0});
  }
  // A new Windows panel places the window anew: an old lock would pull it
  // away from there.
  if (s.includeOnWPanel && (!embeddedAtOpen_ || s.NumPanel != edgeAtOpen_)) m_.placement.SetLocked(false, {});

  m_.kept = {};
  fx_.SaveParametrs();
  fx_.SaveClocks();
}

void SettingsSession::Cancel() {
  const bool layoutChanged =
      m_.settings.Vertical != snapshot_.settings.Vertical || m_.panels != snapshot_.panels;
  m_.settings = snapshot_.settings;
  m_.panels = snapshot_.panels;
  PlacementState& p = m_.placement;
  p.BlockedMove = snapshot_.BlockedMove;
  p.LockedLeft = snapshot_.LockedLeft;
  // While the dialog was open the window may have slid away with its
  // Windows panel or come back; its lock Top then follows that, not the
  // value from before.
  if ((p.HiddenTop >= 0) == snapshot_.hidden) p.LockedTop = snapshot_.LockedTop;

  if (m_.settings.includeOnWPanel) BringBackFromHiding(fx_.PanelsWindow().left);

  fx_.SetTrayClockHidden(m_.settings.HideTrayClock, false);
  fx_.ApplyOpacity();
  if (layoutChanged) fx_.RebuildPanels();
  m_.TimeFormatChanged = true;
}

void SettingsSession::Close() {
  if (m_.RecreatePanels) {
    m_.PanelsRecreated = true;
    fx_.RecreatePanelsWindow();
    m_.RecreatePanels = false;
  }
  const ProgramSettings& s = m_.settings;
  if (s.includeOnWPanel && s.RetainOnWPanel) {
    const ScreenRect r = fx_.PanelsWindow();
    const ScreenPoint at =
        PutAgainstEdge({r.left, r.top}, {r.Width(), r.Height()}, fx_.Screen(), s.NumPanel);
    fx_.MovePanelsWindow(at);
    if (m_.placement.HiddenTop == 0 && !m_.placement.BlockedMove) BringBackFromHiding(at.x);
    fx_.SaveParametrs();
  }
  m_.SettingsOpen = false;
}

}  // namespace hx
