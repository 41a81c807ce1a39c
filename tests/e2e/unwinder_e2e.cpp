// The uninstaller Unwinder.KT from outside: the real program in a fresh
// program folder, driven through its windows and message boxes, checked by
// the files and registry entries it leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>

#include "core/patch_registration.h"
#include "tests/e2e/harness.h"
#include "win32/registry.h"
#include "win32/text.h"

namespace hx::e2e {
namespace {

constexpr RegistryRoot kCU = RegistryRoot::CurrentUser;
constexpr RegistryRoot kLM = RegistryRoot::LocalMachine;
constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char kTestKey[] = "Software\\HxUnwinderE2E";
constexpr int kIdCancel = 1027, kIdNext = 1030, kIdDone = 1031, kIdOk = 1032;

std::string Utf8(const fs::path& p) { return win::Narrow(p.wstring()); }

class UnwinderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name =
        std::string("unwinder-") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    // An earlier run may have left paths too long for the C library's file
    // functions; the Unix side removes them.
    const fs::path work = BuiltProgramFolder().parent_path() / "e2e-work";
    unreachableRoot_ = work / (name + "-unreachable");
    for (const fs::path& left : {work / name, unreachableRoot_})
      if (fs::exists(left)) RunUnix(L"rm -rf '" + UnixPath(left) + L"'");
    folder_ = FreshProgramFolder(name);
    // Each test has its own temporary folder: the uninstaller copies itself
    // there and writes its batch files there.
    temp_ = folder_.parent_path() / "Temp";
    fs::create_directories(temp_);
    wchar_t saved[MAX_PATH] = {};
    savedTemp_.assign(saved, GetEnvironmentVariableW(L"TEMP", saved, MAX_PATH));
    SetEnvironmentVariableW(L"TEMP", temp_.wstring().c_str());
    if (reg_.KeyExists(kCU, kTestKey)) reg_.DeleteKey(kCU, kTestKey);
    if (reg_.KeyExists(kCU, kPatchListKey)) reg_.DeleteKey(kCU, kPatchListKey);
    if (reg_.KeyExists(kLM, kRunOnceKey) && reg_.ValueExists(kLM, kRunOnceKey, "UnInstall.KT"))
      reg_.DeleteValue(kLM, kRunOnceKey, "UnInstall.KT");
  }

  void TearDown() override { SetEnvironmentVariableW(L"TEMP", savedTemp_.empty() ? nullptr : savedTemp_.c_str()); }

  fs::path Copy() const { return temp_ / "Unwinder.KT.exe"; }

  // The removal stage as the launch stage starts it: the copy in the
  // temporary folder, the program folder as argument.
  Process StartRemovalStage() {
    fs::copy_file(folder_ / "Unwinder.KT.exe", Copy(), fs::copy_options::overwrite_existing);
    WriteCp1251(folder_ / "Settings" / "UILangSettings.ini", "Language=Russian\r\n");
    return Process(Copy(), L"\"" + folder_.wstring() + L"\"");
  }

  // Appends sections to the folder's manifest.
  void AddToManifest(const std::string& sections) {
    const fs::path manifest = folder_ / "Resource" / "Uninstall.ini";
    WriteCp1251(manifest, ReadCp1251(manifest) + sections);
  }

