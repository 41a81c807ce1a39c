// End-to-end test support: start the real programs in fresh program folders
// under Wine and look at them from outside, as another program would.
#pragma once
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace hx::e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// How long a test waits for what must happen. Only a failing test waits that
// long; a loaded machine may need many seconds for a Wine program to react.
constexpr std::chrono::milliseconds kPatience = 30s;

// The built program folder (build/<arch>/Horavex.KT).
fs::path BuiltProgramFolder();

// A fresh copy of the built program folder, for one test, under
// build/<arch>/e2e-work/<name>/Horavex.KT. Extra files can be written
// before the program starts.
fs::path FreshProgramFolder(const std::string& name);

// Writes text converted to CP1251 with the given content.
void WriteCp1251(const fs::path& file, const std::string& utf8);
// Reads a CP1251 file as UTF-8; empty when missing.
std::string ReadCp1251(const fs::path& file);

// A complete settings file, so that no repair notice interrupts a test; the
// defaults, without the update check, unless the options say otherwise.
struct SettingsOptions {
  bool hideTrayClock = false;
  bool stayOnTop = false;
  bool blockedMove = false;
  bool borderScreen = true;
  bool embedded = false;
  int numPanel = 0;
  bool retainOnWPanel = true;
  bool updateCheck = false;
  int left = 300;
  int top = 200;
};
std::string SettingsFileText(const SettingsOptions& options = {});

// A panel record of the clocks file, as section k. `flag` is 1 for the
// system-time panel, 2 for the date panel and 0 for a zone panel.
std::string PanelRecord(int k, const std::string& name, const char* sign, int hours, int minutes, int flag,
                        bool visible = true);
// The system-time panel, a zone panel "Катманду" (+05:45) and the date panel.
std::string ThreePanelFile(bool zoneVisible = true);
// The text of a clocks file: the system-time panel, `zones` zone panels
// "Zone 1", "Zone 2", ... (+05:45), then the date panel.
std::string ClocksFileWithZones(int zones);
// The lines of a text file; none when it is missing.
std::vector<std::string> Lines(const fs::path& file);

// Opens a file as another program that holds it would, sharing only what
// `share` allows (0: nothing, so that it can be neither read nor replaced).
// The file is closed when the result goes.
struct HeldFile {
  HeldFile(const fs::path& file, DWORD share);
  ~HeldFile() { Release(); }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  bool held() const { return handle != INVALID_HANDLE_VALUE; }
  void Release();
  HANDLE handle;
};

// A started program. The destructor ends it if it still runs. A program that
// cannot be started fails the test at once.
class Process {
 public:
  Process() = default;
  Process(const fs::path& exe, const std::wstring& arguments = L"");
  // A program that a Unix shell starts with these assignments in its Unix
  // environment, such as L"TZ='Australia/Sydney'": Wine takes a program's
  // local zone and its library settings from there, never from the Windows
  // environment it is started with.
  static Process WithUnixEnvironment(const fs::path& exe, const std::wstring& assignments);
  ~Process();
  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;

  DWORD id() const { return info_.dwProcessId; }
  bool Running() const;
  // True when the process ended within the time; its exit code then.
  bool WaitForExit(std::chrono::milliseconds timeout);
  DWORD ExitCode() const;
  void Kill();

 private:
  PROCESS_INFORMATION info_{};
};

// Programs started while it lives draw at `dpi` (96 is 100 % scaling, 144 is
// 150 %): Wine reads this user's LogPixels when a program starts and gives
// every window that DPI. The test process keeps the DPI it started with.
class ScopedDisplayDpi {
 public:
  explicit ScopedDisplayDpi(int dpi);
  ~ScopedDisplayDpi();
  ScopedDisplayDpi(const ScopedDisplayDpi&) = delete;
  ScopedDisplayDpi& operator=(const ScopedDisplayDpi&) = delete;
};

// Programs started after this see the Windows version `version` (Wine's
// names: "nt40", "win2k", "win10"), until ForgetWindowsVersion.
void ReportWindowsVersion(const wchar_t* version);
void ForgetWindowsVersion();

// Polls `condition` until it holds or the time runs out.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = kPatience);

// Top-level windows of a class of one process, visible or not. Every lookup
// names its process: a window of another program never answers for ours.
// Process id 0 (a program that did not start) finds nothing and fails the
// test.
std::vector<HWND> TopWindows(const std::wstring& className, DWORD processId);
// The first visible one, waited for.
HWND WaitForWindow(const std::wstring& className, DWORD processId, std::chrono::milliseconds timeout = kPatience);

// A running process: the first whose parent is `parentId` (a program a
// test's program started itself), or 0 when none appears in time.
DWORD WaitForChildProcess(DWORD parentId, std::chrono::milliseconds timeout = kPatience);

std::string WindowText(HWND window);
std::string ClassOf(HWND window);
RECT WindowRect(HWND window);
SIZE ClientSize(HWND window);
std::vector<HWND> Children(HWND window);
// The child whose text is `text` (a "&" in the control's text is ignored).
HWND ChildByText(HWND window, const std::string& text);

// A message box of a process: a visible, enabled window of the standard
// dialog class "#32770" (one that is closing is disabled first).
struct MessageBoxInfo {
  HWND window = nullptr;
  std::string caption;
  std::string text;
};
MessageBoxInfo WaitForMessageBox(DWORD processId, std::chrono::milliseconds timeout = kPatience);
// Presses a button of a dialog by its text ("OK", "&Игнорировать", ...).
// A button that is not there fails the test.
bool PressButton(HWND dialog, const std::string& text);

