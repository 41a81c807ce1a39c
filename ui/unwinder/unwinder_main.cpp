// Unwinder.KT: the uninstaller. Started without argument from the program
// folder (launch stage) it settles the language, copies itself into the
// temporary folder and starts the copy with the program folder as argument;
// the copy (removal stage) removes what the manifest lists, and finally has
// its own file erased.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "core/patch_registration.h"
#include "ui/unwinder/api_forms.h"
#include "ui/unwinder/win_file_system.h"
#include "uninstaller/batch.h"
#include "uninstaller/manifest.h"
#include "uninstaller/removal.h"
#include "uninstaller/text_util.h"
#include "uninstaller/texts.h"
#include "win32/registry.h"
#include "win32/system.h"
#include "win32/system_dll.h"
#include "win32/text.h"

namespace hx::unwinder {
namespace {

using namespace uninstall;

constexpr char kLaunchError[] = "Error launching uninstaller!";

// What one run carries from step to step.
struct Run {
  WinFileSystem files;
  win::SystemRegistry registry;
  std::string ownPath, ownFolder, ownName;
  std::string tempFolder;
  std::string errorCode;
  UninstallerTexts texts;
  ManifestHeader header;
  RemovalLists lists;
  RemovalState removal;
  HANDLE mutex = nullptr;
};

std::vector<std::string> EnvironmentEntries() {
  std::vector<std::string> entries;
  wchar_t* block = GetEnvironmentStringsW();
  if (!block) return entries;
  for (const wchar_t* p = block; *p; p += wcslen(p) + 1) entries.push_back(win::Narrow(p));
  FreeEnvironmentStringsW(block);
  return entries;
}

void Box(const std::string& text, const char* kind) { ShowBox(text, kCaption, kind, MB_SYSTEMMODAL | MB_OK); }

// Tells what PrepareManifest found; true when the run goes on.
bool ManifestReady(Run& run, const std::string& folder) {
  switch (PrepareManifest(run.files, folder)) {
    case ManifestState::Ready: return true;
    case ManifestState::Generated: Box(kManifestCreatedText, "Info"); return false;
    case ManifestState::Missing: Box(kManifestMissingText, "Error"); return false;
    case ManifestState::WriteFailed: Box(kManifestWriteFailedText, "Error"); return false;
  }
  return false;
}

void ShowErrorCode(const Run& run) {
  if (!run.errorCode.empty()) Box(run.texts[2] + "\r\n\r\n" + run.texts[3] + " " + run.errorCode, "Error");
}

// The launch stage: from the program folder to the temporary copy.
void LaunchStage(Run& run) {
  if (!ManifestReady(run, run.ownFolder)) return ShowErrorCode(run);
  const LanguageChoice language = ChooseLanguage(run.files, run.ownFolder, Stage::Launch, [&] {
    return ShowLanguageWindow(AvailableLanguages(run.files, run.ownFolder));
  });
  if (language.cancelled) return;
  run.texts = language.texts;

  const std::string copy = run.tempFolder + "\\" + run.ownName;
  if (run.files.FileExists(copy) && !run.files.RemoveFile(copy)) {
    Box(run.texts[1], "Error");
    return;
  }
  run.files.CreateFolders(run.tempFolder);
  if (!CopyFileW(win::Widen(run.ownPath).c_str(), win::Widen(copy).c_str(), FALSE)) {
    run.errorCode = "UI-001";
  } else {
    const std::wstring arguments = L"\"" + win::Widen(run.ownFolder) + L"\"";
    const std::wstring workFolder = win::Widen(FolderOf(run.ownFolder));
    const HINSTANCE started = ShellExecuteW(nullptr, nullptr, win::Widen(copy).c_str(), arguments.c_str(),
                                            workFolder.empty() ? nullptr : workFolder.c_str(), SW_SHOW);
    if (reinterpret_cast<INT_PTR>(started) < 32) run.errorCode = "UI-002";
  }
  ShowErrorCode(run);
}

// Asks every window of the running program to close and waits a little for
// its process to end, so the executable is free to be deleted.
bool CloseProgramWindow(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = processId ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr;
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_USER + 1, 0, 0, SMTO_ABORTIFHUNG, 10000, &result);
  if (process) {
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
  }
  return true;
}

struct WindowSearch {
  std::wstring cls;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  wchar_t name[129] = {};
  GetClassNameW(window, name, 128);
  if (EqualsNoCase(win::Narrow(name), win::Narrow(search->cls))) search->found.push_back(window);
  return TRUE;
}

// Whether the program runs: its versioned mutex, or the plain name that
// every release of it holds. Running, its windows are asked to close.
bool CheckRunningProgram(Run& run) {
  const std::string name = run.header.programName + " " + run.header.programVers;
  run.mutex = CreateMutexW(nullptr, TRUE, win::Widen(name).c_str());
  bool running = GetLastError() == ERROR_ALREADY_EXISTS;
  if (!running) {
    if (HANDLE plain = OpenMutexW(SYNCHRONIZE, FALSE, win::Widen(run.header.programName).c_str())) {
      running = true;
      CloseHandle(plain);
    }
  }
  auto release = [&] {
    if (run.mutex) ReleaseMutex(run.mutex);
  };
  if (!running) {
    release();
    return true;
  }
  WindowSearch search{win::Widen(run.header.formClass), {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  int asked = 0;
  for (HWND window : search.found) {
    if (!IsWindow(window)) continue;
    const std::string question =
        FillPlaceholders(run.texts[23], {run.header.programName}) + "\r\r" + run.texts[24];
    if (ShowBox(question, kCaption, "Quest", MB_SYSTEMMODAL | MB_OKCANCEL) != IDOK) {
      release();
      return false;
    }
    CloseProgramWindow(window);
    ++asked;
  }
  release();
  if (asked > 0) return true;
  Box(FillPlaceholders(run.texts[54], {run.header.programName}), "Info");
  return false;
}

// A batch that cannot name the uninstaller exactly is not written: the copy
// then stays in the temporary folder, where nothing else is hit.
void WriteSelfDeleteBatch(Run& run) {
  const std::string batch = WithExtension(run.ownPath, ".bat");
  if (!run.files.WriteOemText(batch, SelfDeleteBatchContent(run.ownPath, batch))) return;
  ShellExecuteW(nullptr, L"open", win::Widen(batch).c_str(), nullptr, nullptr, SW_HIDE);
}

void RestartComputer() {
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid))
      AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
  }
  ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0);
}

