#include <windows.h>

#include <gtest/gtest.h>

#include "e2e/harness.h"
#include "settings/settings.h"
#include "probe/probe.h"
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

// A file another program holds at start is not overwritten by the first save: it is kept.
TEST_F(StoredSettings, AFileHeldAtStartBecomesTheBackupOfTheFirstSave) {
  const auto file = DataFolder() / L"settings.json";
  const std::string mine = R"({"showGpu": false})";
  test::WriteAll(file, mine);
  HANDLE holder = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  Lumetta app;
  HWND card = probe::WaitForCard(kTimeoutMs);
  ASSERT_NE(card, nullptr);
  EXPECT_TRUE(WaitForLogLine("WARN  settings read_failed code=0x00000020", kTimeoutMs));
  CloseHandle(holder);

  SetWindowPos(card, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(card, WM_EXITSIZEMOVE, 0, 0);
  EXPECT_EQ(test::ReadAll(DataFolder() / L"settings.json.bak"), mine);
  const SettingsRead saved = SettingsFromJson(test::ReadAll(file));
  EXPECT_FALSE(saved.unreadable);
  EXPECT_EQ(saved.settings.windowX, 300);
}

}  // namespace
}  // namespace lumetta::e2e
