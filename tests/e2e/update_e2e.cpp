// The update check from end to end: the real clock program starts the real
// Updrift.exe, which asks a small web server of the test's own on the
// loopback address; the test judges the marker files, the new-version
// dialog and the settings dialog's status line.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <regex>
#include <set>
#include <thread>

#include "tests/e2e/harness.h"
#include "tests/e2e/version_server.h"
#include "win32/text.h"

namespace hx::e2e {
namespace {

// The program's defaults with the automatic check on, complete so that no
// repair notice interrupts a test.
const std::string kSettingsFile = SettingsFileText({.updateCheck = true, .left = 40, .top = 40});

const std::string kNewVersion =
    "1.0.2\n15.06.2024\nhttp://horavex.kt/news/1.0.2\nЧасы пояса Катманду показывают минуты верно\n"
    "Новое окно калькулятора\nИсправлена ошибка при выходе\n";
const std::string kSameVersion = "1.0.1\n01.03.2024\nhttp://horavex.kt/\nНичего нового\n";

const char kRequesting[] = " Проверка наличия обновлений: Запрос данных о новых версиях...";
const char kNoNews[] = " Проверка наличия обновлений: Новые версии отсутствуют...";
const char kNewVersionOut[] = " Проверка наличия обновлений: ВЫШЛА НОВАЯ ВЕРСИЯ ПРОГРАММЫ!!!";
const char kFailed[] = " Проверка наличия обновлений: не удалось связаться с сайтом программы...";

// Without a window manager the X server hands a key to the window under the
// mouse, so the mouse goes into the window first (near its bottom left
// corner, away from any hint).
void Key(HWND window, const std::wstring& keys) {
  const RECT r = WindowRect(window);
  MouseTo({r.left + 8, r.bottom - 4});
  Xdo(L"key " + keys);
}

HWND ChildOfClass(HWND window, const std::string& className, int index = 0) {
  for (HWND child : Children(window))
    if (ClassOf(child) == className && index-- == 0) return child;
  return nullptr;
}

// Today as LastCheck.ini writes it: "dd.mm.yy" with any separator.
bool WrittenToday(const std::string& text) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  std::smatch m;
  static const std::regex date{R"(^(\d\d)\D(\d\d)\D(\d\d)\r\n\d\d\D\d\d\D\d\d\r\n$)"};
  return std::regex_match(text, m, date) && std::stoi(m[1]) == now.wDay && std::stoi(m[2]) == now.wMonth &&
         std::stoi(m[3]) == now.wYear % 100;
}

class UpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    folder_ = FreshProgramFolder("update-" + name);
    WriteCp1251(folder_ / "Settings" / "HXSettings.ini", kSettingsFile);
    PointUpdriftAt(server_.Address());
  }
  void TearDown() override {
    program_.Kill();
    // Updrift.exe ends by itself within its time limit; the next test's
    // server must not get this one's request.
    EXPECT_TRUE(WaitUntil([&] { return !Exists("LastCheck.ini") || Exists("CheckReady"); }, 40s))
        << "Updrift.exe did not finish";
  }

  // Updrift.exe inherits the clock program's environment.
  static void PointUpdriftAt(const std::wstring& address) {
    SetEnvironmentVariableW(L"HX_UPDATE_SOURCE", address.c_str());
  }

  fs::path Resource(const std::string& name) const { return folder_ / "Resource" / name; }
  bool Exists(const std::string& name) const { return fs::is_regular_file(Resource(name)); }

  // The marker files present in Resource.
  std::set<std::string> Markers() const {
    std::set<std::string> present;
    for (const char* name : {"LastCheck.ini", "CheckReady", "CheckNVTrue.txt", "CheckNVFalse", "CheckTrue"})
      if (Exists(name)) present.insert(name);
    return present;
  }

  // A finished check whose result the clock has read: CheckReady is there
  // and CheckNVFalse or CheckFailed consumed.
  bool ResultTaken() const { return Exists("CheckReady") && !Exists("CheckNVFalse") && !Exists("CheckFailed"); }

  void StartProgram() {
    program_ = Process(folder_ / "Horavex.KT.exe");
    clocks_ = WaitForWindow(L"TFormClocks", program_.id());
    ASSERT_NE(clocks_, nullptr) << "the panels window did not appear";
  }

  // Waits for the clock's start sequence to have run: the panels show the
  // time.
  void WaitForTheTime() {
    static const std::regex time{R"((AM |PM )?\d\d : \d\d( : \d\d)?)"};
    EXPECT_TRUE(WaitUntil([&] {
      for (HWND child : Children(clocks_))
        if (IsWindowVisible(child) && std::regex_match(WindowText(child), time)) return true;
      return false;
    })) << "the clock shows no time";
  }

  HWND WaitForNotice() {
    HWND notice = WaitForWindow(L"TFormNewVerExists", program_.id());
    EXPECT_NE(notice, nullptr) << "no new-version dialog";
    if (notice) {
      EXPECT_TRUE(WaitUntilOnScreen(notice));
    }
    return notice;
  }

  // "Настройки программы..." from the panels window's menu.
  void OpenSettings() {
    WaitForTheTime();
    ASSERT_TRUE(WaitUntilOnScreen(clocks_));
    settings_ = OpenFromPanelsMenu(clocks_, program_.id(), "Настройки программы...", L"TFormSettings");
    ASSERT_NE(settings_, nullptr);
  }
  std::string Status() const { return ControlText(ChildOfClass(settings_, "msctls_statusbar32")); }
  HWND CheckNow() const { return ChildByText(settings_, "Проверить сейчас"); }

  // Waits for the status line to read `text`; says what it read otherwise.
  void ExpectStatus(const std::string& text) {
    std::string shown;
    EXPECT_TRUE(WaitUntil([&] { return (shown = Status()) == text; })) << "status: " << shown;
  }

  VersionServer server_;
  fs::path folder_;
  Process program_;
  HWND clocks_ = nullptr;
  HWND settings_ = nullptr;
};

