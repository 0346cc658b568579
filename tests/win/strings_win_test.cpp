#include <windows.h>

#include <gtest/gtest.h>

#include <set>

#include "app/log.h"
#include "app/log_win.h"
#include "app/strings.h"
#include "app/text_ids.h"
#include "support/logging_test.h"
#include "support/test_files.h"

namespace lumetta {
namespace {

// Chooses the language through the variable.
void Choose(const wchar_t* value) {
  SetEnvironmentVariableW(L"LUMETTA_LANG", value);
  ChooseLanguage();
}

using Strings = test::LoggingTest;

std::set<std::u16string> Placeholders(std::u16string_view text) {
  std::set<std::u16string> found;
  for (std::size_t at = text.find(u'{'); at != text.npos; at = text.find(u'{', at + 1)) {
    found.emplace(text.substr(at, text.find(u'}', at) - at + 1));
  }
  return found;
}

TEST_F(Strings, EveryIdLoadsInBothLanguagesWithTheSamePlaceholders) {
  std::vector<std::u16string> english;
  Choose(L"en");
  EXPECT_FALSE(IsJapanese());
  EXPECT_EQ(LocaleName(), u"en-US");
  for (const TextId id : kAllTextIds) {
    english.push_back(LoadText(id));
  }
  Choose(L"ja");
  EXPECT_TRUE(IsJapanese());
  EXPECT_EQ(LocaleName(), u"ja-JP");
  std::size_t index = 0;
  std::set<std::uint32_t> untranslated;
  for (const TextId id : kAllTextIds) {
    const std::u16string japanese = LoadText(id);
    EXPECT_EQ(Placeholders(japanese), Placeholders(english[index])) << id;
    if (japanese == english[index]) {
      untranslated.insert(id);
    }
    ++index;
  }
  // Section and legend words stay in English; everything else is translated.
  EXPECT_EQ(untranslated,
            (std::set<std::uint32_t>{1001, 1002, 1003, 1004, 1008, 1009, 1204, 1206}));
  EXPECT_EQ(Events(), (std::vector<std::string>{"INFO  strings language lang=en",
                                                "INFO  strings language lang=ja"}));
}

}  // namespace
}  // namespace lumetta
