// The settings dialog seen from outside: opened from the real menus and
// driven with the mouse and the keyboard as a person would, then judged by
// the files it writes, the panels window and the fake shell's tray clock.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <regex>
#include <utility>

#include "base/textfile.h"
#include "tests/e2e/harness.h"
#include "tests/helpers/fake_shell_client.h"
#include "win32/text.h"

namespace hx::e2e {
namespace {

const std::string kSettingsFile = SettingsFileText();

// The row's check box in the panel list (another process's list view).
bool RowChecked(HWND list, int row) {
  return ((SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    folder_ = FreshProgramFolder("settings-" + name);
    log_ = folder_.parent_path() / "shell.log";
  }

  void TearDown() override {
    program_.Kill();
    if (shell_.Running()) {
      fake_shell::Send(shell_.id(), "quit");
      if (!shell_.WaitForExit(kPatience)) shell_.Kill();
    }
  }

  fs::path SettingsFile() const { return folder_ / "Settings" / "HXSettings.ini"; }
  fs::path ClocksFile() const { return folder_ / "Settings" / "HXClocks.ini"; }

  void StartShell(const std::wstring& arguments = L"") {
    shell_ = Process(HelperFile("fake_shell.exe"), L"--log \"" + log_.wstring() + L"\" " + arguments);
    ASSERT_TRUE(WaitUntil([&] {
      for (const std::string& line : Lines(log_))
        if (line == "ready") return true;
      return false;
    })) << "fake_shell did not start";
  }

  // What was done to the fake shell's tray clock, in order.
  std::vector<std::string> ClockEvents() const {
    std::vector<std::string> events;
    for (const std::string& line : Lines(log_))
      if (line.rfind("clock ", 0) == 0) events.push_back(line);
    return events;
  }

  void StartProgram() {
    program_ = Process(folder_ / "Horavex.KT.exe");
    clocks_ = WaitForWindow(L"TFormClocks", program_.id());
    ASSERT_NE(clocks_, nullptr) << "the panels window did not appear";
    ASSERT_TRUE(WaitUntil([&] { return DatePanel() != nullptr; })) << "the clock shows no date";
    ASSERT_TRUE(WaitUntilOnScreen(clocks_));
  }

  // Chooses "Настройки программы..." in the menu of the panels window
  // (right click on it) or of the tray icon, and waits for the dialog.
  void OpenSettings(bool fromTrayIcon) {
    const std::string item = "Настройки программы...";
    if (fromTrayIcon) {
      MouseTo({600, 600});
      ASSERT_TRUE(TrayClick(shell_.id(), "rbuttondown"));
      dialog_ = ChooseFromOpenedMenu(program_.id(), item, L"TFormSettings");
    } else {
      dialog_ = OpenFromPanelsMenu(clocks_, program_.id(), item, L"TFormSettings");
    }
    ASSERT_NE(dialog_, nullptr);
  }

  HWND Control(const std::string& text) const {
    HWND c = ChildByText(dialog_, text);
    EXPECT_NE(c, nullptr) << text;
    return c;
  }

  HWND ControlOfClass(const std::string& className) const {
    for (HWND child : Children(dialog_))
      if (ClassOf(child) == className) return child;
    ADD_FAILURE() << "no control of class " << className;
    return nullptr;
  }

  // The pages of the tabs, in tab order.
  std::vector<HWND> Pages() const {
    std::vector<HWND> pages;
    for (HWND child : Children(dialog_))
      if (GetParent(child) == dialog_ && ClassOf(child) == "TFormSettingsPage") pages.push_back(child);
    return pages;
  }

  // Clicks the first tab button and moves right with the arrow keys, as a
  // keyboard user would; waits until the page shows.
  void ShowTab(size_t index) {
    const RECT tabs = WindowRect(ControlOfClass("SysTabControl32"));
    Click({tabs.left + 12, tabs.top + 8});
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 4u);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(pages[0]); }));
    for (size_t i = 0; i < index; ++i) Key(L"Right");
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(pages[index]); })) << "tab " << index << " did not show";
  }

  // Keys for a dialog (the settings dialog unless named). Without a window
  // manager the X server hands a key to the window under the mouse, so the
  // mouse rests near the dialog's bottom left corner (on the settings
  // dialog's status bar, which shows no hint).
  void Key(const std::wstring& keys, HWND to = nullptr) {
    MouseInto(to ? to : dialog_);
    Xdo(L"key " + keys);
  }
  void Type(const std::wstring& text, HWND to) {
    MouseInto(to);
    Xdo(L"type " + text);
  }
  void MouseInto(HWND window) {
    if (!window || !IsWindow(window)) return;
    POINT cursor{};
    GetCursorPos(&cursor);
    const RECT r = WindowRect(window);
    if (!PtInRect(&r, cursor)) MouseTo({r.left + 60, r.bottom - 8});
  }

  void WaitForDialogToClose() {
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog_); })) << "the dialog stays open";
  }

  // The value line of the date panel and the caption lines, left to right.
  HWND DatePanel() const {
    static const std::regex date{R"(\d+[.-]\d+[.-]\d+)"};
    for (HWND child : Children(clocks_))
      if (IsWindowVisible(child) && std::regex_match(WindowText(child), date)) return child;
    return nullptr;
  }
  std::vector<std::string> ShownCaptions() const {
    std::vector<std::pair<LONG, std::string>> shown;
    for (HWND child : Children(clocks_)) {
      const std::string text = WindowText(child);
      if (IsWindowVisible(child) && (text == "Системное" || text == "Дата" || text == "Катманду"))
        shown.push_back({WindowRect(child).left, text});
    }
    std::sort(shown.begin(), shown.end());
    std::vector<std::string> names;
    for (const auto& [left, text] : shown) names.push_back(text);
    return names;
  }
  bool Vertical() const {
    const RECT r = WindowRect(clocks_);
    return r.bottom - r.top > r.right - r.left;
  }
  bool Layered() const { return (GetWindowLongPtrW(clocks_, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }

  // The value line of the panel with this caption, or nothing.
  HWND ValueOf(const std::string& caption) const {
    HWND line = ChildByText(clocks_, caption);
    if (!line || !IsWindowVisible(line)) return nullptr;
    for (HWND sibling : Children(GetParent(line)))
      if (sibling != line) return sibling;
    return nullptr;
  }

  // The panel list of the settings dialog, shown.
  HWND ShowPanelList() {
    ShowTab(3);
    return ControlOfClass("SysListView32");
  }
  int Rows(HWND list) const { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
  // The screen point in the middle of a row's text. The list lives in the
  // program, so the rectangle is asked for through the program's memory.
  POINT RowCentre(HWND list, int row) const {
    RECT r{LVIR_LABEL, 0, 0, 0};
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, program_.id());
    EXPECT_NE(process, nullptr);
    void* remote = VirtualAllocEx(process, nullptr, sizeof r, MEM_COMMIT, PAGE_READWRITE);
    EXPECT_NE(remote, nullptr);
    WriteProcessMemory(process, remote, &r, sizeof r, nullptr);
    SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote, &r, sizeof r, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(list, &at);
    return at;
  }

  // Presses "Добавить" on the panel list and waits for the panel editor.
  HWND OpenEditorToAdd() {
    Click(Centre(Control("Добавить")));
    HWND editor = WaitForWindow(L"TFormSign", program_.id());
    EXPECT_NE(editor, nullptr) << "the panel editor did not open";
    if (editor) {
      EXPECT_TRUE(WaitUntilOnScreen(editor));
    }
    return editor;
  }

  // Picks a zone as a keyboard user does: the list's arrow key onto the
  // zone, which tells the editor as a mouse choice would.
  // The panel editor's zone list.
  static HWND ZoneList(HWND editor) {
    for (HWND child : Children(editor))
      if (ClassOf(child) == "ComboBox") return child;
    return nullptr;
  }

  fs::path folder_, log_;
  Process shell_, program_;
  HWND clocks_ = nullptr;
  HWND dialog_ = nullptr;
};

TEST_F(SettingsTest, OkWritesEveryKeyOfBothFiles) {
  StartShell();
  WriteCp1251(SettingsFile(), "[Main]\r\nCutVersion=1\r\n[Settings]\r\nAutoLaunch=0\r\n");
  StartProgram();
  OpenSettings(true);
  const SIZE client = ClientSize(dialog_);
  EXPECT_EQ(client.cx, 541);
  EXPECT_EQ(client.cy, 273);
  EXPECT_EQ(WindowText(dialog_), "Horavex.KT - Настройки программы...");
  EXPECT_EQ(GetWindow(dialog_, GW_OWNER), TopWindows(L"TFormHoravex", program_.id()).at(0));
  Screenshot("settings-general", dialog_);

  // The start rewrote the clocks file; OK must write it again.
  fs::remove(ClocksFile());
  HWND autoCheck = Control("Проверять наличие новой версии при запуске программы");
  Click(Centre(autoCheck));
  HWND interval = nullptr;
  for (HWND child : Children(dialog_))
    if (ClassOf(child) == "ComboBox" && ControlText(child) == "5") interval = child;
  ASSERT_NE(interval, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(interval); })) << "the interval follows the check box";

  ShowTab(1);
  Screenshot("settings-appearance", dialog_);
  Click(Centre(Control("PM/AM формат времени")));
  ShowTab(2);
  Screenshot("settings-panels-look", dialog_);
  Click(Centre(Control("Рамка - вогнутая")));
  ShowTab(3);
  Screenshot("settings-panel-list", dialog_);
  Key(L"Return");
  WaitForDialogToClose();

  std::string saved;
  ASSERT_TRUE(WaitUntil([&] {
    saved = ReadCp1251(SettingsFile());
    return saved.find("PmAmFormat=1\r\n") != std::string::npos;
  })) << saved;
  for (const char* key :
       {"File=<Horavex Settings File>\r\n", "Version=01.00\r\n", "ProgramVersion=Horavex.KT 1.0.1.2k.ru\r\n",
        "AlphaSet=255\r\n", "AlphaUsed=1\r\n", "StayOnTop=0\r\n", "AutoLaunch=0\r\n", "BlockedMove=0\r\n",
        "HideTrayClock=0\r\n", "BorderScreen=1\r\n", "BorderA=0\r\n", "BorderC=1\r\n", "BorderT=1\r\n",
        "Vertical=0\r\n", "FormatDate=0\r\n", "Enabled=0\r\n", "NumPanel=0\r\n", "RetainOnWPanel=1\r\n",
        "IntervalAUCheck=2\r\n", "AUCheckEnabled=0\r\n", "Left=", "Top=", "Date="})
    EXPECT_NE(saved.find(key), std::string::npos) << key;
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(ClocksFile()); })) << "OK writes the clocks file";
  const std::string clocks = ReadCp1251(ClocksFile());
  EXPECT_NE(clocks.find("PanelsCount=2\r\n"), std::string::npos) << clocks;
  EXPECT_NE(clocks.find("Name=Системное\r\n"), std::string::npos) << clocks;
}

