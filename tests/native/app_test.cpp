#include "app/strings.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/log.h"
#include "app/version.h"

namespace lumetta {
namespace {

TEST(FormatPlaceholders, Substitution) {
  const struct {
    std::u16string_view text;
    std::vector<std::u16string_view> arguments;
    std::u16string_view expected;
  } cases[] = {
      {u"{0} of {1} used", {u"12 GB", u"512 GB"}, u"12 GB of 512 GB used"},
      {u"{1}/{0}/{1}", {u"a", u"b"}, u"b/a/b"},  // any order, repeated
      {u"{{0}}", {u"x"}, u"{0}"},                // doubled braces are literal
      {u"}}{{", {}, u"}{"},
      {u"{}", {u"x"}, u"{}"},    // empty pair
      {u"{a}", {u"x"}, u"{a}"},  // not digits
      {u"{0a}", {u"x"}, u"{0a}"},
      {u"{:}", std::vector<std::u16string_view>(11, u"x"), u"{:}"},  // the character after 9
      {u"{00000}", {u"x"}, u"{00000}"},                              // five digits
      {u"{0000}", {u"x"}, u"x"},                                     // four digits
      {u"{2}", {u"a", u"b"}, u"{2}"},                                // out of range
      {u"{0", {u"x"}, u"{0"},                                        // no closing brace
      {u"{{{0}", {u"x"}, u"{x"},
      {u"{0}", {u"{1}", u"y"}, u"{1}"},  // arguments are not rescanned
      {u"only {0}", {u"a", u"unused"}, u"only a"},
      {u"", {u"a"}, u""},
      {u"{10}{9}", {u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"10"}, u"109"}};
  for (const auto& c : cases) {
    EXPECT_EQ(FormatPlaceholders(c.text, c.arguments), c.expected)
        << std::string(c.text.begin(), c.text.end());
  }
}

TEST(ChooseJapanese, VariableOfOneToSevenCharactersDecides) {
  constexpr std::uint16_t kEnglishUi = 0x0409;
  constexpr std::uint16_t kJapaneseUi = 0x0411;
  const struct {
    std::uint32_t result;
    std::u16string_view value;
    std::uint16_t ui;
    bool japanese;
  } cases[] = {{2, u"ja", kEnglishUi, true},
               {2, u"JA", kEnglishUi, true},
               {2, u"Ja", kEnglishUi, true},
               {2, u"en", kJapaneseUi, false},
               {5, u"ja-JP", kEnglishUi, false},
               {1, u"j", kEnglishUi, false},
               {7, u"jaaaaaa", kJapaneseUi, false},
               {0, u"", kJapaneseUi, true},  // missing or empty: the UI language decides
               {0, u"", kEnglishUi, false},
               {9, u"jajajaja", kJapaneseUi, true},  // eight characters do not fit the buffer
               {9, u"jajajaja", kEnglishUi, false},
               {0, u"", 0x0811, true},  // any Japanese sublanguage
               {0, u"", 0x0011, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseJapanese(c.result, c.value, c.ui), c.japanese)
        << c.result << " " << std::string(c.value.begin(), c.value.end()) << " " << c.ui;
  }
}

constexpr LogTime kTime{2026, 12, 5, 12, 39, 30, 123};

TEST(LogLine, DetailsAreKeptWholeWithLineBreaksAsBlanks) {
  EXPECT_EQ(FormatLogLine(kTime, kWarn, "a", "b", "k=1\r\nk=2\nk=3\r"),
            "2026-12-05T12:39:30.123Z WARN  a b k=1  k=2 k=3 \r\n");
  const std::string line = FormatLogLine(kTime, kDebug, "c", "e", std::string(5000, 'z'));
  EXPECT_EQ(line.size(), 31u + 4u + 5000u + 2u);
  EXPECT_EQ(line.substr(line.size() - 3), "z\r\n");
  // Fields out of their range widen the stamp instead of overrunning its buffer.
  EXPECT_EQ(FormatLogLine({-2147483647, -1, 100, 24, 60, 61, 12345}, kInfo, "x", "y", ""),
            "-2147483647--1-100T24:60:61.12345Z INFO  x y\r\n");
}

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
