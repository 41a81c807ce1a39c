#include "ui/main_window/universal_procedure.h"

#include <optional>
#include <stdexcept>

#include "core/os_version.h"
#include "core/product.h"
#include "ui/main_window/app_state.h"
#include "ui/common/guard.h"
#include "ui/common/message_box.h"
#include "win32/system.h"
#include "win32/text.h"

namespace hx::ui {
namespace {

HANDLE g_instanceMutex = nullptr;

// Creates the named mutex owned by the caller; `existed` tells whether the
// name was already in use.
HANDLE CreateOwnedMutex(const char* name, bool& existed) {
  HANDLE mutex = CreateMutexW(nullptr, TRUE, win::Widen(name).c_str());
  existed = GetLastError() == ERROR_ALREADY_EXISTS;
  return mutex;
}

// Asks the running instance's panels window to come forward. Posted rather
// than sent: the running instance may answer with a notice, and this start
// must not wait for the user to close it.
void NotifyRunningInstance() {
  if (HWND clocks = FindWindowW(L"TFormClocks", nullptr)) PostMessageW(clocks, product::kMsgActivateRunning, 0, 0);
}

}  // namespace

bool CheckSingleInstance(HWND owner) {
  bool allowed = false;
  Guard("1.008 - 003.0", [&] {
    bool existed = false;
    HANDLE older = CreateOwnedMutex(product::kMutexOlderRelease, existed);
    if (existed) {
      MessageBeep(MB_OK);
      NotifyRunningInstance();
      ShowMessageBox(owner,
                     "Уже запущена программа Horavex.KT версии 1.0.0, завершите работу с ней и запустите программу "
                     "снова!",
                     product::kWarningCaption, MB_SYSTEMMODAL, "Warning");
      CloseHandle(older);
      return;
    }
    if (older) {
      ReleaseMutex(older);
      CloseHandle(older);
    }

    HANDLE same = CreateOwnedMutex(product::kMutexThisRelease, existed);
    if (existed) {
      MessageBeep(MB_OK);
      NotifyRunningInstance();
      CloseHandle(same);
      return;
    }
    if (same) ReleaseMutex(same);  // the handle stays open: the name stays in use

    HANDLE newer = CreateOwnedMutex(product::kMutexAnyRelease, existed);
    if (existed) {
      NotifyRunningInstance();
      ShowMessageBox(owner, "Уже запущена более новая версия программы!", product::kWarningCaption, MB_SYSTEMMODAL,
                     "Warning");
      CloseHandle(newer);
      return;
    }
    if (newer) ReleaseMutex(newer);
    g_instanceMutex = newer;
    allowed = true;
  });
  return allowed;
}

void ReleaseInstanceMutex() {
  if (g_instanceMutex) CloseHandle(g_instanceMutex);
  g_instanceMutex = nullptr;
}

void CheckOSVersion(const std::string& minimum) {
  Guard("1.008 - 001.0", [&] {
    const std::optional<OsVersion> version = win::QueryOsVersion();
    const OsVersionCheck check = CheckOsVersion(version, minimum);
    App().WinVersionText = check.winVersionText;
    if (check.notSupported) App().OSNotSupported = true;
    if (!version) throw std::runtime_error("Windows did not tell its version");
  });
}

}  // namespace hx::ui