TEST_F(SettingsTest, CancelGivesBackWhatActedAtOnceWithAndWithoutASettingsFile) {
  for (const bool withFile : {true, false}) {
    SCOPED_TRACE(withFile ? "with HXSettings.ini" : "without HXSettings.ini");
    StartShell();
    if (withFile)
      WriteCp1251(SettingsFile(), kSettingsFile);
    else
      fs::remove(SettingsFile());
    StartProgram();
    const std::string before = ReadCp1251(SettingsFile());
    const std::string dateBefore = WindowText(DatePanel());
    OpenSettings(true);  // the tray menu: nothing is saved on the way
    ShowTab(1);

    // Each change shows at once.
    HWND alphaValue = nullptr;
    for (HWND child : Children(dialog_))
      if (WindowText(child) == "255" && ClassOf(child) == "Static") alphaValue = child;
    ASSERT_NE(alphaValue, nullptr);
    const RECT track = WindowRect(ControlOfClass("msctls_trackbar32"));
    // A click on the groove left of the thumb pages down.
    Click({track.left + (track.right - track.left) / 4, (track.top + track.bottom) / 2 + 4});
    EXPECT_TRUE(WaitUntil([&] { return WindowText(alphaValue) != "255" && Layered(); }))
        << "the slider changes the opacity: " << WindowText(alphaValue) << (Layered() ? " layered" : " opaque");
    Click(Centre(Control("Вертикальное раcположение")));
    EXPECT_TRUE(WaitUntil([&] { return Vertical(); })) << "the panels stack at once";
    HWND format = nullptr;
    for (HWND child : Children(dialog_))
      if (ClassOf(child) == "ComboBox" && ControlText(child) == " dd.MM.yy") format = child;
    ASSERT_NE(format, nullptr);
    Click(Centre(format));
    Key(L"Down");
    Key(L"Return");
    EXPECT_TRUE(WaitUntil([&] { return DatePanel() && WindowText(DatePanel()).find('-') != std::string::npos; }))
        << "the date format changes at once";
    Click(Centre(Control("Скрывать стандартные часы в системном трее, если запущена Horavex.KT")));
    EXPECT_TRUE(WaitUntil([&] { return !ClockEvents().empty() && ClockEvents().back() == "clock hidden"; }))
        << "the tray clock hides at once";
    Screenshot(withFile ? "settings-changed" : "settings-changed-fresh", dialog_);

    Key(L"Escape");
    WaitForDialogToClose();
    EXPECT_TRUE(WaitUntil([&] { return !Vertical() && !Layered(); })) << "layout and opacity come back";
    EXPECT_TRUE(WaitUntil([&] { return DatePanel() && WindowText(DatePanel()) == dateBefore; }))
        << "the date format comes back";
    EXPECT_TRUE(WaitUntil([&] { return ClockEvents().back() == "clock shown"; })) << "the tray clock comes back";
    EXPECT_EQ(ReadCp1251(SettingsFile()), before) << "Cancel writes nothing";

    program_.Kill();
    fake_shell::Send(shell_.id(), "quit");
    ASSERT_TRUE(shell_.WaitForExit(kPatience));
  }
}

