#include "ui/settings_dialog/settings_panels_tab.h"

#include <algorithm>
#include <string>

#include "core/dpi.h"
#include "core/product.h"
#include "settings/panel_list.h"
#include "ui/main_window/app_state.h"
#include "ui/panels_window/clocks_form.h"
#include "ui/common/guard.h"
#include "ui/common/message_box.h"
#include "ui/settings_dialog/panel_editor_form.h"
#include "ui/settings_dialog/settings_page.h"
#include "win32/dpi.h"
#include "win32/text.h"

namespace hx::ui {
namespace {

enum ControlId {
  kList = 401,  // the panel list, a check box per panel for its visibility
  kButton4,     // "Добавить": add a zone panel
  kButton2,     // "Редактировать": edit the selected panel
  kButton3,     // "Удалить": delete the selected zone panel
  kButton1,     // "Вверх": move the selected panel up
  kButton5,     // "Вниз": move the selected panel down
  kPanel1,      // the hint strip under the list
};

// Layout inside the tab's page.
constexpr int kListLeft = 0, kListTop = 2, kListWidth = 392, kListHeight = 146;
constexpr int kStripHeight = 20, kStripGap = 4;
constexpr int kButtonWidth = 115, kButtonHeight = 25, kButtonGap = 5;

bool IsChecked(HWND list, size_t row) {
  return ((ListView_GetItemState(list, static_cast<int>(row), LVIS_STATEIMAGEMASK) >> 12) - 1) == 1;
}

void SetChecked(HWND list, size_t row, bool checked) {
  ListView_SetItemState(list, static_cast<int>(row), INDEXTOSTATEIMAGEMASK(checked ? 2 : 1), LVIS_STATEIMAGEMASK);
}

// A button disabled while it has the keyboard focus loses it (the focus
// then lies nowhere): it goes to the list.
void KeepFocusUsable(HWND list, HWND focusBefore) {
  HWND focus = GetFocus();
  if ((focus && !IsWindowEnabled(focus)) || (!focus && focusBefore && IsChild(GetParent(list), focusBefore)))
    SetFocus(list);
}

}  // namespace

void PanelsTab::Create(HWND dialog, HWND page, HFONT font, int pageHeight) {
  dialog_ = dialog;
  const int listHeight = std::min(kListHeight, pageHeight - kListTop - kStripGap - kStripHeight - 2);
  list_ = AddControl(page, WC_LISTVIEWW, "",
                     LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER | WS_TABSTOP | WS_GROUP, kList,
                     kListLeft, kListTop, kListWidth, listHeight, font, WS_EX_CLIENTEDGE);
  ListView_SetExtendedListViewStyle(list_, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  // Not shown; a screen reader names the list by it, as the tab is named.
  SetWindowTextW(list_, L"Добавление часовых панелей");
  RECT client{};
  GetClientRect(list_, &client);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = client.right - win::SystemMetricForDpi(SM_CXVSCROLL, kBaseDpi);  // in 96-DPI units, as the list
  ListView_InsertColumn(list_, 0, &column);

  RECT pageRect{};
  GetClientRect(page, &pageRect);
  const int buttonLeft = pageRect.right - kButtonWidth;
  int y = kListTop;
  auto button = [&](const char* caption, int id, bool first) {
    HWND b = AddControl(page, L"BUTTON", caption, BS_PUSHBUTTON | WS_TABSTOP | (first ? WS_GROUP : 0), id,
                        buttonLeft, y, kButtonWidth, kButtonHeight, font);
    y += kButtonHeight + kButtonGap;
    return b;
  };
  add_ = button("Добавить", kButton4, true);
  edit_ = button("Редактировать", kButton2, false);
  delete_ = button("Удалить", kButton3, false);
  up_ = button("Вверх", kButton1, false);
  down_ = button("Вниз", kButton5, false);
  EnableWindow(edit_, FALSE);
  EnableWindow(delete_, FALSE);
  EnableWindow(up_, FALSE);
  EnableWindow(down_, FALSE);
  AddControl(page, L"STATIC", " Если галочка отключена, панель не видима.",
             SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | SS_SUNKEN, kPanel1, kListLeft,
             kListTop + listHeight + kStripGap, kListWidth, kStripHeight, font);
}

std::optional<size_t> PanelsTab::Selected() const {
  const int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
  if (row < 0) return std::nullopt;
  return static_cast<size_t>(row);
}

void PanelsTab::Select(size_t row) {
  const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
  ListView_SetItemState(list_, static_cast<int>(row), both, both);
  ListView_EnsureVisible(list_, static_cast<int>(row), FALSE);
  lastSelected_ = row;
}

// The list is rebuilt from the panel list, never patched.
void PanelsTab::Fill(size_t select) {
  const PanelList& panels = App().panels;
  filling_ = true;
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list_);
  for (size_t i = 0; i < panels.size(); ++i) {
    std::wstring name = win::Widen(panels[i].Name);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = name.data();
    ListView_InsertItem(list_, &item);
    SetChecked(list_, i, panels[i].Visible);
  }
  if (!panels.empty()) Select(select < panels.size() ? select : 0);
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
  filling_ = false;
  ChangeClockPanel();
}

// The buttons follow the selected row.
void PanelsTab::ChangeClockPanel() {
  Guard("1.004 - 004.0", [this] {
    const PanelListButtons b = PanelListButtonStates(App().panels, Selected());
    HWND focus = GetFocus();
    EnableWindow(add_, b.add);
    EnableWindow(edit_, b.edit);
    EnableWindow(delete_, b.remove);
    EnableWindow(up_, b.up);
    EnableWindow(down_, b.down);
    KeepFocusUsable(list_, focus);
  });
}

// Runs once the selection has settled after a change by mouse or keyboard.
// The list always keeps a selected row: a click on its empty part, which
// would leave none, selects the last selected row again.
void PanelsTab::OnSelectionChanged() {
  refreshPosted_ = false;
  Guard("1.004 - 025.0", [this] {
    const int count = ListView_GetItemCount(list_);
    if (const auto row = Selected())
      lastSelected_ = *row;
    else if (count > 0)
      Select(lastSelected_ < static_cast<size_t>(count) ? lastSelected_ : 0);
  });
  ChangeClockPanel();
}

// The panels window comes back in front when shown again on some systems;
// the dialog stays above it.
void PanelsTab::KeepDialogInFront() {
  SetWindowPos(dialog_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void PanelsTab::Rebuild() {
  DeleteOldPanels();
  ProcessingClocksPanels();
  KeepDialogInFront();
}

void PanelsTab::EditSelectedPanel() {
  Guard("1.004 - 018.0", [this] {
    const auto row = Selected();
    if (!row) return;
    if (RunPanelEditor(dialog_, *row)) Fill(*row);
    KeepDialogInFront();
  });
}

void PanelsTab::AddClick() {
  Guard("1.004 - 022.0", [this] {
    if (App().panels.size() >= kMaxPanels) return;
    if (RunPanelEditor(dialog_, std::nullopt)) Fill(0);
    KeepDialogInFront();
  });
}

void PanelsTab::DeleteClick() {
  Guard("1.004 - 024.0", [this] {
    const auto row = Selected();
    if (!row || !DeletePanel(App().panels, *row)) return;
    Fill(0);
    Rebuild();
  });
}

void PanelsTab::MoveClick(int delta) {
  Guard(delta < 0 ? "1.004 - 027.0" : "1.004 - 028.0", [&] {
    Guard("1.004 - 026.0", [&] {
      const auto row = Selected();
      if (!row || !MovePanel(App().panels, *row, delta)) return;
      Fill(delta < 0 ? *row - 1 : *row + 1);
      Rebuild();
    });
  });
}

// Unticking the last visible panel is refused: the row is ticked again.
void PanelsTab::CheckToggled(size_t row, bool checked) {
  Guard("1.004 - 021.0", [&] {
    switch (SetPanelVisible(App().panels, row, checked)) {
      case VisibilityChange::Shown:
      case VisibilityChange::Hidden:
        Rebuild();
        break;
      case VisibilityChange::RefusedLastVisible: {
        filling_ = true;
        SetChecked(list_, row, true);
        filling_ = false;
        // The box has no owner; the dialog waits for it all the same.
        EnableWindow(dialog_, FALSE);
        ShowMessageBox(nullptr, kLastVisiblePanelText, std::string(product::kNameAndVersion) + " - Warning...",
                       MB_OK, "Warning");
        EnableWindow(dialog_, TRUE);
        SetForegroundWindow(dialog_);
        SetFocus(list_);
        break;
      }
      case VisibilityChange::Unchanged:
        break;
    }
  });
}

// A double click on a row opens the editor for it; one below the last row,
// or on a row's check box, does not.
void PanelsTab::DoubleClick(const NMITEMACTIVATE& activate) {
  bool edit = false;
  Guard("1.004 - 019.0", [&] {
    const int count = ListView_GetItemCount(list_);
    RECT first{};
    if (count == 0 || !ListView_GetItemRect(list_, 0, &first, LVIR_BOUNDS)) return;
    // Rows counted from the first row's top, which moves when the list scrolls.
    const auto row = DoubleClickedRow(activate.ptAction.y - first.top + 2, static_cast<size_t>(count),
                                      first.bottom - first.top);
    LVHITTESTINFO hit{};
    hit.pt = activate.ptAction;
    ListView_HitTest(list_, &hit);
    edit = row && !(hit.flags & LVHT_ONITEMSTATEICON);
  });
  if (edit) EditSelectedPanel();
}

bool PanelsTab::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case kButton4: AddClick(); return true;
    case kButton2:
      Guard("1.004 - 023.0", [this] { EditSelectedPanel(); });
      return true;
    case kButton3: DeleteClick(); return true;
    case kButton1: MoveClick(-1); return true;
    case kButton5: MoveClick(1); return true;
  }
  return false;
}

bool PanelsTab::OnNotify(const NMHDR& header) {
  if (header.hwndFrom != list_) return false;
  switch (header.code) {
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if (change.iItem < 0 || !(change.uChanged & LVIF_STATE)) return true;
      const UINT changed = change.uNewState ^ change.uOldState;
      if (filling_) return true;
      if ((changed & LVIS_STATEIMAGEMASK) && (change.uOldState & LVIS_STATEIMAGEMASK))
        CheckToggled(static_cast<size_t>(change.iItem), IsChecked(list_, static_cast<size_t>(change.iItem)));
      if ((changed & LVIS_SELECTED) && !refreshPosted_) {
        refreshPosted_ = true;
        PostMessageW(dialog_, kMsgSelectionChanged, 0, 0);
      }
      return true;
    }
    case NM_CLICK:
      // A click on the list's empty part takes the selection away.
      if (!refreshPosted_) {
        refreshPosted_ = true;
        PostMessageW(dialog_, kMsgSelectionChanged, 0, 0);
      }
      return true;
    case NM_DBLCLK:
      DoubleClick(reinterpret_cast<const NMITEMACTIVATE&>(header));
      return true;
  }
  return false;
}

}  // namespace hx::ui
