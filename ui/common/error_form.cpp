#include "ui/common/error_form.h"

#include <windows.h>
#include <mapi.h>


#include "base/files.h"
#include "base/textfile.h"
#include "core/error_log.h"
#include "core/product.h"
#include "core/program_paths.h"
#include "ui/main_window/app_state.h"
#include "ui/common/dpi_layout.h"
#include "ui/common/guard.h"
#include "ui/common/modal.h"
#include "win32/system.h"
#include "win32/system_dll.h"
#include "win32/text.h"

namespace hx::ui {
namespace {

constexpr wchar_t kClassName[] = L"TFormError";
constexpr int kClientWidth = 528;
constexpr int kClientHeight = 172;
constexpr int kIconLeft = 16, kIconSize = 48;  // the error icon, from the client's top left corner
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

enum ControlId {
  kLabel1 = 101,  // the heading: an error in the program
  kLabel2,        // the internal error code
  kLabel6,        // the apology
  kLabel3,        // the advice to reinstall
  kLabel5,        // "choose what to do"
  kButton4 = 201, // "Сообщить автору...": mail the log to the maker
  kButton3,       // "Игнорировать": go on
  kButton2,       // "Закрыть программу": end the program
};

bool g_dialogOpen = false;

struct ErrorForm {
  std::string codeCaption;
  HFONT font = nullptr;
  HFONT boldFont = nullptr;
  HFONT titleFont = nullptr;
  HICON errorIcon = nullptr;
  HWND focus = nullptr;  // the control that has the keyboard while the dialog is active
};

HWND AddControl(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int id, int x, int y, int w,
                int h, HFONT font) {
  HWND c = CreateWindowExW(0, cls, win::Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

void FormCreate(HWND window, ErrorForm& form) {
  g_dialogOpen = true;
  form.font = CreateTahoma(11);
  form.boldFont = CreateTahoma(11, FW_BOLD);
  form.titleFont = CreateTahoma(16, FW_NORMAL, true);
  const int iconSize = ScaledLength(window, kIconSize);
  form.errorIcon =
      static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(32513), IMAGE_ICON, iconSize, iconSize, 0));
  const int x = 84, w = kClientWidth - x - 12;
  AddControl(window, L"STATIC", "Ошибка в работе программы Horavex.KT !", SS_LEFT, kLabel1, x, 14, w, 20, form.titleFont);
  AddControl(window, L"STATIC", form.codeCaption, SS_LEFT | SS_NOPREFIX, kLabel2, x, 42, w, 16, form.font);
  AddControl(window, L"STATIC", "Приносим извинения за неудобства.", SS_LEFT, kLabel6, x, 62, w, 16, form.font);
  AddControl(window, L"STATIC", "Если ошибка будет повторяться, переустановите программу. ", SS_LEFT, kLabel3, x, 80, w,
             16, form.font);
  AddControl(window, L"STATIC", "Выберите действие которое нужно выполнить:", SS_LEFT, kLabel5, x, 106, w, 16, form.font);
  AddControl(window, L"BUTTON", "&Сообщить автору...", BS_PUSHBUTTON | WS_TABSTOP, kButton4, x, 134, 150, 26,
             form.boldFont);
  form.focus = AddControl(window, L"BUTTON", "&Игнорировать", BS_DEFPUSHBUTTON | WS_TABSTOP, kButton3, x + 158, 134,
                          120, 26, form.font);
  AddControl(window, L"BUTTON", "&Закрыть программу", BS_PUSHBUTTON | WS_TABSTOP, kButton2, x + 286, 134, w - 286, 26,
             form.font);
}

// "Закрыть программу": the message loop ends and the program exits.
void Button2Click(HWND window) {
  EnableWindow(window, FALSE);
  PostQuitMessage(0);
}

// "Игнорировать": the program goes on.
void Button3Click(HWND window) {
  EnableWindow(window, FALSE);
  DestroyWindow(window);
}

// Hands the log to the user's mail program through Simple MAPI. A missing
// mail program, or any failure of the call, is ignored.
void MailLogToAuthor(HWND window, const Path& log) {
  HMODULE mapi = win::LoadSystemLibrary(L"mapi32.dll");
  if (!mapi) return;
  auto send = reinterpret_cast<LPMAPISENDMAIL>(reinterpret_cast<void*>(GetProcAddress(mapi, "MAPISendMail")));
  if (send) {
    // Simple MAPI takes ANSI text.
    std::string subject = win::ToCodePage("Отчет об ошибках", CP_ACP);
    std::string address = product::kSupportAddress;
    std::string recipientAddress = "SMTP:" + address;
    std::string path = win::ToCodePage(win::Narrow(log.wstring()), CP_ACP);
    MapiRecipDesc recipient{};
    recipient.ulRecipClass = MAPI_TO;
    recipient.lpszName = address.data();
    recipient.lpszAddress = recipientAddress.data();
    MapiFileDesc attachment{};
    attachment.nPosition = 2;
    attachment.lpszPathName = path.data();
    MapiMessage message{};
    message.lpszSubject = subject.data();
    message.nRecipCount = 1;
    message.lpRecips = &recipient;
    message.nFileCount = 1;
    message.lpFiles = &attachment;
    ShowWindow(window, SW_HIDE);
    send(0, 0, &message, MAPI_LOGON_UI | MAPI_DIALOG, 0);
    ShowWindow(window, SW_SHOW);
  }
  FreeLibrary(mapi);
}

// "Сообщить автору...": mail the log, then start a new one.
void Button4Click(HWND window) {
  MessageBoxW(nullptr,
              L"Не изменяйте содержимое вложенного файла. Если вы заметили какие-либо закономерности при появлении "
              L"ошибки, пожалуйста, опишите их в письме. После закрытия окна отправки письма, окно с сообщением об "
              L"ошибке будет показано снова.",
              L"Предупреждение...", MB_OK | MB_ICONWARNING | MB_SYSTEMMODAL);
  const Path log = paths::ErrorLogFile(App().folder);
  const Path sent = paths::SentErrorLogFile(App().folder);
  MailLogToAuthor(window, log);
  files::Remove(sent);
  RenameReplacing(log, sent);
  EnableWindow(GetDlgItem(window, kButton4), FALSE);
  SetFocus(GetDlgItem(window, kButton3));
}

LRESULT CALLBACK ErrorFormProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  ErrorForm* form = FormOfWindow<ErrorForm>(window, msg, lParam);
  switch (msg) {
    case WM_CREATE:
      Guard("1.006 - 006.0", [&] { FormCreate(window, *form); });
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kButton2: Guard("1.006 - 003.0", [&] { Button2Click(window); }); return 0;
        case kButton3:
        case IDCANCEL: Guard("1.006 - 004.0", [&] { Button3Click(window); }); return 0;
        case kButton4: Guard("1.006 - 007.0", [&] { Button4Click(window); }); return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kLabel1) {
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 0, 0));
      }
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      if (form && form->errorIcon) {
        const int at = ScaledLength(window, kIconLeft), size = ScaledLength(window, kIconSize);
        DrawIconEx(dc, at, at, form->errorIcon, size, size, 0, nullptr, DI_NORMAL);
      }
      EndPaint(window, &ps);
      return 0;
    }
    case WM_ACTIVATE:
      // The keyboard starts on the default button and comes back to the
      // control that had it when the dialog is activated again.
      if (KeepFocusAcrossActivation(window, wParam, form->focus)) return 0;
      break;
    case WM_CLOSE:
      return 0;  // only the buttons close the dialog
    case WM_DESTROY:
      Guard("1.006 - 005.0", [&] {
        g_dialogOpen = false;
        DeleteObject(form->font);
        DeleteObject(form->boldFont);
        DeleteObject(form->titleFont);
        if (form->errorIcon) DestroyIcon(form->errorIcon);
      });
      return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

