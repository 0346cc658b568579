#include "text/json.h"
#include "text/utf.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumetta {
namespace {

std::string Nested(int depth, char open, char close) {
  return "{\"a\":" + std::string(static_cast<std::size_t>(depth), open) +
         std::string(static_cast<std::size_t>(depth), close) + "}";
}

TEST(ParseJson, AcceptsAndRejectsWholeTexts) {
  for (std::string_view text : {" \t\r\n{ }\n ", "{}", "{\"a\":[1, [2,{\"b\":[ ]}]]}"}) {
    EXPECT_TRUE(ParseJson(text)) << text;
  }
  // A byte-order mark is not whitespace; the last two members are cut off after a value.
  for (std::string_view text :
       {"", "   ", "[]", "1", "{}x", "{} {}", "\xEF\xBB\xBF{}", "{'a':1}"}) {
    EXPECT_FALSE(ParseJson(text)) << text;
  }
  for (std::string_view member :
       {":1,}", " 1}", ":1 \"b\":2}", ":[1,]}", ":[1 2]}", ":\"tab\there\"}", ":\"\\x\"}",
        ":\"\\u12\"}", ":\"open}", ":truex}", ":nul}", ":tRue}", ":1", ":\"x\""}) {
    EXPECT_FALSE(ParseJson("{\"a\"" + std::string(member))) << member;
  }
  // A later container takes the place of an earlier member; nested members are never kept.
  const auto object = ParseJson(R"({"a":1,"a":[2],"d":{"x":1}})");
  EXPECT_TRUE(object && object->count("a") + object->count("x") == 0);
}

TEST(ParseJson, NestingIsBoundedAtSixtyFourLevels) {
  EXPECT_TRUE(ParseJson(Nested(64, '[', ']')));
  EXPECT_FALSE(ParseJson(Nested(65, '[', ']')));
  std::string objects = "{\"a\":";
  for (int i = 0; i < 64; ++i) {
    objects += "{\"b\":";
  }
  EXPECT_TRUE(ParseJson(objects + "1" + std::string(65, '}')));
  // Far deeper input fails quickly rather than recursing without bound.
  EXPECT_FALSE(ParseJson(Nested(100000, '[', ']')));
}

TEST(ParseJson, Numbers) {
  const struct {
    std::string_view number;
    std::optional<double> value;
  } cases[] = {{"0", 0.0},          {"-0", -0.0},    {"3", 3.0},       {"2.5", 2.5},
               {"-12.5e-1", -1.25}, {"1E+2", 100.0}, {"0.1", 0.1},     {"1e308", 1e308},
               {"+1", {}},          {".5", {}},      {"1.", {}},       {"01", {}},
               {"-", {}},           {"1e", {}},      {"1e+", {}},      {"1e400", {}},
               {"-1e400", {}},      {"0x10", {}},    {"Infinity", {}}, {"NaN", {}}};
  for (const auto& c : cases) {
    const auto parsed = ParseJson("{\"n\":" + std::string(c.number) + "}");
    if (!c.value) {
      EXPECT_FALSE(parsed) << c.number;
      continue;
    }
    ASSERT_TRUE(parsed) << c.number;
    EXPECT_EQ(GetNumber(*parsed, "n"), c.value) << c.number;
  }
  // Correctly rounded: the nearest double, not an accumulation of digit errors.
  EXPECT_EQ(GetNumber(*ParseJson("{\"n\":2.2250738585072011e-308}"), "n"), 2.2250738585072011e-308);
  EXPECT_EQ(GetNumber(*ParseJson("{\"n\":9007199254740993}"), "n"), 9007199254740992.0);
}

TEST(ParseJson, StringEscapes) {
  const struct {
    std::string_view literal;
    std::string_view bytes;
  } cases[] = {
      {R"("\u00e9")", "\xC3\xA9"},
      {R"("\u00E9")", "\xC3\xA9"},
      {R"("\u00aA")", "\xC2\xAA"},
      {R"("\uFFFF")", "\xEF\xBF\xBF"},
      {R"("\ud7ff")", "\xED\x9F\xBF"},  // just below the surrogates
      {R"("\udbff\udfff")", "\xF4\x8F\xBF\xBF"},
      {R"("\ud800\udc00")", "\xF0\x90\x80\x80"},
      {R"("\ud83d\ude00")", "\xF0\x9F\x98\x80"},
      {R"("\ud83d")", "\xEF\xBF\xBD"},
      {R"("\ude00")", "\xEF\xBF\xBD"},
      {R"("\udc00\udc00\udfff")", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // low halves alone
      {R"("\ud83dx")", "\xEF\xBF\xBDx"},
      {R"("\ud83d\u0041")", "\xEF\xBF\xBD\x41"},  // not a low half: consumed alone
      {R"("\ud83d\ud83d\ude00")", "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
      {R"("\ud800\udbff")", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // a high half after a high half
      {R"("\"\\\/\b\f\n\r\t")", "\"\\/\b\f\n\r\t"},
      {R"("\u0000")", std::string_view("\0", 1)},
      {"\"\xFF\xFE raw\"", "\xFF\xFE raw"},  // raw high bytes are copied unchecked
  };
  for (const auto& c : cases) {
    const auto parsed = ParseJson("{\"s\":" + std::string(c.literal) + "}");
    ASSERT_TRUE(parsed) << c.literal;
    EXPECT_EQ(GetString(*parsed, "s"), std::string(c.bytes)) << c.literal;
  }
}

// Members in order, strings escaped, numbers as the shortest text that reads back exactly
// (integers up to 15 digits without an exponent), and null for what JSON cannot hold.
TEST(WriteJson, ExactBytes) {
  EXPECT_EQ(WriteJson({}), "{}\n");
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<JsonMember> members = {{"n", std::monostate{}},
                                           {"t", true},
                                           {"k\"ey", std::string("a \x01\x7F/\\\n")},
                                           {"z", -0.0},
                                           {"i", -7.0},
                                           {"f", 0.1 + 0.2},
                                           {"e", 1e15},
                                           {"d", 999999999999999.0},
                                           {"s", 1.5e-7},
                                           {"x", nan}};
  EXPECT_EQ(
      WriteJson(members),
      "{\n  \"n\": null,\n  \"t\": true,\n  \"k\\\"ey\": \"a \\u0001\x7F/\\\\\\n\",\n  \"z\": 0,\n"
      "  \"i\": -7,\n  \"f\": 0.30000000000000004,\n  \"e\": 1e+15,\n"
      "  \"d\": 999999999999999,\n  \"s\": 1.5e-07,\n  \"x\": null\n}\n");
}

TEST(Utf, ConversionsReplaceWhatIsIllFormed) {
  EXPECT_EQ(ToUtf8(u"aé€😀"), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(ToUtf8(std::u16string(1, char16_t{0xDC00})), "\xEF\xBF\xBD");
  EXPECT_EQ(ToUtf8(std::u16string(1, char16_t{0xDFFF})), "\xEF\xBF\xBD");
  EXPECT_EQ(ToUtf8(std::u16string{char16_t{0xD800}, char16_t{0xDC00}}), "\xF0\x90\x80\x80");
  EXPECT_EQ(ToUtf8(std::u16string{char16_t{0xD800}, u'a'}), "\xEF\xBF\xBD\x61");  // 0x61: "a"

  const struct {
    std::string_view bytes;
    std::u16string_view text;
  } cases[] = {{"a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", u"aé€😀"},
               {"\xC2\xA9", u"\u00A9"},
               {"\xE1\x80\xC0", u"\uFFFD\uFFFD"},        // a third byte past BF
               {"\xE0\x80", u"\uFFFD\uFFFD"},            // E0 cut short, then 80 as a lead
               {"\xC0\xAF", u"\uFFFD\uFFFD"},            // overlong lead bytes
               {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
               {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
               {"\xF0\x9F\x98", u"\uFFFD"},                        // cut off by the end
               {"\xF0\x9F\x98\x41", u"\uFFFDA"},                   // 0x41: "A"
               {"\xE2\x82\xE2\x82\xAC", u"\uFFFD€"},
               {"\xF5\xFF", u"\uFFFD\uFFFD"},
               {"\xE0\x9F\xBF", u"\uFFFD\uFFFD\uFFFD"},  // overlong three and four bytes
               {"\xF0\x8F\xBF\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
               {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"}};
  for (const auto& c : cases) {
    EXPECT_EQ(FromUtf8(c.bytes), c.text) << testing::PrintToString(std::string(c.bytes));
  }
}

}  // namespace
}  // namespace lumetta
