#include "settings/settings_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hx {
namespace {

constexpr ScreenSize kScreen{1024, 768};

// Records what the dialog asks of the windows, in order; the panels window
// is a rectangle that moves when asked.
class FakeEffects : public SettingsEffects {
 public:
  std::vector<std::string> calls;
  ScreenRect window{300, 200, 552, 256};
  bool trayHidden = false;

  void RebuildPanels() override { calls.push_back("RebuildPanels"); }
  void ApplyOpacity() override { calls.push_back("ApplyOpacity"); }
  void SetTrayClockHidden(bool hide, bool) override {
    trayHidden = hide;
    calls.push_back(hide ? "HideTrayClock" : "ShowTrayClock");
  }
  void SaveParametrs() override { calls.push_back("SaveParametrs"); }
  void SaveClocks() override { calls.push_back("SaveClocks"); }
  void RecreatePanelsWindow() override { calls.push_back("RecreatePanelsWindow"); }
  ScreenRect PanelsWindow() override { return window; }
  ScreenSize Screen() override { return kScreen; }
  void MovePanelsWindow(ScreenPoint to) override {
    window = {to.x, to.y, to.x + window.Width(), to.y + window.Height()};
    calls.push_back("Move " + std::to_string(to.x) + "," + std::to_string(to.y));
  }
  void ShowMainWindow() override { calls.push_back("ShowMainWindow"); }
};

ClockPanel Zone(const std::string& name) {
  ClockPanel p;
  p.Name = name;
  p.TimeValue = "+";
  p.TimeValue1 = 5;
  p.TimeValue2 = 30;
  return p;
}

struct Program {
  ProgramSettings settings;
  PanelList panels{DefaultPanels(FirstStartSystemLook(), FirstStartDateLook())};
  PlacementState placement;
  bool SettingsOpen = false, RecreatePanels = false, PanelsRecreated = false, TimeFormatChanged = false;
  KeptFiles kept{true, true};  // files that could not be read: only OK replaces them
  FakeEffects fx;
  SettingsSession session{
      {settings, panels, placement, SettingsOpen, RecreatePanels, PanelsRecreated, TimeFormatChanged, kept}, fx};
};

SettingsChoices ChoicesOf(const ProgramSettings& s) {
  return {s.AUCheckEnabled, s.IntervalAUCheck, s.HideTrayClock, s.BorderScreen,
          s.BorderA,        s.BorderC,         s.BorderT,       s.includeOnWPanel};
}

}  // namespace

TEST(SettingsDialog, CancelGivesBackEverythingChangedAtOnceAndReappliesIt) {
  Program p;
  p.panels.push_back(Zone("Дели"));
  p.settings.AlphaSet = 200;
  p.settings.HideTrayClock = true;
  p.placement.BlockedMove = true;
  p.placement.LockedLeft = 40;
  p.placement.LockedTop = 50;
  const ProgramSettings before = p.settings;
  const PanelList panelsBefore = p.panels;

  p.session.Open();
  p.session.ControlsFilled();
  EXPECT_TRUE(p.SettingsOpen);
  p.session.SetAlphaPosition(120);
  p.session.SetVertical(true);
  p.session.SetFormatDate(5);
  p.session.SetPmAmFormat(true);
  p.session.SetAutoLaunch(2);
  p.fx.SetTrayClockHidden(false, true);  // the box unticked: only the screen changes
  p.panels.push_back(Zone("Катманду"));  // added through the list tab
  p.panels[0].Visible = false;
  p.fx.calls.clear();
  p.TimeFormatChanged = false;

  p.session.Cancel();
  p.session.Close();
  EXPECT_EQ(p.settings.AlphaSet, 200);
  EXPECT_FALSE(p.settings.Vertical);
  EXPECT_EQ(p.settings.FormatDate, before.FormatDate);
  EXPECT_EQ(p.settings.PmAmFormat, before.PmAmFormat);
  EXPECT_EQ(p.settings.AutoLaunch, before.AutoLaunch);
  EXPECT_EQ(p.panels, panelsBefore);
  EXPECT_TRUE(p.kept.settings && p.kept.clocks);  // nothing was confirmed
  EXPECT_TRUE(p.placement.BlockedMove);
  EXPECT_EQ(p.placement.LockedLeft, 40);
  EXPECT_EQ(p.placement.LockedTop, 50);
  EXPECT_TRUE(p.TimeFormatChanged);
  EXPECT_FALSE(p.SettingsOpen);
  // The screen follows: the tray clock hidden again, the opacity and the
  // panels as before; nothing is written.
  EXPECT_EQ(p.fx.calls, (std::vector<std::string>{"HideTrayClock", "ApplyOpacity", "RebuildPanels"}));
}

