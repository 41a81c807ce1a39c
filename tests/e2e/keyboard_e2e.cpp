// The dialogs that come without the menu, worked with keys only: the error
// dialog, the new-version notice and the unsupported-system notice. Each
// passes the keyboard walk and is answered with Enter, Escape or Tab and
// Space.
#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

namespace hx::e2e {
namespace {

class KeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = FreshProgramFolder(std::string("keys-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    ForgetWindowsVersion();
  }
  void TearDown() override {
    program_.Kill();
    ForgetWindowsVersion();
  }

  // Starts the program and waits for its window of `windowClass` on the
  // screen.
  HWND StartFor(const wchar_t* windowClass) {
    program_ = Process(folder_ / "Horavex.KT.exe");
    return Next(windowClass);
  }
  HWND Next(const wchar_t* windowClass) {
    HWND window = WaitForWindow(windowClass, program_.id());
    EXPECT_NE(window, nullptr) << "no window " << ClassOf(window);
    if (window) {
      EXPECT_TRUE(WaitUntilOnScreen(window));
    }
    return window;
  }
  // Tab until the control with this text has the focus.
  bool TabTo(HWND dialog, const std::string& text) {
    for (int i = 0; i < 20; ++i) {
      const HWND f = FocusOf(dialog);
      if (ControlText(f) == text) return true;
      KeyTo(dialog, L"Tab");
      WaitUntil([&] { return FocusOf(dialog) != f; });
    }
    return false;
  }
  bool Closed(HWND window) {
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); });
  }

  fs::path folder_;
  Process program_;
};

// A settings file that cannot be written: each repair fails and shows the
// error dialog. Escape ignores the failure; Tab and Enter on "Закрыть
// программу" end the program.
TEST_F(KeyboardTest, ErrorDialog) {
  const fs::path settings = folder_ / "Settings" / "HXSettings.ini";
  WriteCp1251(settings, "[Settings]\r\nAlphaSet=200\r\n[includeOnWPanel]\r\nNumPanel=9\r\n");
  HeldFile held(settings, FILE_SHARE_READ);
  ASSERT_TRUE(held.held());
  HWND dialog = StartFor(L"TFormError");
  ASSERT_NE(dialog, nullptr);
  ExpectKeyboardWalk(dialog);
  KeyTo(dialog, L"Escape");
  ASSERT_TRUE(Closed(dialog)) << "Escape does not close the error dialog";
  dialog = Next(L"TFormError");
  ASSERT_NE(dialog, nullptr) << "the program did not go on after Escape";
  EXPECT_TRUE(program_.Running());
  ASSERT_TRUE(TabTo(dialog, "&Закрыть программу"));
  KeyTo(dialog, L"Return");
  EXPECT_TRUE(program_.WaitForExit(kPatience)) << "Enter on \"Закрыть программу\" did not end the program";
}

// A pending notice: Escape closes it unacknowledged, so it comes again;
// Enter acknowledges it.
TEST_F(KeyboardTest, NewVersionNotice) {
  WriteCp1251(folder_ / "Settings" / "HXSettings.ini", SettingsFileText({.updateCheck = true}));
  const fs::path acknowledged = folder_ / "Resource" / "CheckTrue";
  WriteCp1251(folder_ / "Resource" / "CheckNVTrue.txt", "1.2.0\r\n01.09.2024\r\nhttps://horavex.kt/\r\nНовое\r\n");
  HWND notice = StartFor(L"TFormNewVerExists");
  ASSERT_NE(notice, nullptr);
  ExpectKeyboardWalk(notice);
  KeyTo(notice, L"Escape");
  EXPECT_TRUE(Closed(notice)) << "Escape does not close the notice";
  EXPECT_FALSE(fs::exists(acknowledged)) << "Escape acknowledged the notice";
  program_.Kill();

  notice = StartFor(L"TFormNewVerExists");
  ASSERT_NE(notice, nullptr) << "the notice did not come again";
  KeyTo(notice, L"Return");
  EXPECT_TRUE(Closed(notice)) << "Enter does not close the notice";
  EXPECT_TRUE(WaitUntil([&] { return fs::exists(acknowledged); })) << "Enter did not acknowledge the notice";
}

// Windows NT 4: the notice's one button takes Enter and ends the program.
TEST_F(KeyboardTest, NotSupportedNotice) {
  ReportWindowsVersion(L"nt40");
  HWND notice = StartFor(L"TFormNotSupportedOS");
  ASSERT_NE(notice, nullptr);
  ExpectKeyboardWalk(notice);
  KeyTo(notice, L"Return");
  EXPECT_TRUE(program_.WaitForExit(kPatience)) << "Enter did not end the program";
}

}  // namespace
}  // namespace hx::e2e