  static void Click(HWND window, int id) { PostMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0); }
  static bool Checked(HWND window, int id) {
    return SendMessageW(GetDlgItem(window, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }

  // Answers the next message box of the process, returning its text.
  static std::string Answer(DWORD pid, const std::string& button, std::string* caption = nullptr) {
    const MessageBoxInfo box = WaitForMessageBox(pid);
    EXPECT_NE(box.window, nullptr) << "no message box";
    if (!box.window) return {};
    if (caption) *caption = box.caption;
    PressButton(box.window, button);
    WaitUntil([&] { return !IsWindow(box.window); });
    return box.text;
  }

  static std::vector<std::string> LogLines(HWND window) {
    std::vector<std::string> lines;
    for (HWND child : Children(window)) {
      if (ClassOf(child) != "ListBox") continue;
      const int count = static_cast<int>(SendMessageW(child, LB_GETCOUNT, 0, 0));
      for (int i = 0; i < count; ++i) {
        std::wstring text(SendMessageW(child, LB_GETTEXTLEN, i, 0) + 1, L'\0');
        const LRESULT n = SendMessageW(child, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        lines.push_back(win::Narrow(text.substr(0, std::max<LRESULT>(n, 0))));
      }
    }
    return lines;
  }

  // Chooses a mode in the choice window, confirms it and waits until the
  // removal is done; returns the log.
  std::vector<std::string> RemoveWith(Process& p, int modeId, const std::string& screenshot = "") {
    return RemoveWith(p.id(), modeId, screenshot);
  }
  std::vector<std::string> RemoveWith(DWORD pid, int modeId, const std::string& screenshot = "") {
    HWND window = WaitForWindow(L"KT.API.Form", pid);
    EXPECT_NE(window, nullptr) << "no choice window";
    if (!window) return {};
    Click(window, modeId);
    EXPECT_TRUE(WaitUntil([&] { return Checked(window, modeId); }));
    Click(window, kIdNext);
    Answer(pid, "Yes");
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(window, kIdDone)) != FALSE; }));
    if (!screenshot.empty()) Screenshot(screenshot, window);
    return LogLines(window);
  }

  // The removal stage as a user gets to it: the launch stage from the
  // program folder, its language window confirmed; the process of the copy.
  DWORD LaunchAndHandOver() {
    Process launch(folder_ / "Unwinder.KT.exe");
    HWND language = WaitForWindow(L"KT.API.Form", launch.id());
    EXPECT_NE(language, nullptr) << "no language window";
    if (!language) return 0;
    Click(language, kIdOk);
    EXPECT_TRUE(launch.WaitForExit(kPatience));
    const DWORD copy = WaitForChildProcess(launch.id());
    EXPECT_NE(copy, 0u) << "the launch stage started no copy";
    EXPECT_TRUE(WaitUntil([&] {
      for (HWND w : TopWindows(L"KT.API.Form", copy))
        if (IsWindowVisible(w) && WindowText(w).rfind("Удаление", 0) == 0) return true;
      return false;
    }));
    return copy;
  }

  static bool WaitForExitOf(DWORD pid) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!process) return true;  // already gone
    const bool ended = WaitForSingleObject(process, static_cast<DWORD>(kPatience.count())) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
  }

  void FinishWithDone(Process& p) {
    HWND window = WaitForWindow(L"KT.API.Form", p.id());
    Click(window, kIdDone);
    EXPECT_TRUE(p.WaitForExit(kPatience));
  }

  // Writes text in the system's ANSI code page, as the installer writes the manifest.
  static void WriteAnsi(const fs::path& file, const std::string& utf8) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << win::ToCodePage(utf8, CP_ACP);
  }
  static HANDLE Hold(const fs::path& file) {
    return CreateFileW(file.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  // Runs a batch file as the next logon would, once nothing holds the files.
  static void RunBatch(const fs::path& batch) {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    Process cmd(fs::path(system) / "cmd.exe", L"/c \"" + batch.wstring() + L"\"");
    EXPECT_TRUE(cmd.WaitForExit(kPatience));
  }

  // The removal stage ends by erasing its own copy through a hidden batch.
  void ExpectCopyErased() {
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(Copy()); })) << "the temporary copy stayed";
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(temp_ / "Unwinder.KT.bat"); }));
  }

  // A prepared installation seen from the outside: a shortcut and a
  // shortcut folder, temporary files, registry entries and the autostart
  // value, a component and the program's settings.
  void PrepareInstallation() {
    links_ = folder_.parent_path() / "Desktop";
    WriteCp1251(links_ / "Horavex.KT.lnk", "link");
    fs::create_directories(links_ / "Menu");
    WriteCp1251(temp_ / "hx-session.tmp", "tmp");
    WriteCp1251(folder_ / "Settings" / "HXSettings.ini", "[Settings]\r\n");
    WriteCp1251(folder_ / "Plugins" / "extra.dll", "component");
    WriteCp1251(folder_ / "Notes" / "user-notes.txt", "not the installer's");
    reg_.WriteString(kCU, std::string(kTestKey) + "\\Panels", "Count", "2");
    reg_.WriteString(kLM, std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\HxUnwinderE2E"),
                     "DisplayName", "Horavex.KT");
    reg_.WriteString(kCU, kRunKey, "Horavex", Utf8(folder_ / "Horavex.KT.exe"));
    reg_.WriteString(kCU, PatchEntryPath(1), "ExePatch", Utf8(folder_ / "Horavex.KT.exe"));
    reg_.WriteString(kCU, PatchEntryPath(1), "Version", "1.0.1.2k.ru");
    reg_.WriteString(kCU, PatchEntryPath(1), "ProgramName", "Horavex.KT");
    reg_.WriteDword(kCU, kPatchListKey, kPatchCountValue, 1);
    AddToManifest("[Links]\r\n" + Utf8(links_ / "Horavex.KT.lnk") + "\r\n" + Utf8(links_ / "Menu") +
                  "\\\r\n[TmpFiles]\r\nhx-session.tmp\r\n[RegSet]\r\nHKEY_CURRENT_USER\\" + kTestKey +
                  "\\Panels\\Count\r\nHKEY_CURRENT_USER\\" + kTestKey + "\\Panels\\\r\n"
                  "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\HxUnwinderE2E\\\r\n"
                  "[ComponentsFiles]\r\n\\Plugins\\extra.dll\r\n");
  }

  bool Outside() { return fs::exists(links_ / "Horavex.KT.lnk") || fs::exists(links_ / "Menu"); }
  bool RegistryLeft() { return reg_.KeyExists(kCU, std::string(kTestKey) + "\\Panels"); }
  bool UninstallEntryLeft() {
    return reg_.KeyExists(kLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\HxUnwinderE2E");
  }

  fs::path folder_, temp_, links_, unreachableRoot_;
  std::wstring savedTemp_;
  win::SystemRegistry reg_;
};

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