TEST_F(SettingsTest, PanelListFollowsTheKeysReordersAndKeepsOnePanelVisible) {
  WriteCp1251(SettingsFile(), kSettingsFile);
  WriteCp1251(ClocksFile(), ThreePanelFile());
  StartProgram();
  const std::string clocksBefore = ReadCp1251(ClocksFile());
  OpenSettings(false);
  ShowTab(3);
  HWND list = ControlOfClass("SysListView32");
  HWND remove = Control("Удалить"), up = Control("Вверх"), down = Control("Вниз");
  ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);

  // The first row: the system-time panel can neither go nor move up.
  const RECT r = WindowRect(list);
  Click({r.left + 60, r.top + 10});
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(remove) && !IsWindowEnabled(up) && IsWindowEnabled(down); }));
  Key(L"Down");  // the zone panel
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(remove) && IsWindowEnabled(up); }));
  Click(Centre(up));
  EXPECT_TRUE(WaitUntil([&] {
    return ShownCaptions() == std::vector<std::string>{"Катманду", "Системное", "Дата"};
  })) << "the panels window shows the new order at once";
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(up); })) << "the moved row stays selected";
  Key(L"Down");  // back on the system-time row, by the keyboard
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(remove) && IsWindowEnabled(up); }));

  // Hide the system-time and the zone panel; the date panel must stay.
  Key(L"space");
  EXPECT_TRUE(WaitUntil([&] { return !RowChecked(list, 1); }));
  Key(L"Up");
  Key(L"space");
  EXPECT_TRUE(WaitUntil([&] { return ShownCaptions() == std::vector<std::string>{"Дата"}; }));
  Key(L"Down");
  Key(L"Down");
  Key(L"space");
  const MessageBoxInfo box = WaitForMessageBox(program_.id());
  ASSERT_NE(box.window, nullptr) << "no refusal";
  EXPECT_EQ(box.text, "Хотя бы одна панель должна быть видима!");
  Screenshot("settings-last-visible-panel", box.window);
  PressButton(box.window, "OK");
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box.window); }));
  EXPECT_TRUE(RowChecked(list, 2));
  EXPECT_EQ(ShownCaptions(), std::vector<std::string>{"Дата"});

  Key(L"Escape");
  WaitForDialogToClose();
  EXPECT_TRUE(WaitUntil([&] {
    return ShownCaptions() == std::vector<std::string>{"Системное", "Катманду", "Дата"};
  })) << "Cancel brings the panels back as they were";
  EXPECT_EQ(ReadCp1251(ClocksFile()), clocksBefore);
}