TEST(SettingsDialog, CancelRebuildsThePanelsOnlyWhenTheirLayoutChanged) {
  Program p;
  p.session.Open();
  p.session.SetAlphaUsed(false);
  p.fx.calls.clear();
  p.session.Cancel();
  EXPECT_EQ(p.settings.AlphaUsed, 1);
  EXPECT_EQ(p.fx.calls, (std::vector<std::string>{"ShowTrayClock", "ApplyOpacity"}));
}

TEST(SettingsDialog, OpacitySliderActsOnlyWhileTransparencyIsOn) {
  Program p;
  p.session.Open();
  p.session.SetAlphaUsed(false);
  EXPECT_FALSE(p.session.SetAlphaPosition(150));
  EXPECT_EQ(p.settings.AlphaSet, 255);
  p.session.SetAlphaUsed(true);
  EXPECT_TRUE(p.session.SetAlphaPosition(150));
  EXPECT_EQ(p.settings.AlphaSet, 150);
  EXPECT_EQ(p.settings.EffectiveAlpha(), 150);
}

TEST(SettingsDialog, OkStoresTheChoicesThenSavesSettingsAndPanels) {
  Program p;
  p.session.Open();
  p.session.ControlsFilled();
  SettingsChoices c = ChoicesOf(p.settings);
  c.AUCheckEnabled = false;
  c.IntervalAUCheck = 6;
  c.HideTrayClock = true;
  c.BorderScreen = false;
  c.BorderA = c.BorderC = c.BorderT = false;
  p.session.Ok(c);
  EXPECT_FALSE(p.settings.AUCheckEnabled);
  EXPECT_EQ(p.settings.IntervalAUCheck, 6);
  EXPECT_TRUE(p.settings.HideTrayClock);
  EXPECT_FALSE(p.settings.BorderScreen || p.settings.BorderA || p.settings.BorderC || p.settings.BorderT);
  EXPECT_FALSE(p.RecreatePanels);
  EXPECT_FALSE(p.kept.settings || p.kept.clocks);
  EXPECT_EQ(p.fx.calls, (std::vector<std::string>{"SaveParametrs", "SaveClocks"}));
  p.fx.calls.clear();
  p.session.Close();
  EXPECT_TRUE(p.fx.calls.empty());
  EXPECT_FALSE(p.PanelsRecreated);
}

TEST(SettingsDialog, EmbeddingTurnedOnUnlocksAndRecreatesAgainstTheEdge) {
  Program p;
  p.placement.SetLocked(true, {300, 200});
  p.session.Open();
  p.RecreatePanels = true;  // left over from anything before the controls were filled
  p.session.ControlsFilled();
  EXPECT_FALSE(p.RecreatePanels);
  p.settings.NumPanel = kEdgeBottom;  // the placement dialog's choice
  SettingsChoices c = ChoicesOf(p.settings);
  c.includeOnWPanel = true;
  p.session.Ok(c);
  EXPECT_TRUE(p.RecreatePanels);
  EXPECT_FALSE(p.placement.BlockedMove);
  p.fx.calls.clear();
  p.session.Close();
  EXPECT_TRUE(p.PanelsRecreated);
  EXPECT_FALSE(p.RecreatePanels);
  EXPECT_EQ(p.fx.calls, (std::vector<std::string>{"RecreatePanelsWindow", "Move 300,712", "SaveParametrs"}));
}

