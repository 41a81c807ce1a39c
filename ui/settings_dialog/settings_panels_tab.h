// The settings dialog's tab "Добавление часовых панелей": the list of clock
// panels with a check box per row (the panel is shown), and the buttons that
// add, edit, delete and reorder panels. Every change goes to the panel list
// and the panels window at once.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <optional>

namespace hx::ui {

class PanelsTab {
 public:
  // Creates the tab's controls on `page`; `dialog` owns the editor and the
  // message boxes, and receives the posted selection refresh. The list is
  // made shorter when the page is low.
  void Create(HWND dialog, HWND page, HFONT font, int pageHeight);

  // Fills the list from the panel list and selects row `select` (the first
  // row when it is out of range).
  void Fill(size_t select = 0);

  // The dialog passes its messages on; true when the tab handled them.
  bool OnCommand(int id, int code);
  bool OnNotify(const NMHDR& header);
  // The selection refresh posted on every selection change.
  void OnSelectionChanged();

  // Posted to the dialog after the list's selection changed.
  static constexpr UINT kMsgSelectionChanged = WM_APP + 20;

 private:
  std::optional<size_t> Selected() const;
  void Select(size_t row);
  void ChangeClockPanel();
  void EditSelectedPanel();
  void CheckToggled(size_t row, bool checked);
  void Rebuild();
  void KeepDialogInFront();
  void AddClick();
  void DeleteClick();
  void MoveClick(int delta);
  void DoubleClick(const NMITEMACTIVATE& activate);

  HWND dialog_ = nullptr;
  HWND list_ = nullptr;  // CheckListBox1
  HWND add_ = nullptr, edit_ = nullptr, delete_ = nullptr, up_ = nullptr, down_ = nullptr;
  bool filling_ = false;  // check changes come from the program
  size_t lastSelected_ = 0;
  bool refreshPosted_ = false;
};

}  // namespace hx::ui