TEST_F(UnwinderTest, TheTemplateRegeneratesTheManifestAndNothingIsCopied) {
  WriteCp1251(folder_ / "Resource" / "InstallFiles_Uninstall.ini", "ProgramName=Horavex.KT\r\n[RegSet]\r\n");
  WriteCp1251(folder_ / "Sub" / "b.txt", "b");
  Process p(folder_ / "Unwinder.KT.exe");
  std::string caption;
  EXPECT_EQ(Answer(p.id(), "OK", &caption), "The configuration file \"Uninstall.ini\" was create sucsessfully!");
  EXPECT_EQ(caption, "Unwinder.KT");
  EXPECT_TRUE(p.WaitForExit(kPatience));
  const std::string manifest = ReadCp1251(folder_ / "Resource" / "Uninstall.ini");
  EXPECT_EQ(manifest.rfind("ProgramName=Horavex.KT\r\n[RegSet]\r\n[InstallFiles]\r\n", 0), 0u) << manifest;
  for (const char* entry : {"\r\nHoravex.KT.exe\r\n", "\r\nUnwinder.KT.exe\r\n", "\r\n\\Sub\\b.txt\r\n",
                            "\r\n\\Resource\\Uninstall.ini\r\n", "\r\n\\Language\\English\\UnInstaller.txt\r\n"})
    EXPECT_NE(manifest.find(entry), std::string::npos) << entry;
  EXPECT_EQ(manifest.find("InstallFiles_Uninstall"), std::string::npos);
  EXPECT_FALSE(fs::exists(Copy()));
}

TEST_F(UnwinderTest, TheLaunchStageHandsOverToACopyThatOffersTheChoice) {
  Process launch(folder_ / "Unwinder.KT.exe");
  HWND language = WaitForWindow(L"KT.API.Form", launch.id());
  ASSERT_NE(language, nullptr);
  EXPECT_EQ(WindowText(language), "Uninstaller language...");
  EXPECT_EQ(ClientSize(language).cx, 340);
  EXPECT_EQ(ClientSize(language).cy, 160);
  Screenshot("unwinder-language", language);
  Click(language, kIdOk);
  EXPECT_TRUE(launch.WaitForExit(kPatience));
  EXPECT_TRUE(fs::exists(Copy()));
  EXPECT_EQ(ReadCp1251(folder_ / "Settings" / "UILangSettings.ini"), "Language=Russian\r\n");

  // The copy, another process that the launch stage started, shows the
  // choice window.
  const DWORD copyId = WaitForChildProcess(launch.id());
  ASSERT_NE(copyId, 0u) << "the launch stage started no copy";
  HWND choice = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    for (HWND w : TopWindows(L"KT.API.Form", copyId))
      if (IsWindowVisible(w) && WindowText(w) == "Удаление \"Horavex.KT 1.0.1.2k.ru\"") choice = w;
    return choice != nullptr;
  }));
  EXPECT_EQ(ClientSize(choice).cx, 500);
  EXPECT_EQ(ClientSize(choice).cy, 360);
  EXPECT_TRUE(Checked(choice, 1047));
  EXPECT_FALSE(Checked(choice, 1044));
  EXPECT_EQ(WindowText(GetDlgItem(choice, kIdNext)), "Далее >>");
  EXPECT_FALSE(fs::exists(folder_ / "Settings" / "UILangSettings.ini"));  // read and deleted by the copy
  Screenshot("unwinder-choice", choice);

  // Cancel ends the copy with nothing removed; it still erases itself.
  Click(choice, kIdCancel);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(choice); }));
  EXPECT_TRUE(fs::exists(folder_ / "Horavex.KT.exe"));
  ExpectCopyErased();
}