TEST(SettingsDialog, LockStaysWhenEmbeddingKeepsItsEdge) {
  Program p;
  p.settings.includeOnWPanel = true;
  p.settings.NumPanel = kEdgeRight;
  p.settings.RetainOnWPanel = false;
  p.placement.SetLocked(true, {300, 200});
  p.session.Open();
  p.session.ControlsFilled();
  p.session.Ok(ChoicesOf(p.settings));
  EXPECT_TRUE(p.placement.BlockedMove);
  // Another edge chosen in the placement dialog: the lock goes.
  Program q;
  q.settings = p.settings;
  q.placement.SetLocked(true, {300, 200});
  q.session.Open();
  q.settings.NumPanel = kEdgeLeft;
  q.session.Ok(ChoicesOf(q.settings));
  EXPECT_FALSE(q.placement.BlockedMove);
}

TEST(SettingsDialog, EmbeddingTurnedOffBringsAWindowAboveTheScreenDown) {
  Program p;
  p.settings.includeOnWPanel = true;
  p.fx.window = {300, -56, 552, 0};
  p.session.Open();
  p.session.ControlsFilled();
  SettingsChoices c = ChoicesOf(p.settings);
  c.includeOnWPanel = false;
  p.session.Ok(c);
  EXPECT_EQ(p.fx.calls, (std::vector<std::string>{"Move 300,0", "SaveParametrs", "SaveClocks"}));
}

TEST(SettingsDialog, CancelBringsAHiddenWindowBackWithTheLockOnItsTop) {
  Program p;
  p.settings.includeOnWPanel = true;
  p.settings.RetainOnWPanel = false;
  p.placement.SetLocked(true, {300, 0});
  // Hidden with its Windows panel while the dialog was open.
  p.session.Open();
  p.placement.HiddenTop = 0;
  p.placement.LockedTop = -56;
  p.fx.window = {300, -56, 552, 0};
  p.session.Cancel();
  EXPECT_EQ(p.placement.HiddenTop, -1);
  EXPECT_EQ(p.placement.LockedTop, 0);
  EXPECT_EQ(p.placement.LockedLeft, 300);
  EXPECT_EQ(p.fx.calls[0], "ShowMainWindow");
  EXPECT_EQ(p.fx.calls[1], "Move 300,0");

  // Hidden when the dialog opened, back in sight by Cancel: the lock keeps
  // the Top the window has now.
  Program q;
  q.settings.includeOnWPanel = true;
  q.placement.SetLocked(true, {300, 0});
  q.placement.HiddenTop = 0;
  q.placement.LockedTop = -56;
  q.session.Open();
  q.placement.HiddenTop = -1;
  q.placement.LockedTop = 0;
  q.session.Cancel();
  EXPECT_EQ(q.placement.LockedTop, 0);
}

TEST(SettingsDialog, CloseKeepsTheWindowOnItsEdgeAndBringsItBackFromTopZero) {
  Program p;
  p.settings.includeOnWPanel = true;
  p.settings.NumPanel = kEdgeRight;
  p.session.Open();
  p.session.ControlsFilled();
  p.session.Ok(ChoicesOf(p.settings));
  p.placement.HiddenTop = 0;  // hidden with its Windows panel meanwhile
  p.fx.window = {300, -56, 552, 0};
  p.fx.calls.clear();
  p.session.Close();
  EXPECT_EQ(p.fx.calls,
            (std::vector<std::string>{"Move 772,-56", "ShowMainWindow", "Move 772,0", "SaveParametrs"}));
  // The placement dialog changed the edge, then the user cancelled: the
  // window is still re-created.
  Program q;
  q.session.Open();
  q.session.ControlsFilled();
  q.settings.NumPanel = kEdgeLeft;
  q.RecreatePanels = true;
  q.session.Cancel();
  EXPECT_EQ(q.settings.NumPanel, kEdgeTop);
  q.fx.calls.clear();
  q.session.Close();
  EXPECT_TRUE(q.PanelsRecreated);
  EXPECT_EQ(q.fx.calls, (std::vector<std::string>{"RecreatePanelsWindow"}));
}

}  // namespace hx
