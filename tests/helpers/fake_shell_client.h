// Commands to a running fake_shell from a test program. A command is handed
// to the shell's control window with WM_COPYDATA and is carried out when the
// call returns, so a test never waits for it to take effect.
#pragma once
#include <windows.h>

#include <string>

namespace hx::fake_shell {

inline constexpr wchar_t kControlClass[] = L"HxFakeShellControl";
inline constexpr ULONG_PTR kCommandTag = 0x48584653;  // "HXFS"

enum class SendResult { Done, NoShell, Refused };

// The control window of the fake_shell process `processId`, or nullptr.
inline HWND ControlWindow(DWORD processId) {
  for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, kControlClass, nullptr); w;
       w = FindWindowExW(HWND_MESSAGE, w, kControlClass, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == processId) return w;
  }
  return nullptr;
}

// Carries out `command` (ASCII) in the fake_shell process `processId`.
inline SendResult Send(DWORD processId, const std::string& command) {
  HWND control = ControlWindow(processId);
  if (!control) return SendResult::NoShell;
  std::string text = command;
  COPYDATASTRUCT data = {kCommandTag, static_cast<DWORD>(text.size()), text.data()};
  DWORD_PTR result = 0;
  // A loaded machine can be slow, but a command never takes a minute.
  if (!SendMessageTimeoutW(control, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 60000, &result))
    return SendResult::NoShell;
  return result == 1 ? SendResult::Done : SendResult::Refused;
}

}  // namespace hx::fake_shell
