// The panels window at the scalings people use (96, 120, 144 and 192 DPI),
// seen from outside: the window is its 96-DPI size times the scale, and
// every line of every panel shows its text in full, read from the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "core/dpi.h"
#include "tests/e2e/harness.h"

namespace hx::e2e {
namespace {

// The screen's pixels under a rectangle, as grey levels row by row.
struct GreyPicture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> grey;
  int At(int x, int y) const { return grey[static_cast<size_t>(y) * width + x]; }
};

GreyPicture ScreenPicture(const RECT& r, const fs::path& file) {
  GreyPicture picture{r.right - r.left, r.bottom - r.top, {}};
  std::error_code ec;
  fs::remove(file, ec);
  const std::wstring geometry = std::to_wstring(picture.width) + L"x" + std::to_wstring(picture.height) + L"+" +
                                std::to_wstring(r.left) + L"+" + std::to_wstring(r.top);
  if (RunUnix(L"/usr/bin/import -window root -crop " + geometry + L" +repage -colorspace gray -depth 8 \"gray:" +
              UnixPath(file) + L"\"") != 0)
    return {};
  std::ifstream in(file, std::ios::binary);
  picture.grey.assign(std::istreambuf_iterator<char>(in), {});
  if (picture.grey.size() != static_cast<size_t>(picture.width) * picture.height) return {};
  return picture;
}

// What is wrong with one panel line at `line` (its rectangle in the
// picture) drawn at `dpi`, or "" when its text is drawn in full: the line is
// 76 pixels wide at 96 DPI; there is ink, at least as tall as digits are at
// that DPI, clear of the top and bottom bevels (the settings' sunken lines
// have a single bevel), and it does not end in the dots of an ellipsis (ink
// low down only), which is how a text too wide for its line is cut. A wide
// caption may touch the side bevels: it does so at 96 DPI too.
std::string InkFault(const GreyPicture& picture, const RECT& line, int dpi) {
  if (line.right - line.left != ScaleForDpi(76, dpi)) return "line not scaled";
  const int bevel = ScaleForDpi(1, dpi);
  const RECT inside{line.left + bevel, line.top + bevel, line.right - bevel, line.bottom - bevel};
  if (inside.right - inside.left < 3 || inside.bottom - inside.top < 3) return "too small";
  int counts[256] = {};
  for (int y = inside.top; y < inside.bottom; ++y)
    for (int x = inside.left; x < inside.right; ++x) ++counts[picture.At(x, y)];
  const int background = static_cast<int>(std::max_element(std::begin(counts), std::end(counts)) - counts);
  const auto inked = [&](int x, int y) { return std::abs(picture.At(x, y) - background) > 48; };
  RECT ink{inside.right, inside.bottom, inside.left - 1, inside.top - 1};
  for (int y = inside.top; y < inside.bottom; ++y)
    for (int x = inside.left; x < inside.right; ++x)
      if (inked(x, y))
        ink = {std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y), std::max<LONG>(ink.right, x),
               std::max<LONG>(ink.bottom, y)};
  if (ink.right < ink.left) return "no text drawn";
  if (ink.top == inside.top || ink.bottom == inside.bottom - 1) return "text cut at the top or bottom";
  const int height = ink.bottom - ink.top + 1;
  if (height < ScaleForDpi(8, dpi)) return "text too small: font not scaled";
  bool highInTheEnd = false;
  for (int x = std::max<LONG>(ink.left, ink.right - height / 2); x <= ink.right; ++x)
    for (int y = ink.top; y < ink.bottom - height / 4; ++y) highInTheEnd = highInTheEnd || inked(x, y);
  return highInTheEnd ? "" : "text ends in an ellipsis";
}

// The panel lines: the panels window's controls that hold no others.
std::vector<HWND> PanelLines(HWND clocks) {
  std::vector<HWND> lines;
  for (HWND child : Children(clocks))
    if (IsWindowVisible(child) && Children(child).empty()) lines.push_back(child);
  return lines;
}