// The uninstaller's close request, or the end of the session, while the
// dialog holds a change that was never confirmed, with the panel editor open
// over it or not: the dialogs close as Cancel does, the program saves what
// was confirmed and ends.
TEST_F(SettingsTest, CloseRequestCancelsTheOpenDialogsAndSavesOnlyWhatWasConfirmed) {
  WriteCp1251(SettingsFile(), kSettingsFile);
  struct Case {
    const char* name;
    bool editorOpen;
    bool sessionEnd;
  };
  for (const Case& c : {Case{"close request", false, false}, Case{"close request over the editor", true, false},
                        Case{"session end over the editor", true, true}}) {
    SCOPED_TRACE(c.name);
    WriteCp1251(ClocksFile(), ThreePanelFile());
    StartProgram();
    OpenSettings(false);
    HWND list = ShowPanelList();
    Click(RowCentre(list, 0));
    HWND down = Control("Вниз");
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(down) != FALSE; }));
    Click(Centre(down));
    ASSERT_TRUE(WaitUntil([&] {
      return ShownCaptions() == std::vector<std::string>{"Катманду", "Системное", "Дата"};
    })) << "the new order shows at once";
    if (c.editorOpen) {
      ASSERT_NE(OpenEditorToAdd(), nullptr);
    }

    for (HWND main : TopWindows(L"TFormHoravex", program_.id())) {
      if (c.sessionEnd)
        SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 30000, nullptr);
      else
        PostMessageW(main, 1025, 0, 0);
    }
    ASSERT_TRUE(program_.WaitForExit(kPatience)) << "the program did not end";
    std::vector<std::string> names;
    for (const std::string& line : Lines(ClocksFile()))
      if (line.rfind("Name=", 0) == 0) names.push_back(line.substr(5));
    EXPECT_EQ(names, (std::vector<std::string>{"Системное", "Катманду", "Дата"}));
  }
}

