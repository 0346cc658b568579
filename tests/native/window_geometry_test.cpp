#include "window/window_geometry.h"

#include <gtest/gtest.h>

namespace lumetta {
namespace {

// The Settings dialog at 150 % is about 1048 pixels tall with its frame: on a 1080p work area it
// must shrink to the work area instead of reaching under the taskbar.
TEST(DialogGeometry, CentredAndNeverLargerThanTheWorkArea) {
  const ScreenRect work{0, 0, 1920, 1040};
  EXPECT_EQ(PlaceInWorkArea(416, 459, work), (ScreenRect{752, 290, 416, 459}));
  EXPECT_EQ(PlaceInWorkArea(624, 1048, work), (ScreenRect{648, 0, 624, 1040}));
  EXPECT_EQ(PlaceInWorkArea(2000, 400, work), (ScreenRect{0, 320, 1920, 400}));
  EXPECT_EQ(PlaceInWorkArea(415, 400, {1920, 100, 1280, 1024}), (ScreenRect{2352, 412, 415, 400}));
}

TEST(DialogGeometry, LinkEdgesCountAndPixelsBecomeDips) {
  const RectF link{24, 300, 104, 318};
  EXPECT_TRUE(InsideInclusive(link, 104, 318));
  EXPECT_TRUE(InsideInclusive(link, 24, 300));
  EXPECT_FALSE(InsideInclusive(link, 105, 310));
  EXPECT_FALSE(InsideInclusive(link, 60, 319));
  EXPECT_EQ(PixelsToDips(600, 144), 400.0f);
  EXPECT_EQ(PixelsToDips(630, 144), 420.0f);
  EXPECT_EQ(PixelsToDips(50, 96), 50.0f);
  EXPECT_EQ(PixelsToDips(50, 0), 50.0f);  // no DPI known: 96
}

}  // namespace
}  // namespace lumetta
