// The About dialog and the notice for a Windows too old for the program,
// seen from outside: opened from the real menu, read, closed with the
// mouse and the keyboard; and a start on a system that Wine reports as
// Windows NT 4.0.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "base/textfile.h"
#include "core/product.h"
#include "tests/e2e/harness.h"
#include "tests/helpers/fake_shell_client.h"
#include "win32/registry.h"
#include "win32/text.h"

namespace hx::e2e {
namespace {

// Complete settings without the update check, so that no notice interrupts.
const std::string kSettingsFile = SettingsFileText({.hideTrayClock = true});

// Whether the program registered itself as installed.
bool PatchRegistered(const fs::path& exe) {
  win::SystemRegistry registry;
  const std::string list = "Software\\Tanvolk\\AutoInstallPatch";
  for (const std::string& entry : registry.SubKeyNames(RegistryRoot::CurrentUser, list)) {
    const auto path = registry.ReadString(RegistryRoot::CurrentUser, list + "\\" + entry, "ExePatch");
    if (path && lstrcmpiW(win::Widen(*path).c_str(), exe.wstring().c_str()) == 0) return true;
  }
  return false;
}

// Whether the screen shows, where `window` is, a pixel of about this colour.
bool ShowsColour(HWND window, COLORREF colour) {
  const RECT r = WindowRect(window);
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
  GetDIBits(memory, picture, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  const auto similar = [](int a, int b) { return a > b - 48 && a < b + 48; };
  return std::any_of(pixels.begin(), pixels.end(), [&](DWORD p) {  // 0x00RRGGBB
    return similar((p >> 16) & 0xFF, GetRValue(colour)) && similar((p >> 8) & 0xFF, GetGValue(colour)) &&
           similar(p & 0xFF, GetBValue(colour));
  });
}

bool HasText(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Whether a dialog shows the shipped About page as plain text.
bool ShowsPageAsText(HWND about) {
  const auto texts = ControlTexts(about);
  return std::any_of(texts.begin(), texts.end(), [](const std::string& t) {
    return t.rfind("Horavex.KT 1.0.1\r\n\r\nЧасы для рабочего стола Windows", 0) == 0;
  });
}

class AboutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    folder_ = FreshProgramFolder("about-" + name);
    log_ = folder_.parent_path() / "shell.log";
    ForgetWindowsVersion();
  }

  void TearDown() override {
    program_.Kill();
    if (shell_.Running()) {
      fake_shell::Send(shell_.id(), "quit");
      if (!shell_.WaitForExit(kPatience)) shell_.Kill();
    }
    ForgetWindowsVersion();
  }

  void StartShell() {
    shell_ = Process(HelperFile("fake_shell.exe"), L"--log \"" + log_.wstring() + L"\"");
    ASSERT_TRUE(WaitUntil([&] { return HasText(Lines(log_), "ready"); })) << "fake_shell did not start";
  }

  // What the program did to the taskbar: its icons and its clock.
  std::vector<std::string> ShellEvents() const {
    std::vector<std::string> events;
    for (const std::string& line : Lines(log_))
      if (line.rfind("icon ", 0) == 0 || line.rfind("clock ", 0) == 0) events.push_back(line);
    return events;
  }

  void StartProgram() {
    WriteCp1251(folder_ / "Settings" / "HXSettings.ini", kSettingsFile);
    program_ = Process(folder_ / "Horavex.KT.exe");
    clocks_ = WaitForWindow(L"TFormClocks", program_.id());
    ASSERT_NE(clocks_, nullptr) << "the panels window did not appear";
    ASSERT_TRUE(WaitUntilOnScreen(clocks_));
  }

  // Starts the program as StartProgram does, with Wine's library settings
  // `overrides`. Wine takes them from the Unix environment a program starts
  // with, never from the Windows environment of the program that starts it;
  // so a Unix shell starts this one, in the program folder.
  void StartProgramWithDllOverrides(const std::wstring& overrides) {
    WriteCp1251(folder_ / "Settings" / "HXSettings.ini", kSettingsFile);
    program_ = Process::WithUnixEnvironment(folder_ / "Horavex.KT.exe", L"WINEDLLOVERRIDES='" + overrides + L"'");
    ASSERT_NE(program_.id(), 0u) << "the program did not start";
    clocks_ = WaitForWindow(L"TFormClocks", program_.id());
    ASSERT_NE(clocks_, nullptr) << "the panels window did not appear";
    ASSERT_TRUE(WaitUntilOnScreen(clocks_));
  }

  // Chooses Справка > О программе... in the panels window's menu and waits
  // for the dialog.
  HWND OpenAbout() {
    return OpenFromPanelsMenu(clocks_, program_.id(), "О программе...", L"TFormAbout", "Справка");
  }

  bool ErrorReported() const {
    return !TopWindows(L"TFormError", program_.id()).empty() || fs::exists(folder_ / "ErrorLog" / "Debug.Log");
  }

  fs::path folder_, log_;
  Process shell_, program_;
  HWND clocks_ = nullptr;
};

TEST_F(AboutTest, OpensFromTheMenuShowsPurposeVersionAndPageAndClosesByOkOrEscape) {
  StartShell();
  StartProgram();
  HWND about = OpenAbout();
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(WindowText(about), "О программе...");
  const auto texts = ControlTexts(about);
  EXPECT_TRUE(HasText(texts, "Программа - отображает время в разных часовых \r\nпоясах.\r\n"
                             "Предназначена для Windows 2000/XP и выше."));
  EXPECT_TRUE(HasText(texts, "Предназначена для Windows 2000 и выше.\r\nHoravex.KT 1.0.1.2k.ru"))
      << "the version stands on its own line";
  EXPECT_TRUE(HasText(texts, product::kWebAddress));
  EXPECT_TRUE(HasText(texts, product::kSupportAddress));
  EXPECT_TRUE(HasText(texts, "Made in Russia/Ukraine" + std::string(23, ' ') + "The date of issue: 19.05.09"));
  // Wine runs here without its browser engine: the shipped page shows as
  // text, and nothing is reported.
  EXPECT_TRUE(ShowsPageAsText(about)) << "the About page's text is missing";
  EXPECT_FALSE(ErrorReported());
  Screenshot("about-dialog", about);

  // A link turns red under the mouse and blue again when the mouse moves on
  // to the dialog's background.
  constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);
  HWND web = ChildByText(about, product::kWebAddress);
  ASSERT_NE(web, nullptr);
  EXPECT_TRUE(ShowsColour(web, kBlue) && !ShowsColour(web, kRed));
  MouseTo(Centre(web));
  EXPECT_TRUE(WaitUntil([&] { return ShowsColour(web, kRed); })) << "the link under the mouse is not red";
  Screenshot("about-dialog-link", about);
  const RECT around = WindowRect(web);
  MouseTo({around.right + 10, around.top - 6});
  EXPECT_TRUE(WaitUntil([&] { return ShowsColour(web, kBlue) && !ShowsColour(web, kRed); }))
      << "the link stays red after the mouse left it";

