// The clock program's start-up, settings file, single instance, autostart
// and error reporting, seen from outside.
#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <thread>

#include "base/textfile.h"
#include "tests/e2e/harness.h"
#include "win32/registry.h"

namespace hx::e2e {
namespace {

constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = FreshProgramFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
  }

  fs::path Exe() const { return folder_ / "Horavex.KT.exe"; }
  fs::path SettingsFile() const { return folder_ / "Settings" / "HXSettings.ini"; }

  // Starts the program and waits until its panels window is shown.
  Process StartAndWaitForPanels() {
    Process p(Exe());
    clocks_ = WaitForWindow(L"TFormClocks", p.id());
    EXPECT_NE(clocks_, nullptr) << "the panels window did not appear";
    return p;
  }

  fs::path ClocksFile() const { return folder_ / "Settings" / "HXClocks.ini"; }

  // A settings file with keys missing and a value out of range, which
  // another program holds open for good, letting it be read but not
  // replaced: the start's repairs cannot be written.
  std::unique_ptr<HeldFile> HoldSettingsFileAgainstWriting() {
    WriteCp1251(SettingsFile(), "[Settings]\r\nAlphaSet=200\r\n[includeOnWPanel]\r\nNumPanel=9\r\n");
    return std::make_unique<HeldFile>(SettingsFile(), FILE_SHARE_READ);
  }

  // Asks the running program to close as the uninstaller does.
  static void SendCloseRequest(DWORD processId) {
    for (HWND main : TopWindows(L"TFormHoravex", processId)) PostMessageW(main, 1025, 0, 0);
  }

  fs::path folder_;
  HWND clocks_ = nullptr;
};

TEST_F(StartupTest, FreshStartShowsPanelsCreatesSettingsAndWritesNoSettingsFile) {
  fs::create_directories(folder_ / "TempFiles");  // left empty by an earlier run: the exit removes it
  Process p = StartAndWaitForPanels();
  EXPECT_TRUE(fs::is_directory(folder_ / "Settings"));
  EXPECT_FALSE(fs::exists(SettingsFile()));
  // The main window exists, is of its class, and shows nothing.
  ASSERT_EQ(TopWindows(L"TFormHoravex", p.id()).size(), 1u);
  EXPECT_EQ(WindowText(TopWindows(L"TFormHoravex", p.id())[0]), "Horavex.KT");
  Screenshot("fresh-start", clocks_);

  SendCloseRequest(p.id());
  EXPECT_TRUE(p.WaitForExit(kPatience)) << "message 1025 did not end the program";
  EXPECT_FALSE(fs::exists(folder_ / "TempFiles"));
}

TEST_F(StartupTest, OldSettingsFilesMoveIntoTheSettingsFolder) {
  WriteCp1251(folder_ / "HXSettings.ini", "[Settings]\r\nAlphaSet=180\r\nAutoLaunch=0\r\n");
  WriteCp1251(folder_ / "Settings" / "HXSettings.ini", "[Settings]\r\nAlphaSet=111\r\n");
  Process p = StartAndWaitForPanels();
  EXPECT_FALSE(fs::exists(folder_ / "HXSettings.ini"));
  EXPECT_NE(ReadCp1251(SettingsFile()).find("AlphaSet=180"), std::string::npos);
}

TEST_F(StartupTest, SecondStartEndsByItselfAndLeavesTheFirstRunning) {
  Process first = StartAndWaitForPanels();
  Process second(Exe());
  EXPECT_TRUE(second.WaitForExit(kPatience));
  EXPECT_TRUE(first.Running());
  EXPECT_EQ(TopWindows(L"TFormClocks", first.id()).size(), 1u);
  EXPECT_TRUE(TopWindows(L"TFormClocks", second.id()).empty());
}

TEST_F(StartupTest, HeldReleaseMutexesGiveTheirNoticeAndEndTheStart) {
  const struct {
    const wchar_t* mutex;
    const char* notice;
  } cases[] = {
      {L"Horavex.KT 1.0.0",
       "Уже запущена программа Horavex.KT версии 1.0.0, завершите работу с ней и запустите программу снова!"},
      {L"Horavex.KT", "Уже запущена более новая версия программы!"},
  };
  for (const auto& c : cases) {
    HANDLE held = CreateMutexW(nullptr, TRUE, c.mutex);
    Process p(Exe());
    const MessageBoxInfo box = WaitForMessageBox(p.id());
    EXPECT_EQ(box.text, c.notice);
    EXPECT_EQ(box.caption, "Horavex.KT 1.0.1.2k.ru - Warning...");
    PressButton(box.window, "OK");
    EXPECT_TRUE(p.WaitForExit(kPatience));
    EXPECT_TRUE(TopWindows(L"TFormClocks", p.id()).empty());
    EXPECT_FALSE(fs::exists(SettingsFile()));
    CloseHandle(held);
  }
}