// The text a control of another program gives out itself (an edit's
// content, a drop-down list's chosen entry), which may differ from its
// window title.
std::string ControlText(HWND control);
// The texts of a window's controls, the controls of its panels included.
std::vector<std::string> ControlTexts(HWND window);
POINT Centre(HWND window);

// Runs xdotool with these arguments; a failure fails the test.
void Xdo(const std::wstring& arguments);
void MouseTo(POINT at);
void Click(POINT at, int button = 1);
// Chooses the zone (entry) that begins with `prefix` in a drop-down list as a
// keyboard user does: the list's arrow key onto it.
void ChooseZone(HWND comboBox, const std::string& prefix);

// Waits until the screen shows `window`: Wine maps a window on the X server
// and paints it there a moment after Windows calls it visible, and only then
// do the mouse and a screenshot find it. The window counts as shown when the
// X server reports its own X window mapped and the screen where it lies is
// not blank. True when it does.
bool WaitUntilOnScreen(HWND window, std::chrono::milliseconds timeout = kPatience);

// Saves the whole screen as build/<arch>/screenshots/<name>.png. With a
// `subject` it first waits for that window to be on the screen, and fails the
// test when the picture is blank where the window is.
void Screenshot(const std::string& name, HWND subject = nullptr);

// A click on the tray icon 1 as the fake shell `shellId` tells of it, once
// the shell holds the icon: the message the icon's registration names, to
// the window it names; posted, or with `answered` sent and handled within
// 20 s. A shell that holds no such icon fails the test.
bool TrayClick(DWORD shellId, const std::string& click, bool answered = false);

// Keyboard access, seen from outside.

// The control that has the keyboard in `window`'s thread.
HWND FocusOf(HWND window);
// Presses keys (xdotool names: "Tab", "shift+Tab", "Return") for `window`.
// The X server hands a key to the window under the mouse, so the mouse is
// moved onto the window first unless it is there.
void KeyTo(HWND window, const std::wstring& keys);
// What a screen reader calls a control: the text of a button, check box,
// radio button or list view; for a control whose text is its value (an
// edit, a list, a track bar), the label just before it, a static text or a
// group box.
std::string AccessibleName(HWND control);
// Walks `dialog` with Tab from the control that has the focus round to it
// again, and fails the test where a keyboard or screen-reader user would be
// stuck: an enabled, shown input control that Tab never reaches (for radio
// buttons: a group none of whose buttons it reaches); a step that goes back
// up the dialog, other than into a column further right, or leftwards
// within a row; a tab stop without a name, or with the name of another;
// an access key ("&x") that two shown controls share.
void ExpectKeyboardWalk(HWND dialog);

// A helper program or library built for the tests
// (build/<arch>/tests/helpers/<name>).
fs::path HelperFile(const std::string& name);

// The Unix path of a file on Wine's drive Z:, which shows the Unix file
// system; empty for other drives.
std::wstring UnixPath(const fs::path& file);

// Runs a Unix command line, such as "/usr/bin/xdotool mousemove 10 10", in
// /bin/sh and waits until it has ended; returns its exit status (or -1 when
// it did not start or end; one that did not end in time is killed, so that
// it cannot act in a later step).
int RunUnix(const std::wstring& commandLine, std::chrono::milliseconds timeout = kPatience);

// An item of another program's open popup menu.
struct PopupMenuItem {
  int depth = 0;  // 0: the menu's own items; 1: items of its submenus
  std::string text;
  bool separator = false;
  bool grayed = false;
  bool checked = false;
  bool submenu = false;
  RECT rect{};  // on screen; empty for items of closed submenus
};

// The visible popup menu window ("#32768") of a process.
HWND WaitForPopupMenu(DWORD processId, std::chrono::milliseconds timeout = kPatience);
// Reads the menu shown in `menuWindow` from inside its program, through the
// menu_probe helper library. Empty when it cannot be read.
std::vector<PopupMenuItem> ReadPopupMenu(HWND menuWindow);
// The popup menu a process opened (its window in `menu`), read once the
// screen shows it and its items can be read: a menu window can show a
// moment before that. Empty, with `menu` null when none opened.
std::vector<PopupMenuItem> ReadOpenedMenu(DWORD processId, HWND& menu);
// The item of `items` with that text, or nullptr.
const PopupMenuItem* FindItem(const std::vector<PopupMenuItem>& items, const std::string& text);

// The first visible window of a dialog class of a process, waited for until
// the screen shows it; nullptr, with the test failed, when none opens.
HWND WaitForDialog(const wchar_t* dialogClass, DWORD processId);
// In the popup menu the process has just opened, clicks the item `item`
// (within the submenu `submenu` when one is named, which the mouse opens
// first) and waits for the dialog of `dialogClass`; nullptr, with the test
// failed, when a step does not happen.
HWND ChooseFromOpenedMenu(DWORD processId, const std::string& item, const wchar_t* dialogClass,
                          const std::string& submenu = "");
// The same from the context menu of the panels window `clocks` (a right
// click on it).
HWND OpenFromPanelsMenu(HWND clocks, DWORD processId, const std::string& item, const wchar_t* dialogClass,
                        const std::string& submenu = "");

}  // namespace hx::e2e
