#include "tests/e2e/harness.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <set>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include "base/cp1251.h"
#include "base/textfile.h"
#include "tests/helpers/fake_shell_client.h"
#include "win32/text.h"

namespace hx::e2e {
namespace {

// The programs under test never reach the internet: unless a test names
// another, the update checker asks a loopback port where nothing listens.
[[maybe_unused]] const bool kUpdateSourceSet = SetEnvironmentVariableW(L"HX_UPDATE_SOURCE", L"http://127.0.0.1:9/") != FALSE;

fs::path TestProgramFile() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

// build/<arch>: the test program lives in build/<arch>/tests/e2e.
fs::path BuildFolder() { return TestProgramFile().parent_path().parent_path().parent_path(); }

struct Search {
  std::wstring className;
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (!search->className.empty() && win::Widen(ClassOf(window)) != search->className) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->processId) return TRUE;
  search->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

std::string WithoutAmpersands(std::string text) {
  std::erase(text, '&');
  return text;
}

// A folder of this run's own: files that carry answers from helper programs
// are never shared with another run of the tests.
fs::path RunFolder() {
  static const fs::path folder = [] {
    fs::path f = BuildFolder() / "e2e-run" / std::to_string(GetCurrentProcessId());
    fs::remove_all(f);
    fs::create_directories(f);
    return f;
  }();
  return folder;
}

}  // namespace

fs::path BuiltProgramFolder() { return BuildFolder() / "Horavex.KT"; }

fs::path FreshProgramFolder(const std::string& name) {
  const fs::path root = BuildFolder() / "e2e-work" / name;
  fs::remove_all(root);
  const fs::path folder = root / "Horavex.KT";
  fs::create_directories(folder);
  const fs::path from = BuiltProgramFolder();
  for (const auto& entry : fs::recursive_directory_iterator(from)) {
    const fs::path to = folder / fs::relative(entry.path(), from);
    if (entry.is_directory()) fs::create_directories(to);
    else fs::copy_file(entry.path(), to, fs::copy_options::overwrite_existing);
  }
  return folder;
}

void WriteCp1251(const fs::path& file, const std::string& utf8) {
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  const std::string bytes = Utf8ToCp1251(utf8);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadCp1251(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return Cp1251ToUtf8(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

std::string SettingsFileText(const SettingsOptions& o) {
  auto flag = [](bool on) { return on ? "1" : "0"; };
  return std::string("[Main]\r\nFile=<Horavex Settings File>\r\nVersion=01.00\r\n"
                     "ProgramVersion=Horavex.KT 1.0.1.2k.ru\r\nDate=01.01.2024\r\n") +
         "[Settings]\r\nAlphaSet=255\r\nAlphaUsed=1\r\nStayOnTop=" + flag(o.stayOnTop) +
         "\r\nAutoLaunch=0\r\nBlockedMove=" + flag(o.blockedMove) + "\r\nHideTrayClock=" + flag(o.hideTrayClock) +
         "\r\nBorderScreen=" + flag(o.borderScreen) +
         "\r\nBorderA=1\r\nBorderC=1\r\nBorderT=1\r\nVertical=0\r\nPmAmFormat=0\r\nFormatDate=0\r\n"
         "[includeOnWPanel]\r\nEnabled=" + flag(o.embedded) + "\r\nNumPanel=" + std::to_string(o.numPanel) +
         "\r\nRetainOnWPanel=" + flag(o.retainOnWPanel) +
         "\r\n[Auto_Check_New_Version]\r\nIntervalAUCheck=2\r\nAUCheckEnabled=" + flag(o.updateCheck) +
         "\r\n[Position]\r\nLeft=" + std::to_string(o.left) + "\r\nTop=" + std::to_string(o.top) + "\r\n";
}

std::string PanelRecord(int k, const std::string& name, const char* sign, int hours, int minutes, int flag,
                        bool visible) {
  return "[ClockPanel_" + std::to_string(k) + "]\r\nName=" + name + "\r\nVisible=" + (visible ? "1" : "0") +
         "\r\nBGColor1=15780518\r\nBGColor2=16777215\r\nColor1=0\r\nColor2=8388608\r\nTimeValue=" + sign +
         "\r\nTimeValue1=" + std::to_string(hours) + "\r\nTimeValue2=" + std::to_string(minutes) +
         "\r\nSysFlag=" + std::to_string(flag) + "\r\n";
}

std::string ThreePanelFile(bool zoneVisible) {
  return "[Settings]\r\nPanelsCount=3\r\n" + PanelRecord(0, "Системное", "0", 0, 0, 1) +
         PanelRecord(1, "Катманду", "+", 5, 45, 0, zoneVisible) + PanelRecord(2, "Дата", "0", 0, 0, 2);
}

std::string ClocksFileWithZones(int zones) {
  std::string text = "[Settings]\r\nPanelsCount=" + std::to_string(zones + 2) + "\r\n" +
                     PanelRecord(0, "Системное", "0", 0, 0, 1);
  for (int k = 1; k <= zones; ++k) text += PanelRecord(k, "Zone " + std::to_string(k), "+", 5, 45, 0);
  return text + PanelRecord(zones + 1, "Дата", "0", 0, 0, 2);
}

std::vector<std::string> Lines(const fs::path& file) {
  auto text = ReadTextFile(file);
  return text ? SplitLines(*text) : std::vector<std::string>{};
}

HeldFile::HeldFile(const fs::path& file, DWORD share)
    : handle(CreateFileW(file.wstring().c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}

void HeldFile::Release() {
  if (held()) CloseHandle(handle);
  handle = INVALID_HANDLE_VALUE;
}

namespace {

// The first process in a snapshot of all that `matches` accepts, or 0.
DWORD FindProcess(const std::function<bool(const PROCESSENTRY32W&)>& matches) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  DWORD found = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
    if (matches(entry)) found = entry.th32ProcessID;
  CloseHandle(snapshot);
  return found;
}

// The processes that now run the program file `exe`.
std::vector<DWORD> ProcessesOf(const fs::path& exe) {
  // A call of Vista and later, which the Windows headers of this build hide.
  using QueryImageName = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
  static const auto query = reinterpret_cast<QueryImageName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryFullProcessImageNameW")));
  std::vector<DWORD> found;
  FindProcess([&](const PROCESSENTRY32W& e) {
    if (lstrcmpiW(e.szExeFile, exe.filename().wstring().c_str()) != 0) return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, e.th32ProcessID);
    if (!process) return false;
    wchar_t path[MAX_PATH];
    DWORD size = MAX_PATH;
    if (query && query(process, 0, path, &size) && lstrcmpiW(path, exe.wstring().c_str()) == 0)
      found.push_back(e.th32ProcessID);
    CloseHandle(process);
    return false;  // on through all of them
  });
  return found;
}

}  // namespace

Process::Process(const fs::path& exe, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  const std::wstring folder = exe.parent_path().wstring();
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &info_)) {
    info_ = {};
    ADD_FAILURE() << "cannot start " << exe.string() << ": error " << GetLastError();
  }
}

Process Process::WithUnixEnvironment(const fs::path& exe, const std::wstring& assignments) {
  const std::vector<DWORD> before = ProcessesOf(exe);
  wchar_t loader[MAX_PATH] = L"/usr/lib/wine/wine64";
  GetEnvironmentVariableW(L"WINELOADER", loader, MAX_PATH);
  Process started;
  if (RunUnix(L"cd '" + UnixPath(exe.parent_path()) + L"' && " + assignments + L" '" + loader + L"' '" +
              UnixPath(exe) + L"' &") != 0) {
    ADD_FAILURE() << "cannot start " << exe.string() << " from a Unix shell";
    return started;
  }
  DWORD id = 0;
  WaitUntil([&] {
    for (DWORD candidate : ProcessesOf(exe))
      if (std::find(before.begin(), before.end(), candidate) == before.end()) id = candidate;
    return id != 0;
  });
  started.info_.hProcess = id ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id)
                              : nullptr;
  if (!started.info_.hProcess) ADD_FAILURE() << "cannot start " << exe.string() << " from a Unix shell";
  else started.info_.dwProcessId = id;
  return started;
}

