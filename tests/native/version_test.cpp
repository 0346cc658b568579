#include "app/version.h"

#include <gtest/gtest.h>

namespace lumetta {
namespace {

TEST(Version, TextsFromPartialInformation) {
  const struct {
    VersionInfo info;
    std::optional<std::u16string> product;
    std::u16string_view display;
  } cases[] = {{{u"0.9.0", u"2"}, u"0.9.0", u"0.9.0 (2)"},
               {{u"0.9.0", std::nullopt}, u"0.9.0", u"0.9.0"},
               {{std::nullopt, u"2"}, std::nullopt, u"?"},
               {{}, std::nullopt, u"?"}};
  for (const auto& c : cases) {
    EXPECT_EQ(ProductVersionFrom(c.info), c.product);
    EXPECT_EQ(DisplayVersionFrom(c.info), c.display);
  }
}

}  // namespace
}  // namespace lumetta
