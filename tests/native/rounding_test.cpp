// Built into both the native and the Windows test programs: rounding and number texts must
// come out the same from lumetta.exe as from the native build.
#include "base/rounding.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/printf.h"
#include "card/card_layout.h"
#include "metrics/hardware_names.h"

namespace lumetta {
namespace {

TEST(Rounding, HalfAwayFromZeroAndExactBelowEachHalf) {
  const struct {
    double value;
    double rounded;
  } cases[] = {{0.5, 1},       {1.5, 2},   {2.5, 3},
               {-0.5, -1},     {-2.5, -3}, {0.25, 0},
               {1e300, 1e300}, {-7, -7},   {4503599627370497.0, 4503599627370497.0}};
  for (const auto& c : cases) {
    EXPECT_EQ(RoundHalfAway(c.value), c.rounded) << c.value;
  }
  for (const double half : {0.5, 1.5, 2.5, 1e6 + 0.5, 1e15 + 0.5}) {
    const double below = std::nextafter(half, 0.0);
    EXPECT_EQ(RoundHalfAway(below), std::floor(half)) << half;
    EXPECT_EQ(RoundHalfAway(-below), -std::floor(half)) << half;
  }
  EXPECT_TRUE(std::isnan(RoundHalfAway(NAN)));
  EXPECT_EQ(std::pair(RoundToDecimals(0.04999999999999999, 1), RoundToDecimals(2.675, 2)),
            std::pair(0.0, 2.68));
}

// Values at a tie print alike in both builds; values far beyond any real reading do not
// overrun a buffer (these tripped AddressSanitizer once).
TEST(Rounding, NumberTextsAtTiesAndExtremes) {
  EXPECT_EQ(FormatPercent(0.005, 0), u"1%");
  EXPECT_EQ(FormatPercent(0.00125, 1), u"0.1%");
  EXPECT_EQ(FormatBytes(102.45 * 1024), u"102 KB");
  EXPECT_EQ(FrequencyText(3249.9999), u"3.25 GHz");
  EXPECT_EQ(FrequencyText(0.5), u"1 MHz");  // any positive clock has a text
  EXPECT_EQ((std::vector{FormatBytes(1e300).size(), FormatBytesCompact(1e300).size(),
                         FormatRate(1e300).size(), FormatPercent(1e40, 1).size()}),
            (std::vector<std::size_t>{285 + 3, 285 + 1, 285 + 5, 43 + 3}));
  EXPECT_TRUE(FrequencyText(1e30).ends_with(u" GHz"));
  EXPECT_EQ(StringPrintf("%0300d", 7), std::string(299, '0') + "7");
}

}  // namespace
}  // namespace lumetta