Process::~Process() {
  Kill();
  if (info_.hProcess) CloseHandle(info_.hProcess);
  if (info_.hThread) CloseHandle(info_.hThread);
}

Process::Process(Process&& other) noexcept : info_(other.info_) { other.info_ = {}; }

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    this->~Process();
    info_ = other.info_;
    other.info_ = {};
  }
  return *this;
}

bool Process::Running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Process::WaitForExit(std::chrono::milliseconds timeout) {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (info_.hProcess) GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

void Process::Kill() {
  if (Running()) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
}

namespace {
// Sets (value > 0) or removes this user's LogPixels; true when done.
bool SetLogPixels(int value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const DWORD dword = static_cast<DWORD>(value);
  const LONG done = value > 0 ? RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dword),
                                               sizeof dword)
                              : RegDeleteValueW(key, L"LogPixels");
  RegCloseKey(key);
  return done == ERROR_SUCCESS;
}
}  // namespace

ScopedDisplayDpi::ScopedDisplayDpi(int dpi) { EXPECT_TRUE(SetLogPixels(dpi)) << "LogPixels " << dpi; }

ScopedDisplayDpi::~ScopedDisplayDpi() { SetLogPixels(0); }

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (true) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(20ms);
  }
}

std::vector<HWND> TopWindows(const std::wstring& className, DWORD processId) {
  if (!processId) {
    ADD_FAILURE() << "a window lookup without a process";
    return {};
  }
  Search search{className, processId, {}};
  EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForWindow(const std::wstring& className, DWORD processId, std::chrono::milliseconds timeout) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND w : TopWindows(className, processId))
          if (IsWindowVisible(w)) {
            found = w;
            return true;
          }
        return false;
      },
      timeout);
  return found;
}