// Waits until the screen shows every line of the panels window `clocks`
// (three panels) with its text whole at `dpi`; what is wrong otherwise.
std::string LineFaults(HWND clocks, int dpi, const fs::path& scratch) {
  std::vector<HWND> lines;
  if (!WaitUntil([&] {
        lines = PanelLines(clocks);
        return lines.size() == 6 &&
               std::all_of(lines.begin(), lines.end(), [](HWND line) { return !WindowText(line).empty(); });
      }))
    return std::to_string(lines.size()) + " lines, or a line without text";
  if (!WaitUntilOnScreen(clocks)) return "the window is not on the screen";
  std::string faults;
  WaitUntil([&] {
    const RECT window = WindowRect(clocks);
    const GreyPicture picture = ScreenPicture(window, scratch);
    faults = "no picture";
    if (picture.grey.empty()) return false;
    faults.clear();
    for (HWND line : lines) {
      RECT r = WindowRect(line);
      OffsetRect(&r, -window.left, -window.top);
      if (const std::string fault = InkFault(picture, r, dpi); !fault.empty())
        faults += "\n" + WindowText(line) + ": " + fault;
    }
    return faults.empty();
  });
  return faults;
}

// The system-time, a zone and the date panel, with the default settings.
fs::path ThreePanelFolder(const std::string& name) {
  const fs::path folder = FreshProgramFolder(name);
  WriteCp1251(folder / "Settings" / "HXSettings.ini", SettingsFileText());
  WriteCp1251(folder / "Settings" / "HXClocks.ini", ThreePanelFile());
  return folder;
}

bool HasClientSize(HWND window, int width, int height) {
  return WaitUntil([&] { return ClientSize(window).cx == width && ClientSize(window).cy == height; });
}

TEST(DpiPanelsTest, PanelsScaleWithTheDpiAndShowEveryTextInFull) {
  for (const int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE("DPI " + std::to_string(dpi));
    const fs::path folder = ThreePanelFolder("dpi-panels-" + std::to_string(dpi));
    const ScopedDisplayDpi display(dpi);
    Process program(folder / "Horavex.KT.exe");
    HWND clocks = WaitForWindow(L"TFormClocks", program.id());
    ASSERT_NE(clocks, nullptr);
    // Three frames of 84 x 56 at 96 DPI.
    EXPECT_TRUE(HasClientSize(clocks, 3 * ScaleForDpi(84, dpi), ScaleForDpi(56, dpi)))
        << ClientSize(clocks).cx << " x " << ClientSize(clocks).cy;
    EXPECT_EQ(LineFaults(clocks, dpi, folder.parent_path() / "panels.gray"), "");
    if (dpi > 120) Screenshot("dpi-panels-" + std::to_string(dpi), clocks);
  }
}

// Wine gives a program one DPI for its life, so the system's message that
// the window reached a screen of another DPI is sent by hand (without a
// suggested place): panels, lines and fonts are made anew for that DPI, and
// back again.
TEST(DpiPanelsTest, DpiChangeLaysThePanelsOutAnew) {
  const fs::path folder = ThreePanelFolder("dpi-panels-change");
  Process program(folder / "Horavex.KT.exe");
  HWND clocks = WaitForWindow(L"TFormClocks", program.id());
  ASSERT_NE(clocks, nullptr);
  ASSERT_TRUE(HasClientSize(clocks, 252, 56));
  for (const int dpi : {144, 96}) {
    SCOPED_TRACE("DPI " + std::to_string(dpi));
    SendMessageW(clocks, 0x02E0, MAKEWPARAM(dpi, dpi), 0);
    EXPECT_TRUE(HasClientSize(clocks, ScaleForDpi(252, dpi), ScaleForDpi(56, dpi)))
        << ClientSize(clocks).cx << " x " << ClientSize(clocks).cy;
    EXPECT_EQ(LineFaults(clocks, dpi, folder.parent_path() / "panels.gray"), "");
  }
}

}  // namespace
}  // namespace hx::e2e