TEST_F(SettingsTest, OneDialogAtATimeAndEscapeOrAltF4Cancel) {
  StartShell();
  WriteCp1251(SettingsFile(), kSettingsFile);
  StartProgram();
  OpenSettings(false);
  // The tray icon's right button while the dialog is open: no menu (which
  // would block this call), no second dialog; the dialog comes forward.
  ASSERT_TRUE(TrayClick(shell_.id(), "rbuttondown", true)) << "a menu opened, or the shell holds no icon to click";
  for (HWND menu : TopWindows(L"#32768", program_.id())) EXPECT_FALSE(IsWindowVisible(menu));
  EXPECT_EQ(TopWindows(L"TFormSettings", program_.id()).size(), 1u);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog_; }));
  Key(L"Escape");
  WaitForDialogToClose();
  ASSERT_TRUE(program_.Running());

  OpenSettings(true);
  Key(L"alt+F4");
  WaitForDialogToClose();
  EXPECT_TRUE(IsWindowVisible(clocks_));
}

// "HH : MM" of universal time plus an offset in minutes.
std::string ZoneClock(int offsetMinutes) {
  SYSTEMTIME utc;
  GetSystemTime(&utc);
  const int minutes = (utc.wHour * 60 + utc.wMinute + offsetMinutes + 1440) % 1440;
  char text[16];
  snprintf(text, sizeof text, "%02d : %02d", minutes / 60, minutes % 60);
  return text;
}

