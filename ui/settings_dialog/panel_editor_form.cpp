#include "ui/settings_dialog/panel_editor_form.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/zones.h"
#include "panels/clocks_file.h"
#include "panels/panel_editor.h"
#include "panels/panel_layout.h"
#include "ui/main_window/app_state.h"
#include "ui/panels_window/clocks_form.h"
#include "ui/common/dpi_layout.h"
#include "ui/common/guard.h"
#include "ui/common/message_box.h"
#include "ui/common/modal.h"
#include "ui/panels_window/panel_control.h"
#include "ui/settings_dialog/zone_list.h"
#include "win32/system.h"
#include "win32/text.h"

namespace hx::ui {
namespace {

constexpr wchar_t kClassName[] = L"TFormSign";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

enum ControlId {
  kGroupBox1 = 101,  // "Внешний вид": the look group
  kLabeledEdit1,     // the panel's caption ("Заголовок")
  kLabel,            // the caption edit's label
  kPanelFrame,       // the preview panel's frame
  kPanel3,           // preview: the caption line
  kPanel6,           // preview: the time line
  kPanel11,          // colour swatch: caption background
  kPanel4,           // colour swatch: caption text
  kPanel2,           // colour swatch: time-line background
  kPanel5,           // colour swatch: time-line text
  kGroupBox2,        // "Время": the time zone group
  kComboBox1,        // the time zone list
  kBitBtn1,          // help
};

// Layout, in client pixels. The preview is a panel of the panels window at
// its real size: a frame with the caption line and the value line.
constexpr int kClientWidth = 334;
constexpr int kClientHeight = 236;
constexpr int kMargin = 8;
constexpr int kInner = kMargin + 12;  // left edge of a group's contents
constexpr int kGroup1Top = 6;
constexpr int kEditTop = 28;
constexpr int kEditWidth = 192;
constexpr int kEditHeight = 23;
constexpr int kFrameTop = 62;
constexpr int kSwatchLeft = kInner + kPanelWidth + 12;
constexpr int kSwatchWidth = 96;
constexpr int kSwatchGap = 6;
constexpr int kGroup1Height = kFrameTop + kPanelHeight + 12 - kGroup1Top;
constexpr int kGroup2Top = kGroup1Top + kGroup1Height + 6;
constexpr int kComboTop = kGroup2Top + 20;
constexpr int kGroup2Height = 56;
constexpr int kButtonsTop = kGroup2Top + kGroup2Height + 10;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

// The colours chosen in this session, offered again in every chooser.
COLORREF g_customColours[16] = {
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
};

struct SignForm {
  std::optional<size_t> editIndex;  // nothing: a new panel
  std::optional<PanelEditor> editor;
  bool accepted = false;
  bool created = false;
  HWND LabeledEdit1 = nullptr;               // the caption
  HWND Panel3 = nullptr, Panel6 = nullptr;  // the preview's caption and time lines
  // Colour swatches: caption background and text, time-line background and text.
  HWND Panel11 = nullptr, Panel4 = nullptr, Panel2 = nullptr, Panel5 = nullptr;
  HWND ComboBox1 = nullptr;  // the time zone list
  HWND lastFocus = nullptr;
  HFONT font = nullptr;         // Tahoma 8 pt, the dialog's
  HFONT editFont = nullptr;     // 10 pt, the caption edit's
  HFONT captionFont = nullptr;  // 10 pt, the preview's caption line
  HFONT valueFont = nullptr;    // 9 pt, the preview's value line
  HICON helpIcon = nullptr;
};

COLORREF Colour(int value) { return static_cast<COLORREF>(value) & 0x00FFFFFF; }

std::string TextOf(HWND control) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return win::Narrow(text);
}

HWND AddControl(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, int id, int x, int y, int w,
                int h, HFONT font, DWORD exStyle = 0) {
  HWND c =
      CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, x, y, w, h, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!c) throw std::runtime_error("cannot create a control of the panel editor");
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

void AddHint(HWND tooltip, HWND window, HWND control, const wchar_t* text) {
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = window;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = const_cast<wchar_t*>(text);
  SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void ShowZoneChoice(const SignForm& form) {
  const auto index = form.editor->ZoneIndex();
  SendMessageW(form.ComboBox1, CB_SETCURSEL, index ? static_cast<WPARAM>(*index) : static_cast<WPARAM>(-1), 0);
  EnableWindow(form.ComboBox1, form.editor->ZoneListEnabled());
}

void FormCreate(HWND window, SignForm& form) {
  AppState& app = App();
  std::vector<std::string> zones = ListZonesInUserOrder();
  const std::string& localZone = app.localZone.LocalZoneName;
  // The catalogue's key and standard offset of every listed zone: the
  // record keeps the key, and its offset comes from the zone's rules.
  std::vector<ZoneChoice> choices = DescribeZones(app.registry, zones, win::LocalNow().year);
  if (form.editIndex)
    form.editor =
        PanelEditor::ForRecord(std::move(zones), app.panels.at(*form.editIndex), localZone, std::move(choices));
  else
    form.editor = PanelEditor::ForNewPanel(std::move(zones), localZone, std::move(choices));

  form.font = CreateTahomaPoints(8);
  form.editFont = CreateTahomaPoints(10);
  form.captionFont = CreateTahomaPoints(10);
  form.valueFont = CreateTahomaPoints(9);
  HFONT font = form.font;
  const int groupWidth = kClientWidth - 2 * kMargin;

  // Creation order is the Tab order (caption, colours by rows, zone,
  // buttons) and the stacking order: the frames come last, beneath the
  // controls they hold, and every control clips its lower siblings away.
  // A field's label comes just before it: a screen reader names the field
  // by it.
  AddControl(window, L"STATIC", L"   Заголовок", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, kLabel, kInner + kEditWidth,
             kEditTop, kClientWidth - kInner - kEditWidth - kInner, kEditHeight, font);
  form.LabeledEdit1 = AddControl(window, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, kLabeledEdit1, kInner,
                                 kEditTop, kEditWidth, kEditHeight, form.editFont, WS_EX_CLIENTEDGE);
  SendMessageW(form.LabeledEdit1, EM_LIMITTEXT, kMaxPanelCaptionLength, 0);

  const int row1 = kFrameTop + kCaptionLineRect.top, row2 = kFrameTop + kValueLineRect.top;
  const int column2 = kSwatchLeft + kSwatchWidth + kSwatchGap;
  form.Panel3 = AddControl(window, L"STATIC", L"", SS_OWNERDRAW, kPanel3, kInner + kCaptionLineRect.left, row1,
                           kCaptionLineRect.width, kCaptionLineRect.height, form.captionFont);
  form.Panel6 = AddControl(window, L"STATIC", L"11 : 00", SS_OWNERDRAW, kPanel6, kInner + kValueLineRect.left, row2,
                           kValueLineRect.width, kValueLineRect.height, form.valueFont);
  AddControl(window, L"STATIC", L"", SS_OWNERDRAW, kPanelFrame, kInner, kFrameTop, kPanelWidth, kPanelHeight, font);
  // Each swatch shows its short text (see SwatchText); its window text says
  // which line it colours, so that a screen reader tells the four apart.
  const DWORD swatch = BS_OWNERDRAW | WS_TABSTOP;
  form.Panel11 = AddControl(window, L"BUTTON", L"Цвет фона заголовка", swatch, kPanel11, kSwatchLeft, row1,
                            kSwatchWidth, kCaptionLineRect.height, font);
  form.Panel4 = AddControl(window, L"BUTTON", L"Цвет текста заголовка", swatch, kPanel4, column2, row1, kSwatchWidth,
                           kCaptionLineRect.height, font);
  form.Panel2 = AddControl(window, L"BUTTON", L"Цвет фона времени", swatch, kPanel2, kSwatchLeft, row2, kSwatchWidth,
                           kValueLineRect.height, font);
  form.Panel5 = AddControl(window, L"BUTTON", L"Цвет текста времени", swatch, kPanel5, column2, row2, kSwatchWidth,
                           kValueLineRect.height, font);

  // The zone list's frame is its label, so it comes just before it; it
  // lies beside the list, not under it, and hands the mouse through.
  AddControl(window, L"BUTTON", L"   Время     ", BS_GROUPBOX, kGroupBox2, kMargin, kGroup2Top, groupWidth,
             kGroup2Height, font);
  form.ComboBox1 = AddControl(window, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                              kComboBox1, kInner, kComboTop, kClientWidth - 2 * kInner, 200, font);
  // Above the list in the z-order, the frame would clip it away entirely:
  // the list alone draws over the frame's inside.
  SetWindowLongPtrW(form.ComboBox1, GWL_STYLE, GetWindowLongPtrW(form.ComboBox1, GWL_STYLE) & ~WS_CLIPSIBLINGS);
  FillZoneList(form.ComboBox1, form.editor->Zones());
  ShowZoneChoice(form);

  // The icon shows; the text names the button for a screen reader.
  HWND help = AddControl(window, L"BUTTON", L"Справка", BS_PUSHBUTTON | BS_ICON | WS_TABSTOP | WS_GROUP, kBitBtn1,
                         kMargin, kButtonsTop, kButtonHeight + 2, kButtonHeight, font);
  form.helpIcon = LoadHelpGlyph(window);
  if (form.helpIcon) SendMessageW(help, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(form.helpIcon));
  const int cancelLeft = kClientWidth - kMargin - kButtonWidth;
  const int okLeft = cancelLeft - 6 - kButtonWidth;
  HWND ok = AddControl(window, L"BUTTON", L"Ok", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, okLeft, kButtonsTop,
                       kButtonWidth, kButtonHeight, font);
  HWND cancel = AddControl(window, L"BUTTON", L"Отмена", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, cancelLeft, kButtonsTop,
                           kButtonWidth, kButtonHeight, font);

  AddControl(window, L"BUTTON", L"   Внешний вид     ", BS_GROUPBOX, kGroupBox1, kMargin, kGroup1Top, groupWidth,
             kGroup1Height, font);

  HWND tooltip =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (tooltip) {
    AddHint(tooltip, window, ok, L"Закрыть окно и сохранить изменения");
    AddHint(tooltip, window, cancel, L"Закрыть окно и отменить изменения");
    AddHint(tooltip, window, help, L"Справка");
  }

  const std::wstring caption = win::Widen(form.editor->Caption());
  SetWindowTextW(form.LabeledEdit1, caption.c_str());
  SetWindowTextW(form.Panel3, caption.c_str());
  SendMessageW(form.LabeledEdit1, EM_SETSEL, 0, -1);
  form.lastFocus = form.LabeledEdit1;
  form.created = true;
}

// --- Drawing: the preview as the panels window draws its panels, and the
// colour buttons in their line's colours. ---

void FillWith(HDC dc, const RECT& r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void DrawCentredText(HDC dc, HWND control, RECT r, COLORREF colour, const std::wstring& text) {
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, oldFont);
}

void DrawLine(const DRAWITEMSTRUCT& item, int background, int text, bool sunken) {
  RECT r = item.rcItem;
  FillWith(item.hDC, r, Colour(background));
  DrawEdge(item.hDC, &r, EdgeFlags(LineBevels(sunken)), BF_RECT);
  DrawCentredText(item.hDC, item.hwndItem, r, Colour(text), win::Widen(TextOf(item.hwndItem)));
}

// The frame around the two lines; the lines lie above it.
void DrawFrame(const DRAWITEMSTRUCT& item) {
  RECT r = item.rcItem;
  FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(item.hDC, &r, EdgeFlags(FrameBevels(App().settings.BorderA)), BF_RECT);
}

// What a colour swatch shows: the same two words on both lines.
const wchar_t* SwatchText(UINT id) {
  return id == kPanel11 || id == kPanel2 ? L"Цвет фона" : L"Цвет текста";
}

void DrawSwatch(const DRAWITEMSTRUCT& item, int background, int text) {
  RECT r = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  FillWith(item.hDC, r, Colour(background));
  DrawEdge(item.hDC, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  RECT textRect = r;
  if (pressed) OffsetRect(&textRect, 1, 1);
  DrawCentredText(item.hDC, item.hwndItem, textRect, Colour(text), SwatchText(item.CtlID));
  if (item.itemState & ODS_FOCUS) {
    RECT focus = r;
    InflateRect(&focus, -3, -3);
    SetTextColor(item.hDC, RGB(0, 0, 0));
    SetBkColor(item.hDC, RGB(255, 255, 255));
    DrawFocusRect(item.hDC, &focus);
  }
}

void DrawItem(const SignForm& form, const DRAWITEMSTRUCT& item) {
  if (!form.editor) return;
  const PanelEditor& e = *form.editor;
  const ProgramSettings& s = App().settings;
  const int captionBackground = e.Colour(PanelColour::CaptionBackground);
  const int captionText = e.Colour(PanelColour::CaptionText);
  const int valueBackground = e.Colour(PanelColour::ValueBackground);
  const int valueText = e.Colour(PanelColour::ValueText);
  switch (item.CtlID) {
    case kPanelFrame:
      DrawFrame(item);
      break;
    case kPanel3:
      DrawLine(item, captionBackground, captionText, s.BorderC);
      break;
    case kPanel6:
      DrawLine(item, valueBackground, valueText, s.BorderT);
      break;
    case kPanel11:
    case kPanel4:
      DrawSwatch(item, captionBackground, captionText);
      break;
    case kPanel2:
    case kPanel5:
      DrawSwatch(item, valueBackground, valueText);
      break;
  }
}

// --- Handlers. ---

void LabeledEdit1Change(SignForm& form) {
  if (!form.created) return;
  form.editor->SetCaption(TextOf(form.LabeledEdit1));
  SetWindowTextW(form.Panel3, win::Widen(form.editor->Caption()).c_str());
  InvalidateRect(form.Panel3, nullptr, FALSE);
}

// Opens the colour chooser on the colour's current value; a confirmed
// choice repaints the line's preview and both its buttons.
void ColourButtonClick(HWND window, SignForm& form, PanelColour colour) {
  CHOOSECOLORW chooser{};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = window;
  chooser.rgbResult = Colour(form.editor->Colour(colour));
  chooser.lpCustColors = g_customColours;
  chooser.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_SOLIDCOLOR | CC_RGBINIT;
  if (!ChooseColorW(&chooser)) return;
  form.editor->SetColour(colour, static_cast<int>(chooser.rgbResult & 0x00FFFFFF));
  const bool caption = LineOf(colour) == PanelLine::Caption;
  const std::array<HWND, 3> line = caption ? std::array<HWND, 3>{form.Panel3, form.Panel11, form.Panel4}
                                           : std::array<HWND, 3>{form.Panel6, form.Panel2, form.Panel5};
  for (HWND control : line) InvalidateRect(control, nullptr, FALSE);
}

void ComboBox1Change(SignForm& form) {
  const auto index = SendMessageW(form.ComboBox1, CB_GETCURSEL, 0, 0);
  if (index >= 0) form.editor->ChooseZone(static_cast<size_t>(index));
}

// Stores the panel, rebuilds the panels window and closes.
void ButtonOkClick(HWND window, SignForm& form) {
  AppState& app = App();
  form.editor->SetCaption(TextOf(form.LabeledEdit1));
  const ClockPanel record = form.editor->Result();
  if (form.editIndex) {
    app.panels.at(*form.editIndex) = record;
  } else if (!AddPanel(app.panels, record)) {
    throw std::length_error("the panel list is full");
  }
  DeleteOldPanels();
  ProcessingClocksPanels();
  form.accepted = true;
  DestroyWindow(window);
}

void BitBtn1Click() {
  const std::wstring page = App().folder.wstring() + L"\\Help\\index.htm";
  ShellExecuteW(nullptr, nullptr, page.c_str(), nullptr, nullptr, SW_SHOW);
}

void OnCommand(HWND window, SignForm& form, int id, int code) {
  if (id == kLabeledEdit1) {
    if (code == EN_CHANGE) Guard(kCodeSignCaptionChange, [&] { LabeledEdit1Change(form); });
    return;
  }
  if (id == kComboBox1) {
    if (code == CBN_SELCHANGE) ComboBox1Change(form);
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDOK:
      Guard(kCodeSignButtonOk, [&] { ButtonOkClick(window, form); });
      break;
    case IDCANCEL:
      Guard(kCodeSignButtonCancel, [&] { DestroyWindow(window); });
      break;
    case kBitBtn1:
      Guard(kCodeSignHelp, [] { BitBtn1Click(); });
      break;
    case kPanel11:
      Guard(kCodeSignCaptionBackground, [&] { ColourButtonClick(window, form, PanelColour::CaptionBackground); });
      break;
    case kPanel4:
      Guard(kCodeSignCaptionText, [&] { ColourButtonClick(window, form, PanelColour::CaptionText); });
      break;
    case kPanel2:
      Guard(kCodeSignValueBackground, [&] { ColourButtonClick(window, form, PanelColour::ValueBackground); });
      break;
    case kPanel5:
      Guard(kCodeSignValueText, [&] { ColourButtonClick(window, form, PanelColour::ValueText); });
      break;
  }
}

LRESULT CALLBACK SignFormProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  SignForm* form = FormOfWindow<SignForm>(window, msg, lParam);
  switch (msg) {
    case WM_CREATE:
      Guard(kCodeSignFormCreate, [&] { FormCreate(window, *form); });
      return form->created ? 0 : -1;  // no half-built editor
    case WM_COMMAND:
      if (form && form->created) OnCommand(window, *form, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_DRAWITEM:
      if (form) DrawItem(*form, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_ACTIVATE:
      // The focus leaves with the window and comes back to the same control.
      if (!form) break;
      KeepFocusAcrossActivation(window, wParam, form->lastFocus);
      return 0;
    case WM_CLOSE:  // Alt+F4: the Cancel path
      if (form) OnCommand(window, *form, IDCANCEL, BN_CLICKED);
      return 0;
    case WM_DESTROY:
      if (form) {
        for (HFONT f : {form->font, form->editFont, form->captionFont, form->valueFont})
          if (f) DeleteObject(f);
        if (form->helpIcon) DestroyIcon(form->helpIcon);
      }
      return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

void RegisterSignFormClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSW wc{};
  wc.lpfnWndProc = SignFormProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kClassName;
  if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw std::runtime_error("cannot register the panel editor's class");
  registered = true;
}

}  // namespace

bool RunPanelEditor(HWND owner, std::optional<size_t> editIndex) {
  AppState& app = App();
  if (editIndex && *editIndex >= app.panels.size()) return false;
  if (!editIndex && !CanAddPanel(app.panels)) {
    ShowWarningNotice("Больше " + std::to_string(kMaxLoadedPanels) + " панелей добавить нельзя.");
    return false;
  }
  RegisterSignFormClass();
  SignForm form;
  form.editIndex = editIndex;
  const RECT r = CenteredWindowRect(kClientWidth, kClientHeight, kStyle, kExStyle);
  HWND window =
      CreateWindowExW(kExStyle, kClassName, L"Редактирование панели часов", kStyle, r.left, r.top, r.right - r.left,
                      r.bottom - r.top, owner ? owner : app.mainWindow, nullptr, GetModuleHandleW(nullptr), &form);
  if (!window) return false;  // creation failed and was reported
  RunModal(window);
  return form.accepted;
}

}  // namespace hx::ui
