// Every dialog of the clock at 96, 120, 144 and 192 DPI, looked at from
// outside: the settings dialog's tabs sit in one row, no control lies over
// another, and none reaches outside its dialog.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/e2e/version_server.h"
#include "win32/text.h"

namespace hx::e2e {
namespace {

// Windows of the program's own classes that hold controls laid out within
// them: the settings pages, the information panels, the preview panels.
bool HoldsControls(HWND window) {
  const std::string c = ClassOf(window);
  return c == "TFormSettingsPage" || c == "HxInfoPanel" || c == "TPanel";
}

bool IsGroupBox(HWND window) {
  return ClassOf(window) == "Button" && (GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// A control's class and text, without the mnemonics' "&".
std::string Name(HWND window) {
  std::string text = WindowText(window);
  text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
  return ClassOf(window) + " \"" + text + "\"";
}

// Faults the dialogs' layout has at 96 DPI already, under Wine's fonts:
// the four tabs take two rows, the tray clock box is measured wider than
// its page, the opacity box reaches into the slider's ticks, the rule under
// the placement dialog's explanation ends below the client area. Mending
// them would change what 96 DPI shows; at other DPIs they may stay, and
// nothing may come on top of them.
bool KnownAt96(const std::string& fault) {
  static const std::set<std::string> known = {
      "the tabs take 2 rows",
      "Button \"Скрывать стандартные часы в системном трее, если запущена Horavex.KT\" reaches outside "
      "TFormSettingsPage \"\"",
      "Button \"Использовать прозрачность\" overlaps msctls_trackbar32 \"\"",
      "Static \"\" reaches outside the dialog",
  };
  return known.count(fault) != 0;
}

// What is wrong with the visible controls under `parent`: one outside the
// area that shows them (`area`, on the screen: the dialog's client area, or
// the part of a page within it), tabs in more than one row,
// or two siblings that overlap without one holding the other (a frame drawn
// around the lines it holds does that). Group boxes hold what lies on them.
void FindLayoutFaults(HWND parent, const RECT& area, std::vector<std::string>& faults) {
  std::vector<HWND> shown;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (IsWindowVisible(c)) shown.push_back(c);
  for (size_t i = 0; i < shown.size(); ++i) {
    const RECT a = WindowRect(shown[i]);
    RECT common{};
    if (!IntersectRect(&common, &a, &area) || !EqualRect(&common, &a))
      faults.push_back(Name(shown[i]) + " reaches outside " +
                       (parent == GetAncestor(parent, GA_ROOT) ? "the dialog" : Name(parent)));
    if (ClassOf(shown[i]) == "SysTabControl32") {
      const auto rows = SendMessageW(shown[i], TCM_GETROWCOUNT, 0, 0);
      if (rows != 1) faults.push_back("the tabs take " + std::to_string(rows) + " rows");
      continue;
    }
    if (HoldsControls(shown[i])) {
      RECT inner{};
      GetClientRect(shown[i], &inner);
      MapWindowPoints(shown[i], nullptr, reinterpret_cast<POINT*>(&inner), 2);
      IntersectRect(&inner, &inner, &area);
      FindLayoutFaults(shown[i], inner, faults);
    }
    if (IsGroupBox(shown[i])) continue;
    for (size_t j = i + 1; j < shown.size(); ++j) {
      if (IsGroupBox(shown[j]) || ClassOf(shown[j]) == "SysTabControl32") continue;
      const RECT b = WindowRect(shown[j]);
      if (IntersectRect(&common, &a, &b) && !EqualRect(&common, &a) && !EqualRect(&common, &b))
        faults.push_back(Name(shown[i]) + " overlaps " + Name(shown[j]));
    }
  }
}

class DpiDialogsTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    folder_ = FreshProgramFolder("dpi-" + name.substr(0, name.find('/')) + "-" + std::to_string(GetParam()));
    dpi_ = std::make_unique<ScopedDisplayDpi>(GetParam());
  }
  void TearDown() override {
    program_.Kill();
    dpi_.reset();
  }

  fs::path SettingsFile() const { return folder_ / "Settings" / "HXSettings.ini"; }

  void StartProgram(const SettingsOptions& options = {}) {
    WriteCp1251(SettingsFile(), SettingsFileText(options));
    program_ = Process(folder_ / "Horavex.KT.exe");
    clocks_ = WaitForWindow(L"TFormClocks", program_.id());
    ASSERT_NE(clocks_, nullptr) << "the panels window did not appear";
    ASSERT_TRUE(WaitUntilOnScreen(clocks_));
  }

  // Judges the dialog's layout and, above 120 DPI, keeps its picture.
  void Look(HWND dialog, const std::string& name) {
    ASSERT_NE(dialog, nullptr) << name;
    RECT client{};
    GetClientRect(dialog, &client);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::vector<std::string> faults;
    FindLayoutFaults(dialog, client, faults);
    faults.erase(std::remove_if(faults.begin(), faults.end(), KnownAt96), faults.end());
    EXPECT_EQ(faults, std::vector<std::string>{}) << name << " at " << GetParam() << " DPI";
    if (GetParam() >= 144) Screenshot("dpi-" + name + "-" + std::to_string(GetParam()), dialog);
  }

  void Close(HWND dialog) {
    if (!dialog) return;
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << "the dialog stays open";
  }

  // Posted, a click reaches a button even where the dialog is larger than
  // the screen.
  static void Press(HWND dialog, const std::string& text) {
    HWND button = ChildByText(dialog, text);
    ASSERT_NE(button, nullptr) << text;
    PostMessageW(button, BM_CLICK, 0, 0);
  }

  fs::path folder_;
  std::unique_ptr<ScopedDisplayDpi> dpi_;
  Process program_;
  HWND clocks_ = nullptr;
};

TEST_P(DpiDialogsTest, DialogsOfTheMenuFitTheirControls) {
  StartProgram();
  HWND settings = OpenFromPanelsMenu(clocks_, program_.id(), "Настройки программы...", L"TFormSettings");
  ASSERT_NE(settings, nullptr);
  HWND tabs = nullptr;
  for (HWND child : Children(settings))
    if (ClassOf(child) == "SysTabControl32") tabs = child;
  ASSERT_NE(tabs, nullptr);
  // The first tab clicked, the others reached with the arrow key.
  const RECT tabRect = WindowRect(tabs);
  Click({tabRect.left + 12, tabRect.top + 8});
  const char* const pages[] = {"settings-general", "settings-appearance", "settings-panels-look", "settings-panel-list"};
  for (int page = 0; page < 4; ++page) {
    if (page > 0) Xdo(L"key Right");
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == page; })) << pages[page];
    Look(settings, pages[page]);
  }

  Press(settings, "Добавить");
  HWND editor = WaitForDialog(L"TFormSign", program_.id());
  Look(editor, "panel-editor");
  Close(editor);

  Press(settings, "Встроить в панель Windows");
  HWND placement = WaitForDialog(L"TFormAddInWPanel", program_.id());
  Look(placement, "placement-dialog");
  Close(placement);
  Close(settings);

  HWND calculator = OpenFromPanelsMenu(clocks_, program_.id(), "Калькулятор времени...", L"TFormCalcTime");
  Look(calculator, "time-calculator");
  Close(calculator);

  HWND about = OpenFromPanelsMenu(clocks_, program_.id(), "О программе...", L"TFormAbout", "Справка");
  Look(about, "about-dialog");
  Close(about);
}