DWORD WaitForChildProcess(DWORD parentId, std::chrono::milliseconds timeout) {
  DWORD child = 0;
  WaitUntil([&] { return (child = FindProcess([&](const PROCESSENTRY32W& e) {
                            return parentId && e.th32ParentProcessID == parentId;
                          })) != 0; },
            timeout);
  return child;
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(length + 1, L'\0');
  const int n = GetWindowTextW(window, text.data(), length + 1);
  text.resize(n);
  return win::Narrow(text);
}

std::string ClassOf(HWND window) {
  wchar_t name[256];
  const int n = GetClassNameW(window, name, 256);
  return win::Narrow(std::wstring_view(name, n));
}

RECT WindowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

SIZE ClientSize(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

std::vector<HWND> Children(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

HWND ChildByText(HWND window, const std::string& text) {
  for (HWND child : Children(window))
    if (WithoutAmpersands(WindowText(child)) == WithoutAmpersands(text)) return child;
  return nullptr;
}

MessageBoxInfo WaitForMessageBox(DWORD processId, std::chrono::milliseconds timeout) {
  MessageBoxInfo info;
  WaitUntil(
      [&] {
        for (HWND w : TopWindows(L"#32770", processId))
          if (IsWindowVisible(w) && IsWindowEnabled(w)) info.window = w;
        return info.window != nullptr;
      },
      timeout);
  if (!info.window) return info;
  info.caption = WindowText(info.window);
  // The message text is the static control with id 0xFFFF.
  if (HWND text = GetDlgItem(info.window, 0xFFFF)) info.text = WindowText(text);
  return info;
}

bool PressButton(HWND dialog, const std::string& text) {
  HWND button = dialog ? ChildByText(dialog, text) : nullptr;
  if (!button) {
    ADD_FAILURE() << "no button \"" << text << "\" in " << (dialog ? "\"" + WindowText(dialog) + "\"" : "no dialog");
    return false;
  }
  PostMessageW(button, BM_CLICK, 0, 0);
  return true;
}

std::string ControlText(HWND control) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, 10000,
                      &copied);
  text.resize(std::min<size_t>(copied, length));
  return win::Narrow(text);
}

std::vector<std::string> ControlTexts(HWND window) {
  std::vector<std::string> texts;
  for (HWND child : Children(window)) texts.push_back(ControlText(child));
  return texts;
}