// Steps 1 to 10 of the removal stage; any return leads to the end-of-run steps.
void RemovalSteps(Run& run, const std::string& programFolder) {
  if (IsDriveRoot(programFolder)) {
    Box(kLaunchError, "Error");
    return;
  }
  if (!ManifestReady(run, programFolder)) return;
  const LanguageChoice language = ChooseLanguage(run.files, programFolder, Stage::Removal, [] {
    return std::optional<std::string>();
  });
  run.texts = language.texts;
  if (language.name.empty()) {
    Box(kLaunchError, "Error");
    return;
  }
  if (!ReadManifestHeader(run.files, programFolder, run.header)) {
    Box(run.texts[22], "Error");
    return;
  }
  if (!CheckRunningProgram(run)) return;
  const auto mode = ShowChoiceWindow(run.texts, run.header);
  if (!mode) return;
  ReadManifestLists(run.files, programFolder, ListPassFor(*mode), run.header, run.lists);

  const bool open = RunProgressWindow(
      run.texts,
      [&](RemovalProgress& progress) {
        RemovalContext context{run.files,        run.registry,   progress,    run.texts,
                               programFolder,    run.tempFolder, run.ownPath,
                               [&](const std::string& p) { return run.files.FileExists(p); }};
        RunRemoval(*mode, run.header, run.lists, context, run.removal);
      },
      [&] { return run.removal.executableLocked; });
  if (run.removal.executableLocked) {
    Box(run.texts[49] + "\r\n" + run.texts[50], "Error");
    return;
  }
  if (!open) return;
  if (run.removal.rebootRequired) {
    const std::string question =
        FillPlaceholders(run.texts[51], {run.header.programName}) + "\r\n\r\n" + run.texts[52];
    run.removal.rebootRequired = ShowBox(question, kCaption, "Quest", MB_SYSTEMMODAL | MB_YESNO) == IDYES;
  }
}

void RemovalStage(Run& run, const std::string& argument) {
  RemovalSteps(run, WithoutTrailingSeparators(argument));
  // The end of every removal-stage run, whatever stopped it. The reboot
  // batch was written when the removal ended, while its log could still
  // tell of a failure.
  if (run.removal.rebootRequired) RestartComputer();
  else WriteSelfDeleteBatch(run);
  ShowErrorCode(run);
}

}  // namespace
}  // namespace hx::unwinder

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace hx::unwinder;
  // The removal stage runs from the temporary folder, where any program
  // may leave a file named like a library the shell loads.
  hx::win::RestrictDllSearchToSystemFolder();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  Run run;
  run.ownPath = hx::win::ProgramFile().utf8();
  run.ownFolder = hx::uninstall::FolderOf(run.ownPath);
  run.ownName = hx::uninstall::NameOf(run.ownPath);
  run.tempFolder = hx::uninstall::TempFolderFromEnvironment(EnvironmentEntries());

  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::string argument = argv && argc > 1 ? hx::win::Narrow(argv[1]) : std::string();
  if (argv) LocalFree(argv);

  if (argument.empty()) LaunchStage(run);
  else RemovalStage(run, argument);
  if (run.mutex) CloseHandle(run.mutex);
  ExitProcess(0);
}