  Click(Centre(ChildByText(about, "&Ok")));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); })) << "\"&Ok\" did not close the dialog";

  // The menu works again, and Escape closes the dialog too.
  about = OpenAbout();
  ASSERT_NE(about, nullptr);
  MouseTo(Centre(about));  // without a window manager the key goes to the window under the mouse
  Xdo(L"key Escape");
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); })) << "Escape did not close the dialog";
  EXPECT_FALSE(ErrorReported());
  // What the unsupported system must not see, the normal start does: the
  // icon in the notification area, the tray clock hidden, the registration.
  EXPECT_TRUE(HasText(ShellEvents(), "icon add 1 message 1026"));
  EXPECT_TRUE(HasText(ShellEvents(), "clock hidden"));
  EXPECT_TRUE(PatchRegistered(folder_ / "Horavex.KT.exe"));
}

TEST_F(AboutTest, BrowserEngineIsNeverLoadedFromTheProgramFolder) {
  // A library named like the browser's HTML engine beside the program. Wine
  // is told to load that engine only from a file, as Windows does, so that
  // a load by bare name would take this one; the system folder holds only
  // Wine's stand-in, which does not load.
  fs::copy_file(HelperFile("planted_library.dll"), folder_ / "mshtml.dll");
  StartProgramWithDllOverrides(L"mshtml=n;mscoree=");
  HWND about = OpenAbout();
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(ShowsPageAsText(about)) << "the About page's text is missing";
  EXPECT_FALSE(fs::exists(folder_ / "mshtml.dll.loaded")) << "the About dialog loaded mshtml.dll of the program folder";
  EXPECT_FALSE(ErrorReported());
}

