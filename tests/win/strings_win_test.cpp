#include <windows.h>

#include <gtest/gtest.h>

#include <tuple>

#include "app/strings.h"
#include "app/text_ids.h"
#include "support/logging_test.h"
#include "support/rc_texts.h"

namespace lumetta {
namespace {

void Choose(const wchar_t* value) {
  SetEnvironmentVariableW(L"LUMETTA_LANG", value);
  ChooseLanguage();
}

class Strings : public test::LoggingTest {
 protected:
  void TearDown() override { Choose(nullptr); }
};

// Both string tables through the loader, each text as its resource file has it, the table chosen
// by the variable in any letter case; a missing id shows "?" and is logged.
TEST_F(Strings, EachTableHoldsItsResourceFilesTextsAndAMissingIdIsLogged) {
  for (const auto& [variable, language, locale] :
       {std::tuple(L"EN", "en", u"en-US"), std::tuple(L"Ja", "ja", u"ja-JP")}) {
    Choose(variable);
    EXPECT_EQ(LocaleName(), std::u16string_view(locale));
    const test::RcTexts texts(language);
    for (const TextId id : kAllTextIds) {
      EXPECT_EQ(LoadText(id), texts.Text(id)) << id;
    }
    // A failed save sends the user to the log file itself.
    EXPECT_NE(LoadText(kTextSettingsSaveFailed).find(uR"(%LOCALAPPDATA%\Lumetta\Logs\app.log)"),
              std::u16string::npos)
        << language;
  }
  // Before the first text of a block, after its last, and in no block at all.
  for (const std::uint32_t id : {999u, 1022u, 4000u}) {
    EXPECT_EQ(LoadText(id), u"?") << id;
  }
  EXPECT_EQ(
      Events("strings"),
      (std::vector<std::string>{"INFO  strings language lang=en", "INFO  strings language lang=ja",
                                "ERROR strings missing id=999", "ERROR strings missing id=1022",
                                "ERROR strings missing id=4000"}));
}

}  // namespace
}  // namespace lumetta