TEST_F(StartupTest, MissingKeysAreAddedAndCountedOutOfSeventeen) {
  WriteCp1251(SettingsFile(), "[Main]\r\nCutVersion=0\r\n");
  Process p(Exe());
  const MessageBoxInfo box = WaitForMessageBox(p.id());
  EXPECT_NE(box.text.find("Отсутствовали или содержали неверные значения 8 из 17 параметров."), std::string::npos)
      << box.text;
  const std::string repaired = ReadCp1251(SettingsFile());
  for (const char* key : {"AlphaUsed=1", "AlphaSet=255", "StayOnTop=0", "FormatDate=0", "IntervalAUCheck=2", "Left=",
                          "Top=", "Version=01.00", "Date="})
    EXPECT_NE(repaired.find(key), std::string::npos) << key;
  PressButton(box.window, "OK");
  EXPECT_NE(WaitForWindow(L"TFormClocks", p.id()), nullptr);
}

TEST_F(StartupTest, OutOfRangeWindowsPanelEdgeIsCountedOutOfSeven) {
  WriteCp1251(SettingsFile(),
              "[Settings]\r\nAlphaSet=99\r\nAlphaUsed=1\r\nStayOnTop=0\r\nAutoLaunch=0\r\nFormatDate=9\r\n"
              "[includeOnWPanel]\r\nNumPanel=-1\r\n[Auto_Check_New_Version]\r\nIntervalAUCheck=2\r\n"
              "[Position]\r\nLeft=10\r\nTop=-5\r\n");
  Process p(Exe());
  MessageBoxInfo box = WaitForMessageBox(p.id());
  EXPECT_NE(box.text.find("неверные значения 1 из 7 параметров."), std::string::npos) << box.text;
  PressButton(box.window, "OK");
  // The full read then repairs AlphaSet and FormatDate; NumPanel is already
  // mended on disk.
  ASSERT_TRUE(WaitUntil([&] {
    box = WaitForMessageBox(p.id(), 0ms);
    return box.text.find("из 17") != std::string::npos;
  }));
  EXPECT_NE(box.text.find("2 из 17"), std::string::npos) << box.text;
  // Read while the notice holds the program, so no save is under way.
  const std::string repaired = ReadCp1251(SettingsFile());
  EXPECT_NE(repaired.find("AlphaSet=255"), std::string::npos);
  EXPECT_NE(repaired.find("FormatDate=0"), std::string::npos);
  EXPECT_NE(repaired.find("NumPanel=0"), std::string::npos);
  EXPECT_NE(repaired.find("Top=-5"), std::string::npos);  // shown at 0, kept in the file
  PressButton(box.window, "OK");
  HWND clocks = WaitForWindow(L"TFormClocks", p.id());
  ASSERT_NE(clocks, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return WindowRect(clocks).left == 10 && WindowRect(clocks).top == 0; }))
      << "at " << WindowRect(clocks).left << ", " << WindowRect(clocks).top;
}

TEST_F(StartupTest, AutoLaunchLeavesTheRunValuesInTheRightRoots) {
  win::SystemRegistry registry;
  for (int mode : {1, 2, 0}) {
    WriteCp1251(SettingsFile(), "[Main]\r\nCutVersion=1\r\n[Settings]\r\nAutoLaunch=" + std::to_string(mode) + "\r\n");
    Process p = StartAndWaitForPanels();
    std::optional<std::string> machine, user;
    const bool settled = WaitUntil([&] {
      machine = registry.ReadString(RegistryRoot::LocalMachine, kRunKey, "Horavex");
      user = registry.ReadString(RegistryRoot::CurrentUser, kRunKey, "Horavex");
      return machine.has_value() == (mode == 1) && user.has_value() == (mode == 2);
    });
    EXPECT_TRUE(settled) << "AutoLaunch=" << mode << " machine=" << machine.value_or("-") << " user=" << user.value_or("-");
    for (const auto& value : {machine, user}) {
      if (value) {
        EXPECT_EQ(fs::path(*value), Exe()) << *value;
      }
    }
    SendCloseRequest(p.id());
    EXPECT_TRUE(p.WaitForExit(kPatience));
  }
}

