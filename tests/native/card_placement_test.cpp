#include "card/card_placement.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "window/window_geometry.h"

namespace lumetta {

void PrintTo(const ScreenPoint& p, std::ostream* out) {
  *out << "(" << p.x << ", " << p.y << ")";
}

namespace {

const ScreenRect kWork{0, 0, 1920, 1040};  // a 1920 × 1080 screen with a bottom taskbar

TEST(Placement, TheMonitorOverlappedMostWinsAndTiesKeepTheFirst) {
  const std::vector<ScreenRect> two = {kWork, {1920, 0, 1280, 1024}};
  EXPECT_EQ(ClampToWorkAreas({1850, 100, 190, 56}, two, 8), (ScreenPoint{1920, 100}));
  EXPECT_EQ(ClampToWorkAreas({1825, 100, 190, 56}, two, 8), (ScreenPoint{1730, 100}));  // a tie
  EXPECT_EQ(ClampToWorkAreas({-3000, 100, 190, 56}, two, 8), (ScreenPoint{1722, 8}));
  // Stacked: 40 rows on the upper screen outweigh 16 on the lower.
  const std::vector<ScreenRect> stacked = {{0, 0, 1920, 1080}, {0, 1080, 1920, 1080}};
  EXPECT_EQ(ClampToWorkAreas({100, 1040, 190, 56}, stacked, 8), (ScreenPoint{100, 1024}));
}

TEST(Placement, SnappingAtTwoDpis) {
  // 20 px from the right, 10 from the top.
  EXPECT_EQ(SnapPosition({1710, 10, 190, 180}, kWork, 96), (ScreenPoint{1722, 8}));
  EXPECT_EQ(SnapPosition({1710, 30, 190, 180}, kWork, 96), (ScreenPoint{1722, 30}));
  EXPECT_EQ(SnapPosition({30, 30, 190, 180}, kWork, 96), (ScreenPoint{30, 30}));
  // At 144 DPI the distance is 36 and the margin 12.
  EXPECT_EQ(SnapPosition({1920 - 285 - 35, 1040 - 270 - 35, 285, 270}, kWork, 144),
            (ScreenPoint{1920 - 285 - 12, 1040 - 270 - 12}));
  EXPECT_EQ(SnapPosition({1920 - 285 - 36, 100, 285, 270}, kWork, 144),
            (ScreenPoint{1920 - 285 - 36, 100}));
  // Near both edges of an axis, the left (top) one wins.
  EXPECT_EQ(SnapPosition({5, 5, 1915, 1030}, kWork, 96), (ScreenPoint{8, 8}));
  // Half a pixel rounds away from zero, as MulDiv does.
  EXPECT_EQ(std::pair(DipsToPixels(1, 144), DipsToPixels(-1, 144)), std::pair(2, -2));
}

TEST(Placement, ACardOnOrPastAnEdgeKeepsItWhenItsSizeChanges) {
  EXPECT_EQ(AnchorAfterResize({1722, 1040 - 8 - 400, 190, 400}, {1722, 1040 - 8 - 400, 285, 600},
                              kWork, 96),
            (ScreenPoint{1722 + 190 - 285, 1040 - 8 - 600}));
  EXPECT_EQ(AnchorAfterResize({1722, 8, 190, 400}, {1722, 8, 285, 600}, kWork, 96),
            (ScreenPoint{1627, 8}));
  EXPECT_EQ(AnchorAfterResize({100, 630, 190, 400}, {100, 630, 285, 600}, kWork, 96),
            (ScreenPoint{100, 430}));
  EXPECT_EQ(AnchorAfterResize({100, 100, 190, 400}, {100, 100, 285, 600}, kWork, 96), std::nullopt);
  // Growing across the bottom edge, even past the top; shrinking on it.
  EXPECT_EQ(AnchorAfterResize({100, 500, 190, 400}, {100, 500, 190, 600}, kWork, 96),
            (ScreenPoint{100, 300}));
  EXPECT_EQ(AnchorAfterResize({100, 630, 190, 400}, {100, 630, 190, 1100}, kWork, 96),
            (ScreenPoint{100, 0}));
  EXPECT_EQ(AnchorAfterResize({100, 632, 190, 400}, {100, 632, 190, 300}, kWork, 96),
            (ScreenPoint{100, 732}));
  // One placed across it (onto a monitor below) was not pushed there by its growth.
  EXPECT_EQ(AnchorAfterResize({100, 900, 190, 400}, {100, 900, 190, 420}, kWork, 96), std::nullopt);
  // 24 DIPs from the right edge is no longer near it.
  EXPECT_EQ(AnchorAfterResize({1706, 100, 190, 400}, {1706, 100, 285, 600}, kWork, 96),
            std::nullopt);
}

// The Settings dialog at 150 % is about 1048 pixels tall with its frame: on a 1080p work area it
// must shrink to the work area instead of reaching under the taskbar.
TEST(DialogGeometry, InsideAndNeverLargerThanTheWorkArea) {
  const ScreenRect work{0, 0, 1920, 1040};
  EXPECT_EQ(PlaceInWorkArea(416, 459, work), (ScreenRect{752, 290, 416, 459}));
  EXPECT_EQ(PlaceInWorkArea(624, 1048, work), (ScreenRect{648, 0, 624, 1040}));
  EXPECT_EQ(PlaceInWorkArea(2000, 400, work), (ScreenRect{0, 320, 1920, 400}));
  EXPECT_EQ(PlaceInWorkArea(415, 400, {1920, 100, 1280, 1024}), (ScreenRect{2352, 412, 415, 400}));
  // Kept near where it is, moved inside (a DPI change).
  EXPECT_EQ(PlaceInWorkArea(416, 459, work, ScreenPoint{1700, -30}),
            (ScreenRect{1504, 0, 416, 459}));
  EXPECT_EQ(PlaceInWorkArea(624, 1048, work, ScreenPoint{-9, 5}), (ScreenRect{0, 0, 624, 1040}));
  EXPECT_EQ(PlaceInWorkArea(416, 459, work, ScreenPoint{100, 200}),
            (ScreenRect{100, 200, 416, 459}));
}

TEST(DialogGeometry, LinkEdgesCountAndPixelsBecomeDips) {
  const RectF link{24, 300, 104, 318};
  EXPECT_EQ((std::vector{InsideInclusive(link, 104, 318), InsideInclusive(link, 24, 300),
                         InsideInclusive(link, 105, 310), InsideInclusive(link, 60, 319)}),
            (std::vector{true, true, false, false}));
  // The last with no DPI known: 96.
  EXPECT_EQ((std::vector{PixelsToDips(600, 144), PixelsToDips(630, 144), PixelsToDips(50, 96),
                         PixelsToDips(50, 0)}),
            (std::vector{400.0f, 420.0f, 50.0f, 50.0f}));
}

}  // namespace
}  // namespace lumetta
