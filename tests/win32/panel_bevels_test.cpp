// The clock panels' bevels as they come out on the screen: each setting
// drawn into a bitmap and its edges read back. A sunken edge is darker at
// the top and left than at the bottom and right; a raised one the reverse.
#include <gtest/gtest.h>

#include "panels/panel_layout.h"
#include "ui/panels_window/panel_control.h"

namespace hx::ui {
namespace {

// Brightness of each ring of a drawn panel, at the middle of its top and
// left sides and of its bottom and right sides.
struct Ring {
  int topLeft = 0;
  int bottomRight = 0;
};

class DrawnPanel {
 public:
  explicit DrawnPanel(const Bevels& bevels, int dpi = kBaseDpi) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kPanelWidth;
    info.bmiHeader.biHeight = -kPanelHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    const RECT r{0, 0, kPanelWidth, kPanelHeight};
    DrawPanel(dc_, r, PanelLook{GetSysColor(COLOR_BTNFACE), 0, nullptr, bevels}, L"", 0, dpi);
  }
  ~DrawnPanel() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }

  // Ring 0 is the outermost line of pixels, ring 1 the one inside it.
  Ring At(int ring) const {
    const int midX = kPanelWidth / 2, midY = kPanelHeight / 2;
    return {Brightness(midX, ring) + Brightness(ring, midY),
            Brightness(midX, kPanelHeight - 1 - ring) + Brightness(kPanelWidth - 1 - ring, midY)};
  }

 private:
  int Brightness(int x, int y) const {
    const COLORREF c = GetPixel(dc_, x, y);
    return GetRValue(c) + GetGValue(c) + GetBValue(c);
  }

  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

bool Sunken(const Ring& r) { return r.topLeft < r.bottomRight; }
bool Raised(const Ring& r) { return r.topLeft > r.bottomRight; }
bool Flat(const Ring& r) { return r.topLeft == r.bottomRight; }

}  // namespace

TEST(PanelBevels, FramesLookSunkenWhenSetSoAndRaisedOtherwise) {
  const DrawnPanel sunken(FrameBevels(true)), raised(FrameBevels(false));
  EXPECT_TRUE(Sunken(sunken.At(0)));
  EXPECT_TRUE(Flat(sunken.At(1)));
  EXPECT_TRUE(Raised(raised.At(0)));
  EXPECT_TRUE(Flat(raised.At(1)));
}

TEST(PanelBevels, LinesSetSunkenHaveOneSunkenEdgeOtherwiseARaisedEdgeAroundASunkenOne) {
  const DrawnPanel sunken(LineBevels(true)), raised(LineBevels(false));
  EXPECT_TRUE(Sunken(sunken.At(0)));
  EXPECT_TRUE(Flat(sunken.At(1)));
  EXPECT_TRUE(Raised(raised.At(0)));
  EXPECT_TRUE(Sunken(raised.At(1)));
  EXPECT_TRUE(Flat(raised.At(2)));
}

// At higher DPI each bevel is several rings thick, every ring in the
// bevel's own colours, and the inside stays flat.
TEST(PanelBevels, ThickenWithTheDpi) {
  struct Row { int dpi, frameRings, outerRings, innerRings; };
  for (const Row& row : {Row{120, 1, 2, 1}, Row{144, 2, 2, 1}, Row{192, 2, 2, 2}}) {
    const DrawnPanel frame(FrameBevels(true), row.dpi), line(LineBevels(false), row.dpi);
    for (int ring = 0; ring < row.frameRings; ++ring) EXPECT_TRUE(Sunken(frame.At(ring))) << row.dpi << " " << ring;
    EXPECT_TRUE(Flat(frame.At(row.frameRings))) << row.dpi;
    for (int ring = 0; ring < row.outerRings; ++ring) EXPECT_TRUE(Raised(line.At(ring))) << row.dpi << " " << ring;
    for (int ring = row.outerRings; ring < row.outerRings + row.innerRings; ++ring)
      EXPECT_TRUE(Sunken(line.At(ring))) << row.dpi << " " << ring;
    EXPECT_TRUE(Flat(line.At(row.outerRings + row.innerRings))) << row.dpi;
  }
}

}  // namespace hx::ui