TEST_F(UpdateTest, FirstStartFindsANewVersionAndOkAcknowledgesItForGood) {
  server_.Answer(kNewVersion);
  StartProgram();
  HWND notice = WaitForNotice();
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(server_.Requests(), 1);
  EXPECT_NE(server_.LastRequest().find("GET /update/horavex-kt.txt HTTP/1."), std::string::npos)
      << server_.LastRequest();
  EXPECT_TRUE(WrittenToday(ReadCp1251(Resource("LastCheck.ini")))) << ReadCp1251(Resource("LastCheck.ini"));
  EXPECT_EQ(ReadCp1251(Resource("CheckNVTrue.txt")),
            "1.0.2\r\n15.06.2024\r\nhttp://horavex.kt/news/1.0.2\r\nЧасы пояса Катманду показывают минуты верно\r\n"
            "Новое окно калькулятора\r\nИсправлена ошибка при выходе\r\n");
  EXPECT_TRUE(Exists("CheckReady"));

  EXPECT_EQ(WindowText(notice), "Horavex.KT");
  EXPECT_EQ(ClientSize(notice).cx, 448);
  EXPECT_EQ(ClientSize(notice).cy, 310);
  EXPECT_TRUE(GetWindowLongPtrW(notice, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_NE(ChildByText(notice, "Вышла новая версия программы Horavex.KT"), nullptr);
  EXPECT_EQ(ControlText(ChildOfClass(notice, "Edit", 0)), "1.0.2");
  EXPECT_EQ(ControlText(ChildOfClass(notice, "Edit", 1)), "15.06.2024");
  EXPECT_EQ(ControlText(ChildOfClass(notice, "Edit", 2)),
            "Часы пояса Катманду показывают минуты верно\r\nНовое окно калькулятора\r\nИсправлена ошибка при выходе");
  HWND link = ChildByText(notice, "http://horavex.kt/news/1.0.2");
  ASSERT_NE(link, nullptr) << "the link shows the page's address";
  // The mouse over the link: it turns red (looked at in the picture).
  const RECT r = WindowRect(link);
  MouseTo({r.left + 30, (r.top + r.bottom) / 2});
  Screenshot("new-version-dialog", notice);

  Click(Centre(ChildByText(notice, "Ok")));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(notice); })) << "Ok closes the dialog";
  EXPECT_TRUE(Exists("CheckTrue"));

  // The next start: no dialog, no check, and the status says a new
  // version is out.
  program_.Kill();
  StartProgram();
  OpenSettings();
  ExpectStatus(kNewVersionOut);
  EXPECT_TRUE(IsWindowEnabled(CheckNow()));
  Screenshot("settings-new-version-status", settings_);
  EXPECT_TRUE(TopWindows(L"TFormNewVerExists", program_.id()).empty());
  EXPECT_EQ(server_.Requests(), 1);
}

