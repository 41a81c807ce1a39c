#include "core/monitors.h"

#include <algorithm>
#include <climits>

namespace hx {
namespace {

// Positions come from the settings file as well as from the system, so
// any int may arrive: sums and differences are taken in 64 bits, and a
// rectangle's far edge stays within int's range.
int Saturated(long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }

// The overlap of the spans [a0, a1) and [b0, b1); 0 when they are apart.
long long Overlap(long long a0, long long a1, long long b0, long long b1) {
  return std::max(0LL, std::min(a1, b1) - std::max(a0, b0));
}

long long CoveredArea(const ScreenRect& a, const ScreenRect& b) {
  return Overlap(a.left, a.right, b.left, b.right) * Overlap(a.top, a.bottom, b.top, b.bottom);
}

// Squared gap between two rectangles; 0 when they touch or overlap. Each
// gap is capped at INT_MAX, so that the sum of squares stays in range.
long long SquaredGap(const ScreenRect& a, const ScreenRect& b) {
  const long long dx = Saturated(std::max({0LL, 0LL + b.left - a.right, 0LL + a.left - b.right}));
  const long long dy = Saturated(std::max({0LL, 0LL + b.top - a.bottom, 0LL + a.top - b.bottom}));
  return dx * dx + dy * dy;
}

enum class Side { Left, Right, Top, Bottom };

// Whether another monitor goes on beyond `side` of `m` where the window is:
// it touches that edge and shares a stretch of it with the window's span.
bool DesktopGoesOn(const Monitor& m, Side side, const ScreenRect& window, const Monitors& monitors) {
  for (const Monitor& n : monitors) {
    if (n == m) continue;
    const ScreenRect& a = m.rect;
    const ScreenRect& b = n.rect;
    switch (side) {
      case Side::Left:
        if (b.right == a.left && Overlap(b.top, b.bottom, window.top, window.bottom) > 0) return true;
        break;
      case Side::Right:
        if (b.left == a.right && Overlap(b.top, b.bottom, window.top, window.bottom) > 0) return true;
        break;
      case Side::Top:
        if (b.bottom == a.top && Overlap(b.left, b.right, window.left, window.right) > 0) return true;
        break;
      case Side::Bottom:
        if (b.top == a.bottom && Overlap(b.left, b.right, window.left, window.right) > 0) return true;
        break;
    }
  }
  return false;
}

ScreenRect At(ScreenPoint p, ScreenSize size) {
  return {p.x, p.y, Saturated(0LL + p.x + size.width), Saturated(0LL + p.y + size.height)};
}

}  // namespace

Monitors SingleMonitor(ScreenSize screen, ScreenRect workArea) {
  return {{{0, 0, screen.width, screen.height}, workArea}};
}

bool Intersects(const ScreenRect& a, const ScreenRect& b) { return CoveredArea(a, b) > 0; }

Monitor MonitorOf(const ScreenRect& window, const Monitors& monitors) {
  const Monitor* best = nullptr;
  long long bestArea = 0;
  for (const Monitor& m : monitors) {
    const long long area = CoveredArea(window, m.rect);
    if (area > bestArea) best = &m, bestArea = area;
  }
  if (best) return *best;
  long long bestGap = 0;
  for (const Monitor& m : monitors) {
    const long long gap = SquaredGap(window, m.rect);
    if (!best || gap < bestGap) best = &m, bestGap = gap;
  }
  return best ? *best : Monitor{};
}

ScreenPoint ClampToDesktop(const ScreenRect& window, ScreenPoint p, const Monitors& monitors) {
  if (monitors.empty()) return p;
  // The monitor it comes from: one quick move of the mouse may carry the
  // window far beyond a neighbour's side.
  const Monitor m = MonitorOf(window, monitors);
  const ScreenSize size{window.Width(), window.Height()};
  const ScreenRect& r = m.rect;
  ScreenRect w = At(p, size);
  if (w.right > r.right && !DesktopGoesOn(m, Side::Right, w, monitors))
    p.x = r.right - size.width;
  else if (p.x < r.left && !DesktopGoesOn(m, Side::Left, w, monitors))
    p.x = r.left;
  w = At(p, size);
  if (w.bottom > r.bottom && !DesktopGoesOn(m, Side::Bottom, w, monitors))
    p.y = r.bottom - size.height;
  else if (p.y < r.top && !DesktopGoesOn(m, Side::Top, w, monitors))
    p.y = r.top;
  return p;
}

bool TopEdgeOnMonitor(ScreenPoint p, ScreenSize size, const Monitors& monitors) {
  const ScreenRect topRow = At(p, {std::max(size.width, 1), 1});
  return std::any_of(monitors.begin(), monitors.end(), [&](const Monitor& m) { return Intersects(topRow, m.rect); });
}

ScreenPoint OntoNearestMonitor(ScreenPoint p, ScreenSize size, const Monitors& monitors) {
  const ScreenRect w = At(p, size);
  if (monitors.empty() ||
      std::any_of(monitors.begin(), monitors.end(), [&](const Monitor& m) { return Intersects(w, m.rect); }))
    return p;
  const ScreenRect& area = MonitorOf(w, monitors).workArea;
  p.x = std::max(std::min(p.x, area.right - size.width), area.left);
  p.y = std::max(std::min(p.y, area.bottom - size.height), area.top);
  return p;
}

ScreenPoint CentredOnClockMonitor(const ScreenRect* clock, ScreenSize dialog, const Monitors& monitors) {
  if (monitors.empty()) return {};
  const ScreenRect& area = (clock ? MonitorOf(*clock, monitors) : monitors.front()).workArea;
  return {area.left + (area.Width() - dialog.width) / 2, area.top + (area.Height() - dialog.height) / 2};
}

}  // namespace hx
