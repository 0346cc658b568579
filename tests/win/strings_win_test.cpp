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

// The tables are found by the variable's value in any letter case; the save-failure notice
// names the log file itself in both; a missing id shows "?" and is logged.
TEST_F(Strings, EachTableByTheVariableTheLogFileInTheSaveNoticeAndMissingIds) {
  for (const wchar_t* lang : {L"EN", L"Ja"}) {
    Choose(lang);
    EXPECT_EQ(FormatText(kTextUsedOf, {u"12 GB", u"512 GB"}),
              lang[0] == L'E' ? u"12 GB of 512 GB used" : u"12 GB / 512 GB 使用中");
    EXPECT_NE(LoadText(1225).find(uR"(%LOCALAPPDATA%\Lumetta\Logs\app.log)"), std::u16string::npos);
  }
  EXPECT_EQ(LoadText(1022), u"?");
  EXPECT_EQ(LoadText(999), u"?");
  const std::vector<std::string> events = Events();
  EXPECT_EQ(
      std::vector<std::string>(events.end() - 2, events.end()),
      (std::vector<std::string>{"ERROR strings missing id=1022", "ERROR strings missing id=999"}));
}

}  // namespace
}  // namespace lumetta