POINT Centre(HWND window) {
  const RECT r = WindowRect(window);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void Xdo(const std::wstring& arguments) {
  const int status = RunUnix(L"/usr/bin/xdotool " + arguments);
  EXPECT_EQ(status, 0) << "xdotool " << win::Narrow(arguments);
}

void MouseTo(POINT at) { Xdo(L"mousemove " + std::to_wstring(at.x) + L" " + std::to_wstring(at.y)); }

void Click(POINT at, int button) {
  MouseTo(at);
  Xdo(L"click " + std::to_wstring(button));
}

void ChooseZone(HWND comboBox, const std::string& prefix) {
  const std::wstring wanted = win::Widen(prefix);
  const auto index =
      SendMessageW(comboBox, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wanted.c_str()));
  ASSERT_GT(index, 0) << "no entry " << prefix;
  SendMessageW(comboBox, CB_SETCURSEL, index - 1, 0);
  Click(Centre(comboBox));  // drops the list down and focuses it
  Xdo(L"key Down Return");
  ASSERT_TRUE(WaitUntil([&] { return SendMessageW(comboBox, CB_GETCURSEL, 0, 0) == index; }))
      << "the list did not move onto " << prefix;
}

std::wstring UnixPath(const fs::path& file) {
  std::wstring path = file.wstring();
  if (path.size() < 2 || (path[0] != L'Z' && path[0] != L'z') || path[1] != L':') return {};
  path = path.substr(2);
  std::replace(path.begin(), path.end(), L'\\', L'/');
  return path;
}

namespace {

// ImageMagick's geometry of a rectangle: "WxH+X+Y".
std::wstring Geometry(const RECT& r) {
  return std::to_wstring(r.right - r.left) + L"x" + std::to_wstring(r.bottom - r.top) + L"+" +
         std::to_wstring(r.left) + L"+" + std::to_wstring(r.top);
}

// ImageMagick's import reads the X server's screen, which a screen device
// context under Wine cannot. `crop` limits the picture to a rectangle.
bool CaptureScreen(const fs::path& file, const RECT* crop = nullptr) {
  const std::wstring unixFile = UnixPath(file);
  if (unixFile.empty()) return false;
  fs::create_directories(file.parent_path());
  const std::wstring cropping = crop ? L" -crop " + Geometry(*crop) + L" +repage" : L"";
  return RunUnix(L"/usr/bin/import -window root" + cropping + L" \"" + unixFile + L"\"") == 0;
}

// True when the picture in `file`, or its part `area`, holds more than one
// colour: a window that is drawn, not an empty screen.
bool PictureHasDetail(const fs::path& file, const RECT* area = nullptr) {
  const fs::path answer = RunFolder() / "detail.txt";
  std::error_code ec;
  fs::remove(answer, ec);
  const std::wstring cropping = area ? L" -crop " + Geometry(*area) + L" +repage" : L"";
  RunUnix(L"/usr/bin/convert \"" + UnixPath(file) + L"\"" + cropping + L" -format \"%[fx:standard_deviation]\" \"info:" +
          UnixPath(answer) + L"\"");
  std::ifstream in(answer);
  double deviation = 0;
  return static_cast<bool>(in >> deviation) && deviation > 0;
}

// The part of the window's rectangle that lies on the screen.
RECT OnScreenPart(HWND window) {
  RECT r = WindowRect(window);
  r.left = std::max<LONG>(r.left, 0);
  r.top = std::max<LONG>(r.top, 0);
  r.right = std::min<LONG>(r.right, GetSystemMetrics(SM_CXSCREEN));
  r.bottom = std::min<LONG>(r.bottom, GetSystemMetrics(SM_CYSCREEN));
  return r;
}

// Whether the X server shows the X window that Wine made for the window's
// top-level window: a window's own state, which what lies under it cannot
// fake.
bool MappedOnX(HWND window) {
  const auto xWindow = reinterpret_cast<ULONG_PTR>(GetPropW(GetAncestor(window, GA_ROOT), L"__wine_x11_whole_window"));
  return xWindow && RunUnix(L"/usr/bin/xwininfo -id " + std::to_wstring(xWindow) +
                            L" | /bin/grep -q 'Map State: IsViewable'") == 0;
}

}  // namespace