// No newer version is no news; whatever goes wrong on the way is a failed
// check, and without LastCheck.ini, so that the next start checks again.
// Only CheckReady (and LastCheck.ini) stays, no file larger than the clock
// reads, and the clock answers all along. A site that keeps the answer
// coming is cut off by the whole check's time limit: while it still sends,
// yet not before it has sent for a good while.
TEST_F(UpdateTest, NoNewerVersionIsNoNewsAndAFailingSiteAFailedCheck) {
  const struct {
    const char* what;
    std::function<void(VersionServer&)> setUp;
    bool closedPort;
    const char* status;
    int requests;
    bool cutOff = false;
  } cases[] = {
      {"the same version", [](VersionServer& s) { s.Answer(kSameVersion); }, false, kNoNews, 1},
      {"a redirect on this computer",
       [](VersionServer& s) {
         s.RedirectOnce(s.Address("127.0.0.1", "/moved.txt"));
         s.Answer(kSameVersion);
       },
       false, kNoNews, 2},
      {"garbage", [](VersionServer& s) { s.Answer("<html><body>Welcome to the hotel network</body></html>"); }, false,
       kFailed, 1},
      {"not found", [](VersionServer& s) { s.Answer(kNewVersion, "404 Not Found"); }, false, kFailed, 1},
      {"closed port", [](VersionServer&) {}, true, kFailed, 0},
      {"no answer", [](VersionServer& s) { s.Hold(); }, false, kFailed, 1},
      {"an answer one byte a second",
       [](VersionServer& s) {
         s.Answer(kNewVersion);
         s.Trickle();
       },
       false, kFailed, 1, true},
      // News, were it not for the megabyte of blank lines after it.
      {"a 1 MB answer", [](VersionServer& s) { s.Answer(kNewVersion + std::string(1 << 20, '\n')); }, false, kFailed,
       1},
      // 0.0.0.0 is no loopback address, yet it reaches this server: a
      // followed redirect would find the new version.
      {"a redirect to plain http elsewhere",
       [](VersionServer& s) {
         s.RedirectOnce(s.Address("0.0.0.0"));
         s.Answer(kNewVersion);
       },
       false, kFailed, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    VersionServer server;
    c.setUp(server);
    PointUpdriftAt(c.closedPort ? VersionServer::ClosedAddress() : server.Address());
    folder_ = FreshProgramFolder(std::string("update-failing-") + c.what);
    WriteCp1251(folder_ / "Settings" / "HXSettings.ini", kSettingsFile);
    StartProgram();
    ASSERT_TRUE(WaitUntil([&] { return Exists("LastCheck.ini"); })) << "Updrift.exe was not started";
    int answered = 0, silent = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
          if (Exists("CheckReady")) return true;
          if (SendMessageTimeoutW(clocks_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr)) ++answered;
          else ++silent;
          return false;
        },
        60s))
        << "Updrift.exe never finished";
    EXPECT_EQ(silent, 0) << "the clock hung while the check ran";
    if (c.cutOff) {
      EXPECT_GT(answered, 0) << "the clock did not answer while the check ran";
      EXPECT_FALSE(server.SentInFull()) << "the check waited for the whole answer";
      EXPECT_GE(server.Sent(), 15u) << "the check gave up before its time limit";
    }
    EXPECT_TRUE(WaitUntil([&] { return ResultTaken(); }));
    for (const auto& file : fs::directory_iterator(folder_ / "Resource")) {
      if (file.is_regular_file() && file.path().extension() != ".exe") {
        EXPECT_LE(file.file_size(), 64u * 1024) << file.path();
      }
    }
    const bool failed = std::string(c.status) == kFailed;
    EXPECT_EQ(Markers(), (failed ? std::set<std::string>{"CheckReady"}
                                 : std::set<std::string>{"LastCheck.ini", "CheckReady"}));
    EXPECT_EQ(server.Requests(), c.requests);
    OpenSettings();
    ExpectStatus(c.status);
    EXPECT_TRUE(IsWindowEnabled(CheckNow()));
    EXPECT_TRUE(TopWindows(L"TFormNewVerExists", program_.id()).empty());
    if (c.closedPort) {
      Screenshot("settings-check-failed", settings_);
      program_.Kill();
      fs::remove(Resource("CheckReady"));  // comes back only with a new check
      StartProgram();
      EXPECT_TRUE(WaitUntil([&] { return ResultTaken(); }, 40s)) << "the next start does not check again";
    }
    program_.Kill();
  }
}

