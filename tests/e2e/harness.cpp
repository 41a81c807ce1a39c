#include "tests/e2e/harness.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "base/cp1251.h"
#include "win32/text.h"

namespace hx::e2e {
namespace {

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

// Wine shows the Unix file system as drive Z: and can start Unix programs;
// ImageMagick's import reads the X server's screen, which a screen device
// context under Wine cannot.
void Screenshot(const std::string& name) {
  // Every window paints itself afresh: where no compositor keeps window
  // contents (Xvfb), a window can lose what it drew.
  RedrawWindow(GetDesktopWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  Sleep(700);
  const fs::path folder = BuildFolder() / "screenshots";
  fs::create_directories(folder);
  std::wstring file = (folder / (name + ".png")).wstring();
  if (file.size() < 2 || (file[0] != L'Z' && file[0] != L'z') || file[1] != L':') return;
  file = file.substr(2);
  std::replace(file.begin(), file.end(), L'\\', L'/');
  RunUnix(L"/usr/bin/import -window root \"" + file + L"\"");
}

fs::path HelperFile(const std::string& name) { return BuildFolder() / "tests" / "helpers" / name; }

int RunUnix(const std::wstring& commandLine, std::chrono::milliseconds timeout) {
  std::wstring command = commandLine;
  // The program gets the null device for its standard handles: handed the
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
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(info.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0)
    GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  return static_cast<int>(code);
}

HWND WaitForPopupMenu(DWORD processId, std::chrono::milliseconds timeout) {
  return WaitForWindow(L"#32768", processId, timeout);
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
    if (WaitUntil([&] { return fs::exists(output); }, 5s)) {
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