bool WaitUntilOnScreen(HWND window, std::chrono::milliseconds timeout) {
  const fs::path probe = RunFolder() / "window.png";
  return WaitUntil(
      [&] {
        const RECT r = OnScreenPart(window);
        return IsWindowVisible(window) && r.right > r.left && r.bottom > r.top && MappedOnX(window) &&
               CaptureScreen(probe, &r) && PictureHasDetail(probe);
      },
      timeout);
}

void Screenshot(const std::string& name, HWND subject) {
  const fs::path file = BuildFolder() / "screenshots" / (name + ".png");
  if (!subject) {
    EXPECT_TRUE(CaptureScreen(file)) << "no screenshot " << name;
    return;
  }
  EXPECT_TRUE(WaitUntilOnScreen(subject)) << name << ": the window is not on the screen";
  const RECT r = OnScreenPart(subject);
  EXPECT_TRUE(CaptureScreen(file) && PictureHasDetail(file, &r)) << name << ": the picture is blank where the window is";
}

bool TrayClick(DWORD shellId, const std::string& click, bool answered) {
  const bool done = WaitUntil([&] {
    return fake_shell::Send(shellId, "tray 1 " + click + (answered ? " answered" : "")) == fake_shell::SendResult::Done;
  });
  EXPECT_TRUE(done) << "the shell holds no icon 1 with a callback message, or the click went unanswered";
  return done;
}

fs::path HelperFile(const std::string& name) { return BuildFolder() / "tests" / "helpers" / name; }

namespace {

int RunUnixOnce(const std::wstring& commandLine, std::chrono::milliseconds timeout, bool killWhenLate) {
  // Wine starts a Unix program detached: its process handle does not tell
  // when it ends, and programs started one after the other may run at once
  // (a mouse button pressed before the mouse has moved). So the program runs
  // under /bin/sh, which writes its exit status to a file once it has ended.
  static int serial = 0;
  const fs::path folder = BuildFolder() / "unix-status";
  fs::create_directories(folder);
  const std::string name = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
  const std::wstring partial = UnixPath(folder / (name + ".partial")), status = UnixPath(folder / (name + ".status"));
  const fs::path pidFile = folder / (name + ".pid");
  // The command runs in a subshell, so that the null device reaches it as a
  // whole (a pipeline's last command keeps its pipe).
  std::wstring script = L"echo $$ >'" + UnixPath(pidFile) + L"'; ( " + commandLine +
                        L" ) </dev/null >/dev/null 2>&1; echo $? >'" + partial + L"'; mv '" + partial + L"' '" +
                        status + L"'";
  // Inside the one quoted argument of sh, a double quote is written \".
  std::wstring escaped;
  for (wchar_t c : script) escaped += c == L'"' ? std::wstring(L"\\\"") : std::wstring(1, c);
  std::wstring command = L"/bin/sh -c \"" + escaped + L"\"";
  // The shell gets the null device for its standard handles: handed the
  // test's own output, a Unix program started under Wine can leave it
  // unusable for the rest of the run.
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE null = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                            OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = null;
  PROCESS_INFORMATION info{};
  const BOOL started =
      CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
  CloseHandle(null);
  if (!started) return -1;
  if (info.hProcess) CloseHandle(info.hProcess);
  if (info.hThread) CloseHandle(info.hThread);
  const fs::path statusFile = folder / (name + ".status");
  const bool ended = WaitUntil([&] { return fs::exists(statusFile); }, timeout);
  int code = -1, shell = 0;
  if (ended) std::ifstream(statusFile) >> code;
  else if (killWhenLate && (std::ifstream(pidFile) >> shell) && shell > 0)
    RunUnixOnce(L"kill_tree() { for child in $(/usr/bin/pgrep -P $1); do kill_tree $child; done; kill -KILL $1; }; "
                L"kill_tree " + std::to_wstring(shell),
                kPatience, false);
  std::error_code ec;
  fs::remove(statusFile, ec);
  fs::remove(pidFile, ec);
  return code;
}

}  // namespace

int RunUnix(const std::wstring& commandLine, std::chrono::milliseconds timeout) {
  return RunUnixOnce(commandLine, timeout, true);
}