TEST_F(UpdateTest, SameDayRestartDoesNotCheckButCheckNowDoesWithTheStatusFollowing) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char lastCheck[64];
  snprintf(lastCheck, sizeof lastCheck, "%02d.%02d.%02d\r\n00:00:01\r\n", now.wDay, now.wMonth, now.wYear % 100);
  WriteCp1251(Resource("LastCheck.ini"), lastCheck);
  server_.Answer(kSameVersion);
  StartProgram();
  WaitForTheTime();
  OpenSettings();  // the start sequence has run before the menu could open
  EXPECT_EQ(ReadCp1251(Resource("LastCheck.ini")), lastCheck) << "a check ran the same day";
  EXPECT_EQ(Markers(), std::set<std::string>{"LastCheck.ini"});
  ExpectStatus(kNoNews);
  HWND checkNow = CheckNow();
  ASSERT_NE(checkNow, nullptr);
  ASSERT_TRUE(IsWindowEnabled(checkNow));

  server_.Hold();
  Click(Centre(checkNow));
  EXPECT_TRUE(WaitUntil([&] { return server_.Requests() == 1; })) << "Проверить сейчас did not start Updrift.exe";
  ExpectStatus(kRequesting);
  EXPECT_FALSE(IsWindowEnabled(checkNow)) << "the button waits for the check";
  EXPECT_TRUE(WrittenToday(ReadCp1251(Resource("LastCheck.ini"))));
  EXPECT_NE(ReadCp1251(Resource("LastCheck.ini")), lastCheck) << "LastCheck.ini records the new start";
  Screenshot("settings-check-running", settings_);

  server_.Release();
  ExpectStatus(kNoNews);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(checkNow) != FALSE; })) << "the button comes back";
  EXPECT_TRUE(WaitUntil([&] { return ResultTaken(); }));
  Screenshot("settings-check-done", settings_);

  // Once more from the same dialog: the button works again.
  Click(Centre(checkNow));
  EXPECT_TRUE(WaitUntil([&] { return server_.Requests() == 2 && IsWindowEnabled(checkNow); }));
  ExpectStatus(kNoNews);
}

// A CheckReady left over would end the wait at once, a CheckTrue would
// hide the new notice, a CheckNVFalse would swallow it.
TEST_F(UpdateTest, MarkersOfAnEarlierCheckDoNotDecideTheNextOne) {
  for (const char* name : {"CheckReady", "CheckTrue", "CheckNVFalse"}) WriteCp1251(Resource(name), "");
  server_.Hold();
  server_.Answer(kNewVersion);
  StartProgram();
  ASSERT_TRUE(WaitUntil([&] { return server_.Requests() == 1; })) << "Updrift.exe did not ask";
  EXPECT_TRUE(WaitUntil([&] { return Markers() == std::set<std::string>{"LastCheck.ini"}; }))
      << "the old markers are gone";
  OpenSettings();
  ExpectStatus(kRequesting);
  EXPECT_FALSE(IsWindowEnabled(CheckNow()));
  EXPECT_TRUE(TopWindows(L"TFormNewVerExists", program_.id()).empty());

  server_.Release();
  HWND notice = WaitForNotice();
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(ControlText(ChildOfClass(notice, "Edit", 0)), "1.0.2");
  // The settings dialog under the notice still follows the check.
  ExpectStatus(kNewVersionOut);
  Click(Centre(ChildByText(notice, "Напомнить при следующем запуске")));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(notice); }));
  EXPECT_FALSE(Exists("CheckTrue"));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(CheckNow()) != FALSE; }));
  Screenshot("settings-after-notice", settings_);

  // "Проверить сейчас" with the notice pending shows it again instead of
  // asking the site.
  Click(Centre(CheckNow()));
  notice = WaitForNotice();
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(server_.Requests(), 1);
  Key(notice, L"Escape");
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(notice); })) << "Escape closes the notice";
  EXPECT_FALSE(Exists("CheckTrue"));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(CheckNow()) != FALSE; })) << "the button comes back again";
}