// A settings file that another program holds for a moment, against
// reading or only against being replaced, is simply read and written once
// free: no notice, no error, the panels from the file.
TEST_F(StartupTest, FilesHeldForAMomentAreReadAndWrittenOnceFree) {
  for (const DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
    SCOPED_TRACE(share);
    WriteCp1251(ClocksFile(), ClocksFileWithZones(1));  // not in the form the program writes
    HeldFile held(ClocksFile(), share);
    ASSERT_TRUE(held.held());
    Process p(Exe());
    // The panels window is made, still hidden, just before the panel list
    // is read.
    ASSERT_TRUE(WaitUntil([&] { return !TopWindows(L"TFormClocks", p.id()).empty(); }));
    std::this_thread::sleep_for(1s);  // how long the other program holds the file
    held.Release();

    clocks_ = WaitForWindow(L"TFormClocks", p.id());
    EXPECT_TRUE(WaitUntil([&] { return clocks_ && ChildByText(clocks_, "Zone 1"); })) << "the file's panels";
    EXPECT_TRUE(WaitUntil([&] { return ReadCp1251(ClocksFile()).find("[Main]") != std::string::npos; }))
        << "the start rewrites the file in its normal form";
    EXPECT_TRUE(TopWindows(L"#32770", p.id()).empty() && TopWindows(L"TFormError", p.id()).empty());
    SendCloseRequest(p.id());
    EXPECT_TRUE(p.WaitForExit(kPatience));
    EXPECT_FALSE(fs::exists(folder_ / "ErrorLog"));
  }
}

// Held for longer than the program waits, neither file is written over:
// the program says so once per file, runs on the defaults and leaves both
// as they were, also when it ends.
TEST_F(StartupTest, FilesHeldForLongAreLeftAsTheyWereAndTheProgramRunsOnDefaults) {
  WriteCp1251(SettingsFile(), "[Settings]\r\nAlphaSet=200\r\n");
  WriteCp1251(ClocksFile(), ClocksFileWithZones(1));
  const std::string settingsBefore = ReadCp1251(SettingsFile()), clocksBefore = ReadCp1251(ClocksFile());
  HeldFile heldSettings(SettingsFile(), 0), heldClocks(ClocksFile(), 0);
  ASSERT_TRUE(heldSettings.held() && heldClocks.held());
  Process p(Exe());
  for (const char* file : {"HXSettings.ini", "HXClocks.ini"}) {
    const MessageBoxInfo notice = WaitForMessageBox(p.id());
    ASSERT_NE(notice.window, nullptr) << "no notice for " << file;
    EXPECT_NE(notice.text.find(std::string(file) + " не удалось прочитать"), std::string::npos) << notice.text;
    EXPECT_NE(notice.text.find("Файл оставлен как есть"), std::string::npos) << notice.text;
    if (std::string(file) == "HXClocks.ini") Screenshot("held-clocks-file-notice", notice.window);
    PressButton(notice.window, "OK");
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(notice.window); }));
  }
  // Once the clock shows the date, the start has read everything it reads;
  // the files are free again before the program ends.
  clocks_ = WaitForWindow(L"TFormClocks", p.id());
  static const std::regex date{R"(\d+\.\d+\.\d+)"};
  ASSERT_TRUE(WaitUntil([&] {
    for (HWND child : Children(clocks_))
      if (IsWindowVisible(child) && std::regex_match(WindowText(child), date)) return true;
    return false;
  })) << "the clock shows no date";
  heldSettings.Release();
  heldClocks.Release();
  EXPECT_EQ(ChildByText(clocks_, "Zone 1"), nullptr) << "the defaults, not the file";
  EXPECT_TRUE(TopWindows(L"#32770", p.id()).empty()) << "each file is told once";
  SendCloseRequest(p.id());
  ASSERT_TRUE(p.WaitForExit(kPatience));
  EXPECT_EQ(ReadCp1251(SettingsFile()), settingsBefore);
  EXPECT_EQ(ReadCp1251(ClocksFile()), clocksBefore);
  EXPECT_FALSE(fs::exists(folder_ / "ErrorLog"));
}

// A clocks file of more records than the panels window shows: the program
// shows the first hundred and says so; the file keeps every record after a
// start and an exit.
TEST_F(StartupTest, ClocksFileOfMoreThanAHundredRecordsLosesNone) {
  WriteCp1251(ClocksFile(), ClocksFileWithZones(118));
  const std::string before = ReadCp1251(ClocksFile());
  Process p(Exe());
  const MessageBoxInfo notice = WaitForMessageBox(p.id());
  ASSERT_NE(notice.window, nullptr);
  EXPECT_NE(notice.text.find("записей: 120"), std::string::npos) << notice.text;
  PressButton(notice.window, "OK");
  clocks_ = WaitForWindow(L"TFormClocks", p.id());
  ASSERT_TRUE(WaitUntil([&] { return clocks_ && ChildByText(clocks_, "Zone 98"); }));
  EXPECT_EQ(ChildByText(clocks_, "Zone 99"), nullptr);
  EXPECT_NE(ChildByText(clocks_, "Дата"), nullptr) << "the date panel, the 120th record, is found";
  SendCloseRequest(p.id());
  ASSERT_TRUE(p.WaitForExit(kPatience));
  EXPECT_TRUE(ReadCp1251(ClocksFile()) == before) << "the file was written over";
}