TEST_F(AboutTest, WindowsNt4GetsTheNoticeAndNothingOfTheProgram) {
  ReportWindowsVersion(L"nt40");
  StartShell();
  // Settings that would hide the tray clock, and a panel file of an older
  // release that a normal start moves into Settings.
  WriteCp1251(folder_ / "Settings" / "HXSettings.ini", kSettingsFile);
  WriteCp1251(folder_ / "HXClocks.ini", "[Settings]\r\nPanelsCount=0\r\n");
  program_ = Process(folder_ / "Horavex.KT.exe");
  HWND notice = WaitForWindow(L"TFormNotSupportedOS", program_.id());
  ASSERT_NE(notice, nullptr) << "the notice did not appear";
  ASSERT_TRUE(WaitUntilOnScreen(notice));
  EXPECT_EQ(WindowText(notice), "Fatal error...");
  const auto texts = ControlTexts(notice);
  EXPECT_TRUE(HasText(texts, "Программа не совместима с вашей Windows!\r\nThe program is not combined with your OS!"));
  EXPECT_TRUE(HasText(texts, "Предназначена для Windows 2000 и выше.\r\nFor Windows 2000 and high."));
  EXPECT_TRUE(HasText(texts, "Horavex.KT 1.0.1.2k.ru"));
  EXPECT_TRUE(HasText(texts, product::kWebAddress));
  Screenshot("not-supported-os", notice);
  EXPECT_TRUE(TopWindows(L"TFormClocks", program_.id()).empty());

  Click(Centre(ChildByText(notice, "&Ok")));
  ASSERT_TRUE(program_.WaitForExit(kPatience)) << "\"&Ok\" did not end the program";
  EXPECT_EQ(program_.ExitCode(), 0u);
  // Its single-instance names are free again: the next start is not refused.
  HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"Horavex.KT");
  EXPECT_EQ(mutex, nullptr) << "the program's mutex outlived it";
  if (mutex) CloseHandle(mutex);

  // Nothing of the normal start happened: no panels window, no icon, the
  // tray clock left alone, no file moved or written, no registration.
  EXPECT_EQ(ShellEvents(), std::vector<std::string>{});
  EXPECT_TRUE(fs::exists(folder_ / "HXClocks.ini"));
  EXPECT_FALSE(fs::exists(folder_ / "Settings" / "HXClocks.ini"));
  EXPECT_EQ(ReadCp1251(folder_ / "Settings" / "HXSettings.ini"), kSettingsFile);
  EXPECT_FALSE(fs::exists(folder_ / "ErrorLog"));
  EXPECT_FALSE(PatchRegistered(folder_ / "Horavex.KT.exe"));

  // The uninstaller's close request ends the program while it shows the
  // notice, as it ends a running program.
  program_ = Process(folder_ / "Horavex.KT.exe");
  ASSERT_NE(WaitForWindow(L"TFormNotSupportedOS", program_.id()), nullptr);
  for (HWND main : TopWindows(L"TFormHoravex", program_.id())) PostMessageW(main, product::kMsgCloseRequest, 0, 0);
  EXPECT_TRUE(program_.WaitForExit(kPatience)) << "the close request did not end the program";
}

TEST_F(AboutTest, ErrorRecordsNameTheTrueVersionOfWindows10) {
  // Windows 8.1 and later call themselves 6.2 to a program that does not
  // declare them; Wine does the same.
  ReportWindowsVersion(L"win10");
  const fs::path settings = folder_ / "Settings" / "HXSettings.ini";
  // A value to repair in a file that another program keeps from being
  // replaced: the repair cannot be written.
  WriteCp1251(settings, "[includeOnWPanel]\r\nNumPanel=9\r\n");
  HeldFile held(settings, FILE_SHARE_READ);
  ASSERT_TRUE(held.held());
  program_ = Process(folder_ / "Horavex.KT.exe");
  HWND dialog = WaitForWindow(L"TFormError", program_.id());
  ASSERT_NE(dialog, nullptr) << "the unwritable settings file was not reported";
  const auto record = SplitLines(ReadCp1251(folder_ / "ErrorLog" / "Debug.Log"));
  ASSERT_GE(record.size(), 9u);
  EXPECT_EQ(record[3].rfind("WinVersion = 10.0.", 0), 0u) << record[3];
  PressButton(dialog, "&Закрыть программу");
  EXPECT_TRUE(program_.WaitForExit(kPatience));
}

}  // namespace
}  // namespace hx::e2e
