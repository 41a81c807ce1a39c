#include "core/dpi.h"

#include <gtest/gtest.h>

namespace hx {

TEST(ScaleForDpi, RoundsToTheNearestPixelAndKeepsNegativeLengthsSymmetric) {
  struct Row {
    int length, dpi, pixels;
  };
  const Row rows[] = {
      {84, 96, 84},   {84, 120, 105}, {84, 144, 126}, {84, 192, 168}, {56, 120, 70},
      {1, 120, 1},    {2, 120, 3},    {3, 144, 5},    {-3, 144, -5}, {-2, 120, -3},
      {0, 192, 0},    {11, 72, 8},    {2000000, 480, 10000000},
  };
  for (const Row& r : rows) EXPECT_EQ(ScaleForDpi(r.length, r.dpi), r.pixels) << r.length << " at " << r.dpi;
}

}  // namespace hx
