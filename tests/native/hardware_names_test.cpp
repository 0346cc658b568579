#include "metrics/hardware_names.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumetta {
namespace {

std::string Narrow(std::u16string_view text) {
  return std::string(text.begin(), text.end());
}

TEST(HardwareNames, EdgeCases) {
  const struct {
    std::u16string_view raw;
    std::u16string_view cpu;
  } cases[] = {{u"Acme(Tm) Chip", u"Acme(Tm) Chip"},  // only the four exact marks go
               {u"Core i5", u"i5"},
               {u"Intel Core", u"Core"},
               {u"Gen 4 Thing", u"Gen 4 Thing"},  // no ordinal before it
               {u"12th gen X", u"X"},
               {u"10th Gen\tCore i5", u"i5"},  // a tab is a blank
               {u"Ryzen 9 12-core", u"Ryzen 9"},
               {u"Ryzen X-Core", u"Ryzen X-Core"},
               {u"Ryzen -Core", u"Ryzen -Core"},
               {u"   Intel  Core   i3  ", u"i3"},  // leading and repeated blanks
               {u"1st 2nd Gen Y", u"Y"},
               {u"th Gen", u"th Gen"},          // "th" alone is not an ordinal
               {u"1xth Gen Z", u"1xth Gen Z"},  // nor digits with a letter among them
               {u"", u""},
               {u"CPU Processor", u""}};
  for (const auto& c : cases) {
    EXPECT_EQ(shortCpuName(c.raw), c.cpu) << Narrow(c.raw);
  }
  EXPECT_EQ(shortGpuName(u"NVIDIA GeForce"), u"GeForce");
  EXPECT_EQ(shortGpuName(u"geforce GTX 1080 gpu"), u"GTX 1080");
  EXPECT_EQ(vendorOf(u"Unknown Graphics"), u"");
  EXPECT_EQ(vendorOf(u"Microsoft Basic Render Driver"), u"");
  EXPECT_EQ(vendorOf(u"IntelX nvidia"), u"NVIDIA");  // runs are whole words
  EXPECT_EQ(vendorOf(u"Intelz 9"), u"");
  EXPECT_EQ(vendorOf(u"RYZEN 5 PRO"), u"AMD");
  EXPECT_EQ(vendorOf(u"Foo GeForce(R) AMD"), u"NVIDIA");  // the first matching run wins
}

}  // namespace
}  // namespace lumetta
