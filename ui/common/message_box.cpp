#include "ui/common/message_box.h"

#include "ui/common/guard.h"
#include "win32/text.h"

namespace hx::ui {

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags,
                   const std::string& kind) {
  int result = 0;
  Guard("1.008 - 002.0", [&] {
    if (kind == "Warning") flags += MB_ICONWARNING;
    else if (kind == "Info") flags += MB_ICONINFORMATION;
    else if (kind == "Quest") flags += MB_ICONQUESTION;
    else if (kind == "Error") flags += MB_ICONERROR;
    result = MessageBoxW(nullptr, win::Widen(text).c_str(), win::Widen(caption).c_str(), flags);
    if (owner) SetForegroundWindow(owner);
  });
  return result;
}

void ShowWarningNotice(const std::string& text) {
  MessageBoxW(nullptr, win::Widen(text).c_str(), L"Предупреждение", MB_OK | MB_ICONWARNING | MB_TASKMODAL);
}

void ShowSystemWarning(const std::string& text, const std::string& caption) {
  MessageBoxW(nullptr, win::Widen(text).c_str(), win::Widen(caption).c_str(), MB_OK | MB_ICONWARNING | MB_SYSTEMMODAL);
}

void ShowUnreportedFailure(const char* what) {
  const std::string text =
      std::string("В работе программы произошла ошибка, но окно сообщения об ошибке не удалось показать.\r\n\r\n"
                  "Подробности: ") + what;
  MessageBoxW(nullptr, win::Widen(text).c_str(), L"Horavex.KT - Ошибка...", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace hx::ui
