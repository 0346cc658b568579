#include "dialogs/dialog_geometry.h"

#include <gtest/gtest.h>

namespace lumetta {
namespace {

TEST(DialogGeometry, CentredTallWindowsStickToTheTop) {
  const ScreenRect work{0, 0, 1920, 1040};
  EXPECT_EQ(CentreInWorkArea({0, 0, 416, 459}, work), (ScreenPoint{752, 290}));
  EXPECT_EQ(CentreInWorkArea({0, 0, 416, 1200}, work), (ScreenPoint{752, 0}));
  EXPECT_EQ(CentreInWorkArea({0, 0, 2000, 400}, work), (ScreenPoint{-40, 320}));
  EXPECT_EQ(CentreInWorkArea({0, 0, 415, 400}, {1920, 100, 1280, 1024}), (ScreenPoint{2352, 412}));
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
}

}  // namespace
}  // namespace lumetta