TEST_F(UnwinderTest, RemoveExternalSettingsTakesShortcutsRegistryAndTemporaryFilesOnly) {
  PrepareInstallation();
  Process p = StartRemovalStage();
  const auto log = RemoveWith(p, 1044);
  EXPECT_FALSE(Outside());
  EXPECT_FALSE(fs::exists(temp_ / "hx-session.tmp"));
  EXPECT_FALSE(RegistryLeft());
  EXPECT_FALSE(UninstallEntryLeft());
  EXPECT_FALSE(reg_.ValueExists(kCU, kRunKey, "Horavex"));
  EXPECT_FALSE(reg_.KeyExists(kCU, kPatchListKey));
  EXPECT_TRUE(fs::exists(folder_ / "Horavex.KT.exe"));
  EXPECT_TRUE(fs::exists(folder_ / "Settings" / "HXSettings.ini"));
  EXPECT_TRUE(Contains(log, Utf8(links_ / "Horavex.KT.lnk")));
  EXPECT_TRUE(Contains(log, "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\Horavex"));
  EXPECT_EQ(log.back(), "Готово...");
  FinishWithDone(p);
  ExpectCopyErased();
}

TEST_F(UnwinderTest, ResetSettingsKeepsTheProgramAndTheSystemUninstallEntry) {
  PrepareInstallation();
  Process p = StartRemovalStage();
  const auto log = RemoveWith(p, 1045);
  EXPECT_FALSE(fs::exists(folder_ / "Settings" / "HXSettings.ini"));
  EXPECT_TRUE(Contains(log, Utf8(folder_) + "\\Settings\\HXSettings.ini"));
  EXPECT_FALSE(RegistryLeft());
  EXPECT_TRUE(UninstallEntryLeft());
  EXPECT_TRUE(Outside());  // shortcuts stay
  EXPECT_TRUE(fs::exists(folder_ / "Horavex.KT.exe"));
  FinishWithDone(p);
  ExpectCopyErased();
}

TEST_F(UnwinderTest, RemoveProgramFilesKeepsSettingsComponentsAndForeignFiles) {
  PrepareInstallation();
  Process p = StartRemovalStage();
  const auto log = RemoveWith(p, 1046);
  for (const char* gone : {"Horavex.KT.exe", "Unwinder.KT.exe", "Help", "Language", "Resource"})
    EXPECT_FALSE(fs::exists(folder_ / gone)) << gone;
  EXPECT_TRUE(fs::exists(folder_ / "Settings" / "HXSettings.ini"));
  EXPECT_TRUE(fs::exists(folder_ / "Plugins" / "extra.dll"));
  EXPECT_TRUE(fs::exists(folder_ / "Notes" / "user-notes.txt"));
  EXPECT_FALSE(Outside());
  EXPECT_FALSE(RegistryLeft());
  EXPECT_TRUE(Contains(log, Utf8(folder_) + "\\Help\\index.htm"));
  EXPECT_TRUE(Contains(log, Utf8(folder_) + "\\Help"));
  FinishWithDone(p);
  ExpectCopyErased();
}

