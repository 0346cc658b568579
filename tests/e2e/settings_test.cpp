#include <windows.h>

#include <gtest/gtest.h>

#include "e2e/harness.h"
#include "support/probe.h"
#include "support/test_files.h"

namespace lumetta::e2e {
namespace {

constexpr DWORD kTimeoutMs = 30000;

class StoredSettings : public E2eTest {
 protected:
  void SetUp() override {
    E2eTest::SetUp();
    std::filesystem::create_directories(DataFolder());
  }
};

TEST_F(StoredSettings, AnEditedFileShapesTheCard) {
  test::WriteAll(DataFolder() / L"settings.json",
                 R"({"displayScale": 1.5, "windowX": 100, "windowY": 200, "alwaysOnTop": false})");
  Lumetta app;
  HWND card = probe::WaitForCard(kTimeoutMs);
  ASSERT_NE(card, nullptr);
  const std::optional<RECT> rect = probe::CardRect(card);
  ASSERT_TRUE(rect);
  EXPECT_EQ(rect->left, 100);
  EXPECT_EQ(rect->top, 200);
  EXPECT_EQ(rect->right - rect->left, 285);  // 190 DIPs at 1.5
  EXPECT_EQ(rect->bottom - rect->top, 750);  // 500 DIPs of sections
  EXPECT_EQ(GetWindowLongPtrW(card, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_F(StoredSettings, ACorruptFileIsMovedAsideAtStart) {
  test::WriteAll(DataFolder() / L"settings.json", "{\"showClock\": tru");
  Lumetta app;
  HWND card = probe::WaitForCard(kTimeoutMs);
  ASSERT_NE(card, nullptr);
  EXPECT_TRUE(WaitForLogLine("WARN  settings corrupt_file backup=", kTimeoutMs));
  EXPECT_FALSE(std::filesystem::exists(DataFolder() / L"settings.json"));
  EXPECT_EQ(test::ReadAll(DataFolder() / L"settings.json.bak"), "{\"showClock\": tru");
  EXPECT_NE(GetWindowLongPtrW(card, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);  // the default
}

}  // namespace
}  // namespace lumetta::e2e