// The dialogs that come without the menu: the error dialog, the notice of
// an unsupported system and the new-version dialog.
TEST_P(DpiDialogsTest, NoticesFitTheirControls) {
  {
    WriteCp1251(SettingsFile(), "[Settings]\r\nAlphaSet=200\r\n[includeOnWPanel]\r\nNumPanel=9\r\n");
    HeldFile held(SettingsFile(), FILE_SHARE_READ);  // its repair cannot be written
    program_ = Process(folder_ / "Horavex.KT.exe");
    Look(WaitForDialog(L"TFormError", program_.id()), "error-dialog");
    program_.Kill();
  }
  {
    ReportWindowsVersion(L"nt40");
    program_ = Process(folder_ / "Horavex.KT.exe");
    Look(WaitForDialog(L"TFormNotSupportedOS", program_.id()), "not-supported-os");
    program_.Kill();
    ForgetWindowsVersion();
  }
  VersionServer server;
  server.Answer("1.0.2\n15.06.2024\nhttp://horavex.kt/news/1.0.2\nНовое окно калькулятора\n");
  SetEnvironmentVariableW(L"HX_UPDATE_SOURCE", server.Address().c_str());
  StartProgram({.updateCheck = true});
  Look(WaitForDialog(L"TFormNewVerExists", program_.id()), "new-version-dialog");
  SetEnvironmentVariableW(L"HX_UPDATE_SOURCE", L"http://127.0.0.1:9/");
}

INSTANTIATE_TEST_SUITE_P(Dpi, DpiDialogsTest, ::testing::Values(96, 120, 144, 192),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param); });

}  // namespace
}  // namespace hx::e2e
