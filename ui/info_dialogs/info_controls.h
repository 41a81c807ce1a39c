// Controls the About dialog and the unsupported-system notice share: link
// labels, memos on coloured panels, hints and opening an address.
#pragma once
#include <windows.h>

#include <string>

namespace hx::ui {

inline constexpr COLORREF kSkyBlue = RGB(0xA6, 0xCA, 0xF0);
inline constexpr COLORREF kLinkColour = RGB(0, 0, 255);
inline constexpr COLORREF kLinkHotColour = RGB(255, 0, 0);

// Sent by a link label to its parent while the mouse moves over it (wParam:
// the link's id, lParam: 1) and when the mouse has left it (lParam: 0).
inline constexpr UINT kMsgLinkHover = WM_APP + 40;

// A label that shows an address as a link: underlined, blue, red while the
// parent says so (SetLinkHot), with the hand cursor. A click arrives at the
// parent as STN_CLICKED. The label is as wide as its text.
HWND CreateLinkLabel(HWND parent, int id, const std::string& text, int x, int y, int height, HFONT font);
void SetLinkHot(HWND link, bool hot);
// The link's text colour now, for WM_CTLCOLORSTATIC.
COLORREF LinkColour(HWND link);

// A read-only, borderless multi-line edit with its lines centred. Without
// `wrap` a long line stays whole.
HWND CreateMemo(HWND parent, int id, const std::string& text, const RECT& rect, HFONT font, bool wrap);
// Adds a line below the memo's text.
void AppendMemoLine(HWND memo, const std::string& line);

// A plain child window filled with `colour` that hands its children's
// notifications and colour requests to its own parent, so the dialog
// colours and answers controls laid on it. `exStyle` may add a frame.
HWND CreateContainer(HWND parent, int id, const RECT& rect, COLORREF colour, DWORD exStyle = 0);

// The dialog's hints: shown 100 ms after the mouse stops over a control and
// kept until it leaves.
HWND CreateHints(HWND dialog);
void AddHint(HWND hints, HWND dialog, HWND control, const wchar_t* text);

// Opens a web or "mailto:" address with the user's program for it, in a
// normal window, with `owner` as the parent of any message the shell shows.
void OpenAddress(HWND owner, const std::string& address);

// The text's width in pixels in `font`, and the height of one of its lines.
int TextWidth(HFONT font, const std::wstring& text);
int LineHeight(HFONT font);

}  // namespace hx::ui