// A notice left from an earlier run is shown at the start, over a clock
// that already ticks, until the user acknowledges it.
// A link that is no web address, or one whose host is not the one it shows
// first, opens the program's own page.
TEST_F(UpdateTest, PendingNoticeIsShownAtEveryStartUntilAcknowledged) {
  for (const bool acknowledge : {false, true}) {
    SCOPED_TRACE(acknowledge ? "Enter" : "close button");
    std::string file = "1.2.0\r\n01.09.2024\r\n";
    file += acknowledge ? "https://horavex.kt@evil.example/\r\n" : "C:\\Windows\\notepad.exe\r\n";
    for (int i = 1; i <= 7; ++i) file += "Изменение " + std::to_string(i) + "\r\n";
    WriteCp1251(Resource("CheckNVTrue.txt"), file);
    StartProgram();
    HWND notice = WaitForNotice();
    ASSERT_NE(notice, nullptr);
    WaitForTheTime();
    EXPECT_TRUE(IsWindowVisible(clocks_)) << "the clock shows behind the notice";
    EXPECT_EQ(ControlText(ChildOfClass(notice, "Edit", 0)), "1.2.0");
    EXPECT_EQ(ControlText(ChildOfClass(notice, "Edit", 1)), "01.09.2024");
    std::string changes;
    for (int i = 1; i <= 7; ++i) changes += (i > 1 ? "\r\n" : "") + std::string("Изменение ") + std::to_string(i);
    EXPECT_EQ(ControlText(ChildOfClass(notice, "Edit", 2)), changes);
    EXPECT_NE(ChildByText(notice, "https://horavex.kt/"), nullptr) << "the link opens the program's page";
    if (acknowledge) {
      Key(notice, L"Return");
    } else {
      // The title bar's close button: the window itself says where it is.
      const RECT frame = WindowRect(notice);
      POINT client{0, 0};
      ClientToScreen(notice, &client);
      const int y = (frame.top + client.y) / 2;
      int x = frame.right - 1;
      while (x > client.x && SendMessageW(notice, WM_NCHITTEST, 0, MAKELPARAM(x, y)) != HTCLOSE) --x;
      ASSERT_GT(x, client.x) << "no close button";
      Click({x - 3, y});
    }
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(notice); }));
    EXPECT_EQ(Exists("CheckTrue"), acknowledge);
    EXPECT_EQ(server_.Requests(), 0) << "no check while a notice is pending";
    EXPECT_FALSE(Exists("LastCheck.ini"));
    program_.Kill();
  }
}

// CheckNVTrue.txt of this release (left when it was copied over an older
// one) or too large to be the checker's is no news: it goes, without a
// dialog or an error, and a new check runs.
TEST_F(UpdateTest, ANoticeOfThisReleaseOrTooLargeGivesWayToANewCheck) {
  server_.Answer(kSameVersion);
  for (const bool huge : {false, true}) {
    SCOPED_TRACE(huge ? "100 MB" : "this release");
    if (huge) {
      folder_ = FreshProgramFolder("update-huge-notice");
      WriteCp1251(folder_ / "Settings" / "HXSettings.ini", kSettingsFile);
      WriteCp1251(Resource("CheckNVTrue.txt"), "1.0.2\r\n01.09.2024\r\nhttps://horavex.kt/\r\n");
      ASSERT_EQ(RunUnix(L"/usr/bin/truncate -s 100M '" + UnixPath(Resource("CheckNVTrue.txt")) + L"'"), 0);
    } else {
      WriteCp1251(Resource("CheckNVTrue.txt"), "1.0.1\r\n01.03.2024\r\nhttps://horavex.kt/\r\nСтарое\r\n");
    }
    const int asked = server_.Requests();
    StartProgram();
    EXPECT_TRUE(WaitUntil([&] { return server_.Requests() == asked + 1 && ResultTaken(); }, 40s)) << "no new check";
    EXPECT_EQ(Markers(), (std::set<std::string>{"LastCheck.ini", "CheckReady"}));
    OpenSettings();
    ExpectStatus(kNoNews);
    EXPECT_TRUE(TopWindows(L"TFormNewVerExists", program_.id()).empty());
    EXPECT_TRUE(TopWindows(L"TFormError", program_.id()).empty()) << "no error dialog";
    program_.Kill();
    fs::remove(Resource("CheckNVTrue.txt"));
  }
}

TEST_F(UpdateTest, MissingUpdriftIsAFailedCheckAndLeavesTheButtonUsable) {
  fs::remove(Resource("Updrift.exe"));
  StartProgram();
  WaitForTheTime();
  OpenSettings();
  ExpectStatus(kFailed);
  HWND checkNow = CheckNow();
  ASSERT_NE(checkNow, nullptr);
  EXPECT_TRUE(IsWindowEnabled(checkNow)) << "a failed start leaves no check running";
  EXPECT_FALSE(Exists("LastCheck.ini")) << "the next start tries again";

  // The button removes CheckTrue first: its going shows that the press was
  // handled.
  WriteCp1251(Resource("CheckTrue"), "");
  Click(Centre(checkNow));
  EXPECT_TRUE(WaitUntil([&] { return !Exists("CheckTrue"); })) << "the press was not handled";
  EXPECT_TRUE(IsWindowEnabled(checkNow)) << "the button comes back";
  ExpectStatus(kFailed);
  EXPECT_FALSE(Exists("LastCheck.ini"));
  EXPECT_TRUE(TopWindows(L"TFormError", program_.id()).empty()) << "no error dialog";
  EXPECT_EQ(server_.Requests(), 0);
}

}  // namespace
}  // namespace hx::e2e