TEST_F(SettingsTest, EditorAddsAZonePanelAtOnceAndCancelAddsNothing) {
  WriteCp1251(SettingsFile(), kSettingsFile);
  StartProgram();
  OpenSettings(false);
  HWND list = ShowPanelList();
  ASSERT_EQ(Rows(list), 2);

  HWND editor = OpenEditorToAdd();
  ASSERT_NE(editor, nullptr);
  Type(L"Nowhere", editor);
  Key(L"Escape", editor);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(editor); })) << "Escape closes the editor";
  EXPECT_EQ(Rows(list), 2) << "Cancel adds no panel";
  EXPECT_EQ(ChildByText(clocks_, "Nowhere"), nullptr);

  editor = OpenEditorToAdd();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(WindowText(editor), "Редактирование панели часов");
  Type(L"Kathmandu", editor);
  ChooseZone(ZoneList(editor), "(UTC+05:45)");
  Screenshot("panel-editor", editor);
  EXPECT_TRUE(WaitUntilOnScreen(ZoneList(editor))) << "the zone list is drawn, not hidden by its frame";
  Key(L"Return", editor);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(editor); })) << "Enter is OK";
  EXPECT_EQ(Rows(list), 3);
  std::string shown, expected;
  EXPECT_TRUE(WaitUntil([&] {
    expected = ZoneClock(5 * 60 + 45);
    shown = ValueOf("Kathmandu") ? WindowText(ValueOf("Kathmandu")) : "";
    return shown == expected;
  })) << "the panels window shows the new panel at once: " << shown << ", expected " << expected;

  fs::remove(ClocksFile());
  Click(Centre(Control("Ok")));
  WaitForDialogToClose();
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(ClocksFile()); })) << "OK writes the clocks file";
  const std::string clocks = ReadCp1251(ClocksFile());
  EXPECT_NE(clocks.find("PanelsCount=3\r\n"), std::string::npos) << clocks;
  EXPECT_NE(clocks.find("Name=Kathmandu\r\nVisible=1\r\n"), std::string::npos) << clocks;
  EXPECT_NE(clocks.find("TimeValue=+\r\nTimeValue1=5\r\nTimeValue2=45\r\nSysFlag=0\r\n"), std::string::npos)
      << clocks;
  // The new panel names its zone, so it follows that zone's clock changes.
  EXPECT_NE(clocks.find("SysFlag=0\r\nZoneKey=Nepal Standard Time\r\n"), std::string::npos) << clocks;
  EXPECT_EQ(clocks.find("Nowhere"), std::string::npos) << clocks;
}

// An offset that no zone of the system has (a file from elsewhere) stays
// when only the caption changes.
TEST_F(SettingsTest, DoubleClickEditsAPanelAndRenamingKeepsAnOffsetNoZoneHas) {
  WriteCp1251(SettingsFile(), kSettingsFile);
  std::string panels = ThreePanelFile();
  panels.replace(panels.find("TimeValue1=5\r\nTimeValue2=45"), 27, "TimeValue1=13\r\nTimeValue2=45");
  WriteCp1251(ClocksFile(), panels);
  StartProgram();
  OpenSettings(false);
  HWND list = ShowPanelList();
  ASSERT_EQ(Rows(list), 3);
  const POINT row = RowCentre(list, 1);
  MouseTo(row);
  Xdo(L"click --repeat 2 1");
  HWND editor = WaitForWindow(L"TFormSign", program_.id());
  ASSERT_NE(editor, nullptr) << "a double click on a row opens the editor";
  ASSERT_TRUE(WaitUntilOnScreen(editor));
  Type(L"Somewhere", editor);
  Key(L"Return", editor);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(editor); }));
  std::string shown, expected;
  EXPECT_TRUE(WaitUntil([&] {
    expected = ZoneClock(13 * 60 + 45);
    shown = ValueOf("Somewhere") ? WindowText(ValueOf("Somewhere")) : "";
    return shown == expected;
  })) << "renamed, same offset: " << shown << ", expected " << expected;

  fs::remove(ClocksFile());
  Click(Centre(Control("Ok")));
  WaitForDialogToClose();
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(ClocksFile()); }));
  const std::string clocks = ReadCp1251(ClocksFile());
  EXPECT_NE(clocks.find("Name=Somewhere\r\n"), std::string::npos) << clocks;
  EXPECT_NE(clocks.find("TimeValue=+\r\nTimeValue1=13\r\nTimeValue2=45\r\n"), std::string::npos) << clocks;
}