HWND WaitForPopupMenu(DWORD processId, std::chrono::milliseconds timeout) {
  return WaitForWindow(L"#32768", processId, timeout);
}

std::vector<PopupMenuItem> ReadOpenedMenu(DWORD processId, HWND& menu) {
  menu = WaitForPopupMenu(processId);
  std::vector<PopupMenuItem> items;
  if (menu && WaitUntilOnScreen(menu)) WaitUntil([&] { return !(items = ReadPopupMenu(menu)).empty(); });
  return items;
}

std::vector<PopupMenuItem> ReadPopupMenu(HWND menuWindow) {
  std::vector<PopupMenuItem> items;
  const fs::path library = HelperFile("menu_probe.dll");
  const fs::path output = HelperFile("menu_probe-" + std::to_string(GetCurrentProcessId()) + ".txt");
  HMODULE probe = LoadLibraryW(library.wstring().c_str());
  if (!probe) return items;
  auto hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(probe, "MenuProbeHook")));
  const DWORD thread = GetWindowThreadProcessId(menuWindow, nullptr);
  std::error_code ec;
  fs::remove(output, ec);
  HHOOK installed = hook && thread ? SetWindowsHookExW(WH_GETMESSAGE, hook, probe, thread) : nullptr;
  if (installed) {
    PostMessageW(menuWindow, RegisterWindowMessageW(L"HxMenuProbe"), GetCurrentProcessId(), 0);
    if (WaitUntil([&] { return fs::exists(output); })) {
      std::ifstream in(output, std::ios::binary);
      std::string line;
      while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string depth, flags, rect;
        PopupMenuItem item;
        std::getline(fields, depth, '\t');
        std::getline(fields, item.text, '\t');
        std::getline(fields, flags, '\t');
        std::getline(fields, rect);
        item.depth = std::atoi(depth.c_str());
        item.separator = flags.find('s') != std::string::npos;
        item.grayed = flags.find('g') != std::string::npos;
        item.checked = flags.find('c') != std::string::npos;
        item.submenu = flags.find('p') != std::string::npos;
        std::istringstream(rect) >> item.rect.left >> item.rect.top >> item.rect.right >> item.rect.bottom;
        items.push_back(item);
      }
    }
    UnhookWindowsHookEx(installed);
  }
  FreeLibrary(probe);
  return items;
}

const PopupMenuItem* FindItem(const std::vector<PopupMenuItem>& items, const std::string& text) {
  for (const PopupMenuItem& item : items)
    if (item.text == text) return &item;
  return nullptr;
}

HWND WaitForDialog(const wchar_t* dialogClass, DWORD processId) {
  HWND dialog = WaitForWindow(dialogClass, processId);
  EXPECT_NE(dialog, nullptr) << win::Narrow(dialogClass) << " did not open";
  if (dialog) {
    EXPECT_TRUE(WaitUntilOnScreen(dialog)) << win::Narrow(dialogClass) << " is not on the screen";
  }
  return dialog;
}

namespace {
POINT CentreOf(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
}  // namespace

HWND ChooseFromOpenedMenu(DWORD processId, const std::string& item, const wchar_t* dialogClass,
                          const std::string& submenu) {
  HWND menu = nullptr;
  std::vector<PopupMenuItem> items = ReadOpenedMenu(processId, menu);
  EXPECT_NE(menu, nullptr) << "no menu opened";
  if (!submenu.empty()) {
    const PopupMenuItem* parent = FindItem(items, submenu);
    EXPECT_NE(parent, nullptr) << submenu;
    if (!parent) return nullptr;
    // The submenu opens beside the item under the mouse, in a menu window
    // of its own.
    MouseTo(CentreOf(parent->rect));
    HWND opened = nullptr;
    EXPECT_TRUE(WaitUntil([&] {
      for (HWND w : TopWindows(L"#32768", processId))
        if (w != menu && IsWindowVisible(w)) opened = w;
      return opened && WaitUntilOnScreen(opened) && FindItem(items = ReadPopupMenu(opened), item);
    })) << "the submenu " << submenu << " did not open";
  }
  const PopupMenuItem* chosen = FindItem(items, item);
  EXPECT_NE(chosen, nullptr) << item << " is not in the menu of " << items.size() << " items";
  if (!chosen) return nullptr;
  Click(CentreOf(chosen->rect));
  return WaitForDialog(dialogClass, processId);
}

HWND OpenFromPanelsMenu(HWND clocks, DWORD processId, const std::string& item, const wchar_t* dialogClass,
                        const std::string& submenu) {
  const RECT r = WindowRect(clocks);
  Click({r.left + 20, r.top + 20}, 3);
  return ChooseFromOpenedMenu(processId, item, dialogClass, submenu);
}

// Wine's per-program Windows version, in the prefix the tests run in.
constexpr wchar_t kWineAppDefaults[] = L"Software\\Wine\\AppDefaults\\Horavex.KT.exe";

void ReportWindowsVersion(const wchar_t* version) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kWineAppDefaults, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const DWORD bytes = static_cast<DWORD>((wcslen(version) + 1) * sizeof(wchar_t));
  EXPECT_EQ(RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version), bytes), ERROR_SUCCESS);
  RegCloseKey(key);
}

