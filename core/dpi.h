// Lengths written in units of a 96-DPI screen, scaled to a window's DPI.
#pragma once

namespace hx {

// The DPI of a screen at 100 % scaling: the unit every length in the
// program's layouts is written in.
inline constexpr int kBaseDpi = 96;

// `length` 96-DPI units at `dpi`, rounded to the nearest pixel (halves away
// from zero, as MulDiv rounds), so that a length and its negative scale alike.
constexpr int ScaleForDpi(int length, int dpi) {
  const long long product = static_cast<long long>(length) * dpi;
  const long long half = kBaseDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi));
}

}  // namespace hx
