#include "draw/theme_win.h"

#include <gtest/gtest.h>

#include "support/test_window.h"

namespace lumetta {
namespace {

constexpr wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr wchar_t kValue[] = L"AppsUseLightTheme";

// Leaves the user's theme setting as it found it.
class ThemeSetting : public testing::Test {
 protected:
  void SetUp() override {
    DWORD size = sizeof saved_;
    hadValue_ = RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &saved_,
                             &size) == ERROR_SUCCESS;
  }
  void TearDown() override {
    if (hadValue_) {
      Set(saved_);
    } else {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
    }
  }
  static void Set(DWORD value) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &value, sizeof value),
              ERROR_SUCCESS);
  }

  DWORD saved_ = 0;
  bool hadValue_ = false;
};

TEST_F(ThemeSetting, LightOnlyForANonZeroDword) {
  Set(1);
  EXPECT_FALSE(IsDarkTheme());
  Set(0);
  EXPECT_TRUE(IsDarkTheme());
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
  EXPECT_TRUE(IsDarkTheme());
  const wchar_t text[] = L"1";
  RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_SZ, text, sizeof text);
  EXPECT_TRUE(IsDarkTheme());  // the wrong type counts as missing
}

TEST_F(ThemeSetting, FrameSetUpPicksThePaletteOfTheSetting) {
  test::TestWindow window(700, 420, 40, 40);
  Set(1);
  EXPECT_FALSE(SetUpWindowFrame(window.hwnd(), WindowFrame::kCard).dark);
  Set(0);
  EXPECT_TRUE(RefreshWindowTheme(window.hwnd()).dark);
  EXPECT_TRUE(SetUpWindowFrame(window.hwnd(), WindowFrame::kDialog).dark);
}

}  // namespace
}  // namespace lumetta