TEST_F(StartupTest, UnwritableSettingsFileIsLoggedAndShownInTheErrorDialog) {
  const auto locked = HoldSettingsFileAgainstWriting();
  ASSERT_TRUE(locked->held());
  Process p(Exe());

  // The appearance read's repair fails first: one record, the dialog with
  // its code.
  HWND dialog = WaitForWindow(L"TFormError", p.id());
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WindowText(dialog), "Ошибка в работе программы...");
  EXPECT_EQ(ClientSize(dialog).cx, 528);
  EXPECT_EQ(ClientSize(dialog).cy, 172);
  EXPECT_NE(ChildByText(dialog, "Внутренний код ошибки: 1.001 - 010.0[hx::FileError]"), nullptr);
  Screenshot("error-dialog", dialog);
  const auto log = SplitLines(ReadCp1251(folder_ / "ErrorLog" / "Debug.Log"));
  ASSERT_EQ(log.size(), 9u);
  EXPECT_EQ(log[0], std::string(73, '='));
  EXPECT_EQ(log[2], "Program = Horavex.KT 1.0.1.2k.ru");
  EXPECT_EQ(log[6], "Adress = 1.001 - 010.0");
  EXPECT_EQ(log[7], "Type = hx::FileError");
  EXPECT_EQ(log[8], "Dump = \"\"");

  // Ignore: the program goes on to the full read, whose repair fails as well.
  PressButton(dialog, "&Игнорировать");
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  dialog = WaitForWindow(L"TFormError", p.id());
  ASSERT_NE(dialog, nullptr);
  EXPECT_NE(ChildByText(dialog, "Внутренний код ошибки: 1.001 - 009.0[hx::FileError]"), nullptr);
  EXPECT_TRUE(p.Running());
  EXPECT_EQ(SplitLines(ReadCp1251(folder_ / "ErrorLog" / "Debug.Log")).size(), 18u);

  PressButton(dialog, "&Закрыть программу");
  EXPECT_TRUE(p.WaitForExit(kPatience));
}

TEST_F(StartupTest, ReportToAuthorMovesTheLogAndStartsANewOne) {
  const auto locked = HoldSettingsFileAgainstWriting();
  ASSERT_TRUE(locked->held());
  Process p(Exe());
  HWND dialog = WaitForWindow(L"TFormError", p.id());
  ASSERT_NE(dialog, nullptr);

  PressButton(dialog, "&Сообщить автору...");
  const MessageBoxInfo warning = WaitForMessageBox(p.id());
  EXPECT_EQ(warning.caption, "Предупреждение...");
  EXPECT_NE(warning.text.find("Не изменяйте содержимое вложенного файла."), std::string::npos);
  PressButton(warning.window, "OK");

  // Without a mail program the dialog comes back, the log is handed over
  // all the same, and the log is offered once only.
  const fs::path sent = folder_ / "ErrorLog" / "SendingDebug.Log";
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(sent); }));
  EXPECT_EQ(SplitLines(ReadCp1251(sent)).size(), 9u);
  EXPECT_FALSE(fs::exists(folder_ / "ErrorLog" / "Debug.Log"));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) && !IsWindowEnabled(ChildByText(dialog, "&Сообщить автору...")); }));

  // The next failure starts a new log with one record.
  PressButton(dialog, "&Игнорировать");
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  dialog = WaitForWindow(L"TFormError", p.id());
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SplitLines(ReadCp1251(folder_ / "ErrorLog" / "Debug.Log")).size(), 9u);
  PressButton(dialog, "&Закрыть программу");
  EXPECT_TRUE(p.WaitForExit(kPatience));
}

// A log that cannot be written (here a folder stands where the file would
// be; a full disk acts alike) costs the record, never the error dialog.
TEST_F(StartupTest, ErrorDialogShowsEvenWhenTheLogCannotBeWritten) {
  fs::create_directories(folder_ / "ErrorLog" / "Debug.Log");
  const auto locked = HoldSettingsFileAgainstWriting();
  ASSERT_TRUE(locked->held());
  Process p(Exe());
  HWND dialog = WaitForWindow(L"TFormError", p.id());
  ASSERT_NE(dialog, nullptr) << "no error dialog";
  EXPECT_NE(ChildByText(dialog, "Внутренний код ошибки: 1.001 - 010.0[hx::FileError]"), nullptr);
  PressButton(dialog, "&Закрыть программу");
  EXPECT_TRUE(p.WaitForExit(kPatience));
}

}  // namespace
}  // namespace hx::e2e