void ForgetWindowsVersion() { RegDeleteKeyW(HKEY_CURRENT_USER, kWineAppDefaults); }

// --- Keyboard access ---

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

void KeyTo(HWND window, const std::wstring& keys) {
  const RECT r = WindowRect(window);
  POINT cursor{};
  GetCursorPos(&cursor);
  if (!PtInRect(&r, cursor)) MouseTo({r.right - 4, r.top + 4});
  Xdo(L"key " + keys);
}

namespace {

LONG StyleOf(HWND control) { return GetWindowLongW(control, GWL_STYLE); }

bool IsGroupBox(HWND control) {
  return ClassOf(control) == "Button" && (StyleOf(control) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool IsRadio(HWND control) {
  const LONG type = StyleOf(control) & BS_TYPEMASK;
  return ClassOf(control) == "Button" && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
}

// Visible and enabled, and so are the pages that hold it.
bool Shown(HWND control, HWND dialog) {
  for (HWND w = control; w && w != dialog; w = GetParent(w))
    if (!IsWindowVisible(w) || !IsWindowEnabled(w)) return false;
  return true;
}

// A control a user works with; the parts of a compound control (a combo
// box's edit, a list view's header) are not controls of their own.
bool IsInput(HWND control) {
  static const std::set<std::string> inputs = {"Button",         "Edit",          "ComboBox",
                                               "ListBox",        "SysListView32", "SysTabControl32",
                                               "msctls_trackbar32", "SysDateTimePick32", "SysMonthCal32"};
  const HWND parent = GetParent(control);
  return inputs.count(ClassOf(control)) && !IsGroupBox(control) && !(parent && inputs.count(ClassOf(parent)));
}

// The radio buttons of `radio`'s group: from the one that starts it to the
// next that starts another.
std::vector<HWND> GroupOf(HWND radio) {
  HWND first = radio;
  while (!(StyleOf(first) & WS_GROUP)) {
    const HWND before = GetWindow(first, GW_HWNDPREV);
    if (!before) break;
    first = before;
  }
  std::vector<HWND> group{first};
  for (HWND w = GetWindow(first, GW_HWNDNEXT); w && !(StyleOf(w) & WS_GROUP); w = GetWindow(w, GW_HWNDNEXT))
    group.push_back(w);
  return group;
}

std::string Describe(HWND c) { return ClassOf(c) + " \"" + ControlText(c) + "\""; }

// The access keys of the shown buttons and labels, each to be unique: a
// label's key moves the focus to the control after it.
void ExpectUniqueAccessKeys(HWND dialog) {
  std::map<wchar_t, std::string> seen;
  for (HWND c : Children(dialog)) {
    // Static texts without SS_NOPREFIX; a picture, a frame or a drawing
    // has no text of its own.
    static const std::set<LONG> textStatics = {SS_LEFT, SS_CENTER, SS_RIGHT, SS_SIMPLE, SS_LEFTNOWORDWRAP};
    const std::string cls = ClassOf(c);
    const bool label = cls == "Static" && !(StyleOf(c) & SS_NOPREFIX) && textStatics.count(StyleOf(c) & SS_TYPEMASK);
    bool shown = cls == "Button" || label;
    for (HWND w = c; w && w != dialog; w = GetParent(w)) shown = shown && IsWindowVisible(w);
    if (!shown) continue;
    const std::string text = ControlText(c);
    const std::wstring wide = win::Widen(text);
    for (size_t i = 0; i + 1 < wide.size(); ++i) {
      if (wide[i] != L'&') continue;
      if (wide[i + 1] == L'&') {
        ++i;
        continue;
      }
      const auto [at, fresh] = seen.emplace(towlower(wide[i + 1]), text);
      EXPECT_TRUE(fresh) << ClassOf(dialog) << ": \"" << text << "\" and \"" << at->second << "\" share a key";
    }
  }
}

}  // namespace

std::string AccessibleName(HWND control) {
  const std::string cls = ClassOf(control);
  if (cls == "Button" || cls == "SysListView32") return ControlText(control);
  if (cls == "SysTabControl32") return "(its tabs)";
  for (HWND before = GetWindow(control, GW_HWNDPREV); before; before = GetWindow(before, GW_HWNDPREV)) {
    if (ClassOf(before) == "Static" || IsGroupBox(before)) return ControlText(before);
    if (StyleOf(before) & WS_TABSTOP) break;  // a control of its own
  }
  // A read-only text without a label is read out as it stands.
  return cls == "Edit" && (StyleOf(control) & ES_READONLY) ? ControlText(control) : "";
}

void ExpectKeyboardWalk(HWND dialog) {
  SCOPED_TRACE(ClassOf(dialog) + " \"" + WindowText(dialog) + "\"");
  ExpectUniqueAccessKeys(dialog);
  std::vector<HWND> inputs;
  std::set<HWND> stops;
  for (HWND c : Children(dialog)) {
    if (!Shown(c, dialog)) continue;
    if (IsInput(c)) inputs.push_back(c);
    if (StyleOf(c) & WS_TABSTOP) stops.insert(c);
  }
  const HWND start = FocusOf(dialog);
  EXPECT_TRUE(stops.count(start)) << "the focus starts on " << (start ? Describe(start) : "nothing");
  std::set<HWND> reached{start};
  std::vector<std::string> backwards;  // one is the way round from the last stop to the first
  HWND at = start;
  for (size_t i = 0; i < stops.size() && stops.size() > 1; ++i) {
    const HWND before = at;
    KeyTo(dialog, L"Tab");
    EXPECT_TRUE(WaitUntil([&] { return (at = FocusOf(dialog)) != before; })) << "Tab stays on " << Describe(before);
    reached.insert(at);
    if (at == start) break;
    // Down the page, or up only into a column further right; rightwards
    // within a row.
    const RECT from = WindowRect(before), to = WindowRect(at);
    const bool sameRow = to.top < from.bottom && from.top < to.bottom;
    if (!(sameRow ? to.left >= from.left : to.bottom > from.top || to.left >= from.right))
      backwards.push_back(Describe(before) + " to " + Describe(at));
  }
  EXPECT_LE(backwards.size(), 1u) << "Tab goes back from " << ::testing::PrintToString(backwards);
  EXPECT_EQ(at, start) << "Tab does not come back round";
  for (HWND c : inputs) {
    bool reachable = reached.count(c) > 0;
    if (IsRadio(c))
      for (HWND member : GroupOf(c)) reachable = reachable || reached.count(member) > 0;
    EXPECT_TRUE(reachable) << "Tab never reaches " << Describe(c);
  }
  std::map<std::string, HWND> names;
  for (HWND c : reached) {
    const std::string name = AccessibleName(c);
    EXPECT_NE(name, "") << Describe(c) << " has no name for a screen reader";
    // Options of different groups may share a text (both sides of the
    // calculator offer the local time): their groups tell them apart.
    const auto [other, fresh] = names.emplace(name, c);
    EXPECT_TRUE(fresh || name.empty() || (IsRadio(c) && IsRadio(other->second)))
        << Describe(c) << " and " << Describe(other->second) << " have one name";
  }
}


}  // namespace hx::e2e

