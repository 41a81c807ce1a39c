#include "tests/e2e/harness.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "base/cp1251.h"
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
  if (search->processId) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->processId) return TRUE;
  }
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

std::string ClocksFileWithZones(int zones) {
  auto record = [](int k, const std::string& name, const char* sign, int hours, int minutes, int flag) {
    return "[ClockPanel_" + std::to_string(k) + "]\r\nName=" + name + "\r\nVisible=1\r\nTimeValue=" + sign +
           "\r\nTimeValue1=" + std::to_string(hours) + "\r\nTimeValue2=" + std::to_string(minutes) +
           "\r\nSysFlag=" + std::to_string(flag) + "\r\n";
  };
  std::string text = "[Settings]\r\nPanelsCount=" + std::to_string(zones + 2) + "\r\n" +
                     record(0, "Системное", "0", 0, 0, 1);
  for (int k = 1; k <= zones; ++k) text += record(k, "Zone " + std::to_string(k), "+", 5, 45, 0);
  return text + record(zones + 1, "Дата", "0", 0, 0, 2);
}

HeldFile::HeldFile(const fs::path& file, DWORD share)
    : handle(CreateFileW(file.wstring().c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}

void HeldFile::Release() {
  if (held()) CloseHandle(handle);
  handle = INVALID_HANDLE_VALUE;
}

Process::Process(const fs::path& exe, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  const std::wstring folder = exe.parent_path().wstring();
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &info_))
    info_ = {};
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

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (true) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(20ms);
  }
}

std::vector<HWND> TopWindows(const std::wstring& className, DWORD processId) {
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
  info.window = WaitForWindow(L"#32770", processId, timeout);
  if (!info.window) return info;
  info.caption = WindowText(info.window);
  // The message text is the static control with id 0xFFFF.
  if (HWND text = GetDlgItem(info.window, 0xFFFF)) info.text = WindowText(text);
  return info;
}

void PressButton(HWND dialog, const std::string& text) {
  if (HWND button = ChildByText(dialog, text)) PostMessageW(button, BM_CLICK, 0, 0);
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
  const fs::path answer = BuildFolder() / "screenshots" / "probe" / "detail.txt";
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

}  // namespace

bool WaitUntilOnScreen(HWND window, std::chrono::milliseconds timeout) {
  const fs::path probe = BuildFolder() / "screenshots" / "probe" / "window.png";
  return WaitUntil(
      [&] {
        const RECT r = OnScreenPart(window);
        return IsWindowVisible(window) && r.right > r.left && r.bottom > r.top && CaptureScreen(probe, &r) &&
               PictureHasDetail(probe);
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

fs::path HelperFile(const std::string& name) { return BuildFolder() / "tests" / "helpers" / name; }

int RunUnix(const std::wstring& commandLine, std::chrono::milliseconds timeout) {
  // Wine starts a Unix program detached: its process handle does not tell
  // when it ends, and programs started one after the other may run at once
  // (a mouse button pressed before the mouse has moved). So the program runs
  // under /bin/sh, which writes its exit status to a file once it has ended.
  static int serial = 0;
  const fs::path folder = BuildFolder() / "unix-status";
  fs::create_directories(folder);
  const std::string name = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
  const std::wstring partial = UnixPath(folder / (name + ".partial")), status = UnixPath(folder / (name + ".status"));
  std::wstring script = commandLine + L" </dev/null >/dev/null 2>&1; echo $? >'" + partial + L"'; mv '" + partial +
                        L"' '" + status + L"'";
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
  if (!WaitUntil([&] { return fs::exists(statusFile); }, timeout)) return -1;
  int code = -1;
  std::ifstream(statusFile) >> code;
  std::error_code ec;
  fs::remove(statusFile, ec);
  return code;
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
  const fs::path output = HelperFile("menu_probe.txt");
  HMODULE probe = LoadLibraryW(library.wstring().c_str());
  if (!probe) return items;
  auto hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(probe, "MenuProbeHook")));
  const DWORD thread = GetWindowThreadProcessId(menuWindow, nullptr);
  std::error_code ec;
  fs::remove(output, ec);
  HHOOK installed = hook && thread ? SetWindowsHookExW(WH_GETMESSAGE, hook, probe, thread) : nullptr;
  if (installed) {
    PostMessageW(menuWindow, RegisterWindowMessageW(L"HxMenuProbe"), 0, 0);
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

}  // namespace hx::e2e

#include <tlhelp32.h>

#include <utility>

namespace hx::e2e {
namespace {

// The ids of the processes that run the program file `exe`.
std::vector<DWORD> ProcessesRunning(const fs::path& exe) {
  using ImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, wchar_t*, DWORD*);
  static const auto imageName = reinterpret_cast<ImageNameFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryFullProcessImageNameW")));
  std::vector<DWORD> ids;
  if (!imageName) return ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, entry.th32ProcessID);
    if (!process) continue;
    wchar_t image[MAX_PATH];
    DWORD size = MAX_PATH;
    if (imageName(process, 0, image, &size) && lstrcmpiW(image, exe.c_str()) == 0)
      ids.push_back(entry.th32ProcessID);
    CloseHandle(process);
  }
  CloseHandle(snapshot);
  return ids;
}

}  // namespace

ZonedProcess::ZonedProcess(const fs::path& exe, const std::string& zone) {
  const std::vector<DWORD> before = ProcessesRunning(exe);
  wchar_t loader[MAX_PATH] = L"";
  if (!GetEnvironmentVariableW(L"WINELOADER", loader, MAX_PATH)) lstrcpyW(loader, L"/usr/lib/wine/wine64");
  std::wstring commandLine = L"/bin/sh -c \"cd '" + UnixPath(exe.parent_path()) + L"' && TZ='" +
                             std::wstring(zone.begin(), zone.end()) + L"' exec '" + loader + L"' '" + UnixPath(exe) +
                             L"' >/dev/null 2>&1\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION shell{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &shell))
    return;
  CloseHandle(shell.hThread);
  CloseHandle(shell.hProcess);
  WaitUntil([&] {
    for (DWORD id : ProcessesRunning(exe))
      if (std::find(before.begin(), before.end(), id) == before.end()) {
        process_ = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        id_ = process_ ? id : 0;
        return true;
      }
    return false;
  });
}

ZonedProcess::~ZonedProcess() {
  Kill();
  if (process_) CloseHandle(process_);
}

ZonedProcess::ZonedProcess(ZonedProcess&& other) noexcept : process_(other.process_), id_(other.id_) {
  other.process_ = nullptr;
  other.id_ = 0;
}

ZonedProcess& ZonedProcess::operator=(ZonedProcess&& other) noexcept {
  if (this != &other) {
    this->~ZonedProcess();
    process_ = std::exchange(other.process_, nullptr);
    id_ = std::exchange(other.id_, 0);
  }
  return *this;
}

void ZonedProcess::Kill() {
  if (process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
  }
}

}  // namespace hx::e2e