TEST_F(UnwinderTest, RemoveEverythingLeavesOnlyWhatTheInstallerDidNotPut) {
  PrepareInstallation();
  Process p = StartRemovalStage();
  const auto log = RemoveWith(p, 1047, "unwinder-progress");
  EXPECT_FALSE(fs::exists(folder_ / "Settings"));
  EXPECT_FALSE(fs::exists(folder_ / "Plugins"));
  EXPECT_TRUE(fs::exists(folder_ / "Notes" / "user-notes.txt"));
  EXPECT_FALSE(fs::exists(folder_ / "Horavex.KT.exe"));
  EXPECT_FALSE(Outside());
  EXPECT_FALSE(RegistryLeft());
  EXPECT_FALSE(UninstallEntryLeft());
  EXPECT_TRUE(Contains(log, Utf8(folder_) + "\\Plugins\\extra.dll"));
  EXPECT_TRUE(Contains(log, "Удаление каталогов..."));
  EXPECT_FALSE(Contains(log, Utf8(folder_)));  // the folder still holds the user's notes
  // A log line wider than the list shows in full in a tooltip under it.
  HWND window = WaitForWindow(L"KT.API.Form", p.id());
  HWND list = nullptr;
  for (HWND child : Children(window))
    if (ClassOf(child) == "ListBox") list = child;
  ASSERT_NE(list, nullptr);
  SendMessageW(list, LB_SETTOPINDEX, 0, 0);
  const RECT listRect = WindowRect(list);
  // The second line is the shortcut's full path (the first is a heading).
  const int itemHeight = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  SetCursorPos(listRect.left + 40, listRect.top + itemHeight + 4);
  // The window looks at the cursor after each message it handles.
  PostMessageW(window, WM_NULL, 0, 0);
  HWND tip = nullptr;
  EXPECT_TRUE(WaitUntil([&] {
    for (HWND w : TopWindows(L"tooltips_class32", p.id()))
      if (IsWindowVisible(w)) tip = w;
    return tip != nullptr;
  }));
  if (tip) {
    // About one row below the item (the tooltip adds its own margin); a tip
    // too wide for the screen at the list's left + 20 is moved left to end
    // 10 pixels before the screen's edge.
    const RECT tipRect = WindowRect(tip);
    EXPECT_NEAR(tipRect.top, listRect.top + 2 * itemHeight, itemHeight);
    EXPECT_LE(tipRect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(tipRect.left, listRect.left + 20);
  }
  SetCursorPos(0, 0);
  // The close box does nothing once the removal has begun: the close request
  // is handled when the call returns, and the window is still there.
  DWORD_PTR result = 0;
  EXPECT_NE(SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_NORMAL, 20000, &result), 0);
  EXPECT_TRUE(IsWindow(window));
  FinishWithDone(p);
  ExpectCopyErased();
}

TEST_F(UnwinderTest, ARunningClockIsAskedToCloseAndTheChoiceFollows) {
  Process clock(folder_ / "Horavex.KT.exe");
  ASSERT_NE(WaitForWindow(L"TFormClocks", clock.id()), nullptr);
  Process p = StartRemovalStage();
  std::string caption;
  const std::string question = Answer(p.id(), "OK", &caption);
  EXPECT_EQ(question, "Программа \"Horavex.KT\" запущена в данный момент!\r\rЗакрыть программу?");
  EXPECT_EQ(caption, "Unwinder.KT");
  EXPECT_TRUE(clock.WaitForExit(kPatience)) << "message 1025 did not close the clock";
  HWND choice = WaitForWindow(L"KT.API.Form", p.id());
  EXPECT_NE(choice, nullptr);
  Click(choice, kIdCancel);
  EXPECT_TRUE(p.WaitForExit(kPatience));
}

TEST_F(UnwinderTest, DecliningToCloseTheClockEndsWithNothingRemoved) {
  Process clock(folder_ / "Horavex.KT.exe");
  ASSERT_NE(WaitForWindow(L"TFormClocks", clock.id()), nullptr);
  Process p = StartRemovalStage();
  Answer(p.id(), "Cancel");
  EXPECT_TRUE(p.WaitForExit(kPatience));
  EXPECT_TRUE(clock.Running());
  EXPECT_TRUE(TopWindows(L"KT.API.Form", p.id()).empty());
  EXPECT_TRUE(fs::exists(folder_ / "Horavex.KT.exe"));
  EXPECT_TRUE(fs::exists(folder_ / "Resource" / "Uninstall.ini"));
  ExpectCopyErased();
}