// Only edges that have a docked desk toolbar can be chosen; the chosen one
// takes the panels window when the settings are confirmed.
TEST_F(SettingsTest, PlacementDialogOffersTheDockedEdgesAndOkMovesTheWindowThere) {
  StartShell(L"--bar 0 0 1024 28 --bar 0 28 40 740");
  WriteCp1251(SettingsFile(), kSettingsFile);
  StartProgram();
  OpenSettings(false);
  ShowTab(1);
  Click(Centre(Control("Встроить в панель Windows")));
  HWND placement = WaitForWindow(L"TFormAddInWPanel", program_.id());
  ASSERT_NE(placement, nullptr) << "ticking the box asks for the Windows panel";
  ASSERT_TRUE(WaitUntilOnScreen(placement));
  Screenshot("placement-dialog", placement);
  const std::pair<const char*, bool> edges[] = {
      {"Верхняя панель", true}, {"Нижняя панель", false}, {"Левая панель", true}, {"Правая панель", false}};
  for (const auto& [caption, enabled] : edges) {
    HWND edge = ChildByText(placement, caption);
    ASSERT_NE(edge, nullptr) << caption;
    EXPECT_EQ(IsWindowEnabled(edge) != FALSE, enabled) << caption;
  }
  Click(Centre(ChildByText(placement, "Левая панель")));
  Click(Centre(ChildByText(placement, "Ок")));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(placement); }));
  EXPECT_EQ(SendMessageW(Control("Встроить в панель Windows"), BM_GETCHECK, 0, 0), BST_CHECKED);

  Key(L"Return");
  WaitForDialogToClose();
  const auto bars = TopWindows(L"BaseBar", shell_.id());
  ASSERT_EQ(bars.size(), 2u);
  HWND leftBar = WindowRect(bars[0]).top == 28 ? bars[0] : bars[1];
  HWND moved = nullptr;
  EXPECT_TRUE(WaitUntil([&] {
    const auto windows = TopWindows(L"TFormClocks", program_.id());
    moved = windows.size() == 1 && windows[0] != clocks_ ? windows[0] : nullptr;
    return moved && GetWindow(moved, GW_OWNER) == leftBar && WindowRect(moved).left == 0;
  })) << "the panels window is made anew on the left toolbar";
  std::string saved;
  EXPECT_TRUE(WaitUntil([&] {
    saved = ReadCp1251(SettingsFile());
    return saved.find("[includeOnWPanel]\r\nEnabled=1\r\nNumPanel=2\r\n") != std::string::npos;
  })) << saved;
}

// "Удалить" takes the selected zone panel off the panels window at once and,
// with OK, out of the clocks file; the panels around it keep their order.
TEST_F(SettingsTest, DeleteRemovesTheSelectedZonePanelAndKeepsTheOthersInOrder) {
  WriteCp1251(SettingsFile(), kSettingsFile);
  WriteCp1251(ClocksFile(), ClocksFileWithZones(3));
  StartProgram();
  auto captions = [&] {
    std::vector<std::pair<LONG, std::string>> shown;
    for (HWND child : Children(clocks_)) {
      const std::string text = WindowText(child);
      // Caption lines only: a frame's text ("Zone 1, 14 : 05") names its
      // panel for a screen reader.
      const bool zone = text.rfind("Zone ", 0) == 0 && text.find(',') == std::string::npos;
      if (IsWindowVisible(child) && (text == "Системное" || text == "Дата" || zone))
        shown.push_back({WindowRect(child).left, text});
    }
    std::sort(shown.begin(), shown.end());
    std::vector<std::string> names;
    for (const auto& [left, text] : shown) names.push_back(text);
    return names;
  };
  ASSERT_TRUE(WaitUntil([&] { return captions().size() == 5; }));
  OpenSettings(false);
  HWND list = ShowPanelList();
  HWND remove = Control("Удалить");
  Click(RowCentre(list, 2));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(remove) != FALSE; }));
  Click(Centre(remove));
  const std::vector<std::string> kept{"Системное", "Zone 1", "Zone 3", "Дата"};
  EXPECT_TRUE(WaitUntil([&] { return captions() == kept; })) << "the panels window drops Zone 2 at once";
  EXPECT_EQ(Rows(list), 4);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(remove); })) << "the first row, the system time, is selected";

  fs::remove(ClocksFile());
  Click(Centre(Control("Ok")));
  WaitForDialogToClose();
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(ClocksFile()); })) << "OK writes the clocks file";
  std::vector<std::string> names;
  for (const std::string& line : Lines(ClocksFile()))
    if (line.rfind("Name=", 0) == 0) names.push_back(line.substr(5));
  EXPECT_EQ(names, kept);
  EXPECT_NE(ReadCp1251(ClocksFile()).find("PanelsCount=4\r\n"), std::string::npos);
}

}  // namespace
}  // namespace hx::e2e