void AppendRecord(const std::string& code, const std::string& className, const std::string& dump) {
  files::CreateFolders(paths::ErrorLogFolder(App().folder));
  ErrorRecord record;
  record.when = win::LocalNow();
  record.winVersion = App().WinVersionText;
  record.user = win::CurrentUserName();
  record.computer = win::ComputerName();
  record.code = code;
  record.type = className;
  record.dump = dump;
  AppendTextFile(paths::ErrorLogFile(App().folder), FormatErrorRecord(record));
}

}  // namespace

bool ErrorDialogOpen() { return g_dialogOpen; }

void RegisterErrorFormClass(void* instance) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ErrorFormProc;
  wc.hInstance = static_cast<HINSTANCE>(instance);
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kClassName;
  RegisterClassW(&wc);
}

void ReportError(const std::string& code, const std::string& className, const std::string& dump) {
  if (g_dialogOpen) return;
  // A log that cannot be written (a full disk, a read-only folder) costs
  // the record only; the user still learns of the failure.
  try {
    AppendRecord(code, className, dump);
  } catch (const std::exception&) {
  }

  ErrorForm form;
  form.codeCaption = ErrorCodeCaption(code, className);
  const RECT r = CenteredWindowRect(kClientWidth, kClientHeight, kStyle, kExStyle);
  HWND window = CreateWindowExW(kExStyle, kClassName, L"Ошибка в работе программы...", kStyle, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), &form);
  if (!window) throw std::runtime_error("cannot create the error dialog");
  MessageBeep(MB_ICONHAND);
  RunModal(window);
}

}  // namespace hx::ui