TEST_F(UnwinderTest, AFileHeldOpenIsLeftForTheNextLogonAndTheRestartDeclined) {
  PrepareInstallation();
  const fs::path held = folder_ / "Settings" / "HXSettings.ini";
  HANDLE file = CreateFileW(held.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  Process p = StartRemovalStage();
  const auto log = RemoveWith(p, 1045);
  for (const auto& line : log) EXPECT_EQ(line.find("HXSettings.ini"), std::string::npos) << line;
  Click(WaitForWindow(L"KT.API.Form", p.id()), kIdDone);
  const std::string question = Answer(p.id(), "No");
  EXPECT_EQ(question,
            "Для завершения деинсталляции Horavex.KT необходимо произвести перезагрузку Вашего компьютера.\r\n\r\n"
            "Выполнить перезагрузку сейчас?");
  EXPECT_TRUE(p.WaitForExit(kPatience));
  CloseHandle(file);

  const fs::path batch = temp_ / "reboot_Unwinder.KT.bat";
  const std::string text = ReadCp1251(batch);
  // The copy, erased by its own batch already, is named in case that failed.
  EXPECT_EQ(text, "Erase \"" + Utf8(held) + "\"\r\nErase \"" + Utf8(Copy()) + "\"\r\nErase \"" + Utf8(batch) +
                      "\"\r\n");
  EXPECT_EQ(reg_.ReadString(kLM, kRunOnceKey, "UnInstall.KT"), Utf8(batch));
  EXPECT_TRUE(fs::exists(held));
  ExpectCopyErased();
}

TEST_F(UnwinderTest, NothingIsRemovedThroughALinkedFolderInTheProgramFolder) {
  // Wine makes no junctions (no FSCTL_SET_REPARSE_POINT, no mklink /J), but
  // shows a Unix symbolic link to a folder as a reparse point, as Windows
  // shows a junction: the program's Help folder becomes one to the user's
  // documents.
  const fs::path docs = folder_.parent_path() / "Documents";
  WriteCp1251(docs / "index.htm", "the user's page");
  WriteCp1251(docs / "letter.txt", "the user's letter");
  fs::remove_all(folder_ / "Help");
  ASSERT_EQ(RunUnix(L"/bin/ln -s '" + UnixPath(docs) + L"' '" + UnixPath(folder_ / "Help") + L"'"), 0);
  const DWORD attributes = GetFileAttributesW((folder_ / "Help").wstring().c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  ASSERT_NE(attributes & FILE_ATTRIBUTE_REPARSE_POINT, 0u);

  Process p = StartRemovalStage();
  const auto log = RemoveWith(p, 1047);
  EXPECT_EQ(ReadCp1251(docs / "index.htm"), "the user's page");
  EXPECT_EQ(ReadCp1251(docs / "letter.txt"), "the user's letter");
  EXPECT_NE(GetFileAttributesW((folder_ / "Help").wstring().c_str()), INVALID_FILE_ATTRIBUTES);
  for (const auto& line : log) EXPECT_EQ(line.find("index.htm"), std::string::npos) << line;
  EXPECT_FALSE(fs::exists(folder_ / "Horavex.KT.exe"));  // the rest of the program goes
  EXPECT_FALSE(fs::exists(folder_ / "Language"));
  FinishWithDone(p);
  ExpectCopyErased();
}

TEST_F(UnwinderTest, AShortcutEntryThatIsNoFullPathNeverReachesANeighbour) {
  // The removal stage runs in the program folder's parent, where a
  // neighbour keeps a file of the same relative name.
  const fs::path neighbour = folder_.parent_path() / "Neighbour" / "notes.txt";
  WriteCp1251(neighbour, "the neighbour's notes");
  links_ = folder_.parent_path() / "Desktop";
  WriteCp1251(links_ / "Horavex.KT.lnk", "link");
  AddToManifest("[Links]\r\nNeighbour\\notes.txt\r\n" + Utf8(links_ / "Horavex.KT.lnk") + "\r\n");
  const DWORD copy = LaunchAndHandOver();
  ASSERT_NE(copy, 0u);
  const auto log = RemoveWith(copy, 1044);
  EXPECT_EQ(ReadCp1251(neighbour), "the neighbour's notes");
  EXPECT_FALSE(fs::exists(links_ / "Horavex.KT.lnk"));
  for (const auto& line : log) EXPECT_EQ(line.find("notes.txt"), std::string::npos) << line;
  Click(WaitForWindow(L"KT.API.Form", copy), kIdDone);
  EXPECT_TRUE(WaitForExitOf(copy));
  ExpectCopyErased();
}

TEST_F(UnwinderTest, LongPathsAreRemovedAndAFileThatCannotBeExaminedWaitsForTheNextLogon) {
  // Longer than MAX_PATH: removed with its folders. (Wine itself does not
  // hold plain paths to MAX_PATH, so this passes there either way.)
  std::string deepEntry = "\\Deep";
  for (int i = 0; i < 6; ++i) deepEntry += "\\abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz";
  deepEntry += "\\deep.txt";
  const fs::path deepFile = folder_.wstring() + win::Widen(deepEntry);
  WriteCp1251(deepFile, "installed");
  ASSERT_GT(deepFile.wstring().size(), static_cast<size_t>(MAX_PATH));
  // Past the length the Unix side takes (4096 bytes), Wine can neither
  // delete a file nor read its attributes: a file whose state cannot be told.
  const fs::path unreachableRoot = unreachableRoot_;
  std::wstring makeDeep = L"mkdir -p '" + UnixPath(unreachableRoot) + L"' && cd '" + UnixPath(unreachableRoot) + L"'";
  fs::path unreachable = unreachableRoot;
  for (int i = 0; i < 20; ++i) {
    const std::wstring name(240, L'd');
    makeDeep += L" && mkdir " + name + L" && cd -P " + name;
    unreachable /= name;
  }
  unreachable /= "Horavex.KT.lnk";
  ASSERT_EQ(RunUnix(makeDeep + L" && echo link > Horavex.KT.lnk"), 0);
  SetLastError(0);
  const DWORD unreachableAttributes = GetFileAttributesW(unreachable.wstring().c_str());
  const DWORD unreachableError = GetLastError();
  ASSERT_EQ(unreachableAttributes, INVALID_FILE_ATTRIBUTES);
  ASSERT_NE(unreachableError, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  ASSERT_NE(unreachableError, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

  AddToManifest("[Links]\r\n" + Utf8(unreachable) + "\r\n[InstallFiles]\r\n" + deepEntry + "\r\n");
  Process p = StartRemovalStage();
  const auto log = RemoveWith(p, 1047);
  EXPECT_FALSE(fs::exists(deepFile));
  EXPECT_FALSE(fs::exists(folder_ / "Deep"));
  EXPECT_TRUE(Contains(log, Utf8(deepFile)));
  EXPECT_TRUE(Contains(log, Utf8(folder_ / "Deep")));
  for (const auto& line : log) EXPECT_EQ(line.find("Horavex.KT.lnk"), std::string::npos);
  Click(WaitForWindow(L"KT.API.Form", p.id()), kIdDone);
  EXPECT_NE(Answer(p.id(), "No").find("перезагрузку"), std::string::npos);
  EXPECT_TRUE(p.WaitForExit(kPatience));
  const std::string batch = ReadCp1251(temp_ / "reboot_Unwinder.KT.bat");
  EXPECT_EQ(batch.rfind("Erase \"" + Utf8(unreachable) + "\"\r\n", 0), 0u) << batch.substr(0, 200);
  EXPECT_EQ(reg_.ReadString(kLM, kRunOnceKey, "UnInstall.KT"), Utf8(temp_ / "reboot_Unwinder.KT.bat"));
  RunUnix(L"rm -rf '" + UnixPath(unreachableRoot) + L"'");
}

// A character the batch file's code page lacks: the command interpreter would
// read "?" as a wildcard, or a look-alike letter as another file.
TEST_F(UnwinderTest, NamesTheBatchCannotCarryAreLeftToTheUserAndNeverHitAnotherFile) {
  // Characters of the ANSI code page (that of the manifest) that the OEM
  // code page (that of batch files) lacks: one it writes as "?", one it
  // writes as a plain letter.
  wchar_t wildcard = 0, lookalike = 0;
  char letter = 0;
  for (int b = 0x80; b <= 0xFF; ++b) {
    const char byte = static_cast<char>(b);
    wchar_t w = 0;
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &byte, 1, &w, 1) != 1) continue;
    char out[4] = {};
    BOOL usedDefault = FALSE;
    if (WideCharToMultiByte(CP_OEMCP, 0, &w, 1, out, sizeof out, nullptr, &usedDefault) != 1) continue;
    if (usedDefault && out[0] == '?' && !wildcard) wildcard = w;
    if (!usedDefault && std::isalpha(static_cast<unsigned char>(out[0])) && !lookalike) {
      lookalike = w;
      letter = out[0];
    }
  }
  if (!wildcard || !lookalike) GTEST_SKIP() << "these code pages have no such characters";
  const std::string wild = win::Narrow(std::wstring(1, wildcard)), alike = win::Narrow(std::wstring(1, lookalike));
  const fs::path settings = folder_ / "Settings";
  const fs::path notes = settings / win::Widen("Notes" + wild + ".txt"), notesNeighbour = settings / "NotesX.txt";
  const fs::path plan = settings / win::Widen(alike + "plan.ini");
  const fs::path planNeighbour = settings / (std::string(1, letter) + "plan.ini");
  const fs::path held = settings / "held.ini";
  for (const fs::path& file : {notes, notesNeighbour, plan, planNeighbour, held}) WriteCp1251(file, "x");
  const std::string manifest = ReadCp1251(folder_ / "Resource" / "Uninstall.ini");
  WriteAnsi(folder_ / "Resource" / "Uninstall.ini",
            manifest + "[SettingsFiles]\r\n\\Settings\\Notes" + wild + ".txt\r\n\\Settings\\" + alike +
                "plan.ini\r\n\\Settings\\held.ini\r\n");
  HANDLE handles[] = {Hold(notes), Hold(plan), Hold(held)};
  for (HANDLE h : handles) ASSERT_NE(h, INVALID_HANDLE_VALUE);

  Process p = StartRemovalStage();
  const auto log = RemoveWith(p, 1045, "unwinder-left-to-the-user");
  EXPECT_TRUE(Contains(log, "Не удалось удалить \"" + Utf8(notes) + "\", удалите этот файл вручную."));
  EXPECT_TRUE(Contains(log, "Не удалось удалить \"" + Utf8(plan) + "\", удалите этот файл вручную."));
  Click(WaitForWindow(L"KT.API.Form", p.id()), kIdDone);
  Answer(p.id(), "No");  // held.ini still waits for a restart
  EXPECT_TRUE(p.WaitForExit(kPatience));
  for (HANDLE h : handles) CloseHandle(h);

  // The next logon runs the batch: it erases what it names, and nothing else.
  const fs::path batch = temp_ / "reboot_Unwinder.KT.bat";
  std::ifstream in(batch, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  EXPECT_EQ(bytes.find('?'), std::string::npos) << bytes;
  RunBatch(batch);
  EXPECT_FALSE(fs::exists(held));
  EXPECT_TRUE(fs::exists(notesNeighbour));
  EXPECT_TRUE(fs::exists(planNeighbour));
  EXPECT_TRUE(fs::exists(notes));
  EXPECT_TRUE(fs::exists(plan));
}

TEST_F(UnwinderTest, TheClockRegistersItselfOnceAndDropsVanishedEntries) {
  const std::string exe = Utf8(folder_ / "Horavex.KT.exe");
  auto startAndClose = [&] {
    Process clock(folder_ / "Horavex.KT.exe");
    ASSERT_NE(WaitForWindow(L"TFormClocks", clock.id()), nullptr);
    for (HWND main : TopWindows(L"TFormHoravex", clock.id())) PostMessageW(main, 1025, 0, 0);
    EXPECT_TRUE(clock.WaitForExit(kPatience));
  };
  auto entryExe = [&](int n) { return reg_.ReadString(kCU, PatchEntryPath(n), "ExePatch").value_or("<none>"); };
  startAndClose();
  EXPECT_EQ(reg_.ReadDword(kCU, kPatchListKey, kPatchCountValue), 1u);
  EXPECT_TRUE(PatchTextEquals(entryExe(1), exe));
  EXPECT_EQ(reg_.ReadString(kCU, PatchEntryPath(1), "Version"), "1.0.1.2k.ru");
  startAndClose();
  EXPECT_EQ(reg_.ReadDword(kCU, kPatchListKey, kPatchCountValue), 1u);

  // Two more programs, the first of them gone.
  const std::string other = Utf8(folder_ / "Unwinder.KT.exe");
  reg_.WriteString(kCU, PatchEntryPath(2), "ExePatch", Utf8(folder_ / "gone.exe"));
  reg_.WriteString(kCU, PatchEntryPath(3), "ExePatch", other);
  reg_.WriteString(kCU, PatchEntryPath(3), "ProgramName", "Other");
  reg_.WriteDword(kCU, kPatchListKey, kPatchCountValue, 3);
  startAndClose();
  EXPECT_EQ(reg_.ReadDword(kCU, kPatchListKey, kPatchCountValue), 2u);
  EXPECT_TRUE(PatchTextEquals(entryExe(1), exe));
  EXPECT_EQ(entryExe(2), other);
  EXPECT_FALSE(reg_.KeyExists(kCU, PatchEntryPath(3)));
}

}  // namespace hx::e2e
