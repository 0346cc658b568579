#include <windows.h>

#include <gtest/gtest.h>

#include "app/log_win.h"
#include "base/wide.h"
#include "settings/settings_file.h"
#include "support/test_files.h"

namespace lumetta {
namespace {

using test::ReadAll;
using test::SplitLines;
using test::TempDir;
using test::WriteAll;

class SettingsFileOnDisk : public testing::Test {
 protected:
  void SetUp() override { OpenLog((dir_.path() / L"app.log").wstring()); }

  std::filesystem::path File(const wchar_t* suffix = L"") const {
    return std::filesystem::path((dir_.path() / L"settings.json").wstring() + suffix);
  }
  std::u16string Path() const { return std::u16string(AsU16(File().wstring())); }
  std::vector<std::string> Events() const { return test::LogEvents(dir_.path() / L"app.log"); }

  TempDir dir_;
};

// No file or no folder: defaults, quietly; a save into a missing folder fails and says so.
TEST_F(SettingsFileOnDisk, AMissingFileOrFolder) {
  const std::u16string nowhere = Path() + u"-missing\\settings.json";
  EXPECT_EQ(LoadSettings(Win32Files(), Path()).settings, DefaultSettings());
  EXPECT_EQ(LoadSettings(Win32Files(), nowhere).settings, DefaultSettings());
  EXPECT_FALSE(std::filesystem::exists(File()));
  EXPECT_TRUE(Events().empty());
  EXPECT_FALSE(SaveSettings(Win32Files(), nowhere, DefaultSettings()));
  EXPECT_EQ(Events(), std::vector<std::string>{"ERROR settings write_failed code=0x00000003"});
}

// A save leaves exactly the record's text and no temporary file; a file past 64 KiB is not read.
TEST_F(SettingsFileOnDisk, ExactTextAndTheSizeLimit) {
  std::string largest = R"({"showClock":false})";
  largest.resize(kSettingsFileMaxBytes, ' ');
  WriteAll(File(), largest);
  EXPECT_FALSE(LoadSettings(Win32Files(), Path()).settings.showClock);
  WriteAll(File(), largest + " ");
  EXPECT_EQ(LoadSettings(Win32Files(), Path()).settings, DefaultSettings());
  EXPECT_EQ(Events(), std::vector<std::string>{"WARN  settings read_failed code=0x000000DF"});

  Settings settings;
  settings.hasWindowPosition = true;
  settings.windowX = -1200;
  settings.windowY = 40;
  settings.displayScale = 1.25;
  ASSERT_TRUE(SaveSettings(Win32Files(), Path(), settings));
  EXPECT_EQ(ReadAll(File()), SettingsToJson(settings));
  EXPECT_FALSE(std::filesystem::exists(File(L".tmp")));
  EXPECT_EQ(LoadSettings(Win32Files(), Path()).settings, settings);
}

// Windows refuses to replace a read-only file, but Wine running as root replaces it (root
// ignores the permission bits Wine maps it to). A file held open without delete sharing is
// refused by both, and takes the same path through the save.
TEST_F(SettingsFileOnDisk, AFileThatCannotBeReplacedFailsTheSaveAndRemovesTheTemporaryFile) {
  WriteAll(File(), "{}");
  HANDLE holder = CreateFileW(File().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(SaveSettings(Win32Files(), Path(), DefaultSettings()));
  CloseHandle(holder);
  EXPECT_FALSE(std::filesystem::exists(File(L".tmp")));
  EXPECT_EQ(ReadAll(File()), "{}");
  const std::vector<std::string> events = Events();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_TRUE(events[0].starts_with("ERROR settings replace_failed code=0x")) << events[0];
}

// A saving process killed at any moment leaves one whole record, old or new.
TEST_F(SettingsFileOnDisk, KillingASaveAtAnyMomentLeavesAWholeRecord) {
  constexpr int kKills = 60;
  Settings a;
  Settings b;
  b.showClock = false;
  b.hasWindowPosition = true;
  b.windowX = 123;
  b.windowY = 456;
  const std::string textA = SettingsToJson(a);
  const std::string textB = SettingsToJson(b);
  const std::wstring self = test::SelfPath();

  int sawA = 0;
  int sawB = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    const std::wstring ready =
        L"Local\\lumetta-test-saver-" + std::to_wstring(GetCurrentProcessId());
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, ready.c_str());
    HANDLE child = test::StartProcess(self, L"\"--save-loop=" + File().wstring() + L"\" " + ready);
    ASSERT_NE(child, nullptr);
    ASSERT_EQ(WaitForSingleObject(event, 30000), WAIT_OBJECT_0);
    Sleep(static_cast<DWORD>((kill * 7) % 23));  // varied moments inside the save loop
    TerminateProcess(child, 1);
    WaitForSingleObject(child, INFINITE);
    CloseHandle(child);
    CloseHandle(event);

    const std::string text = ReadAll(File());
    ASSERT_TRUE(text == textA || text == textB) << "after kill " << kill << ": " << text;
    sawA += text == textA ? 1 : 0;
    sawB += text == textB ? 1 : 0;
  }
  std::printf("settings.json survived %d kills (%d old, %d new records)\n", kKills, sawA, sawB);
  EXPECT_GT(sawA, 0);
  EXPECT_GT(sawB, 0);
}

}  // namespace
}  // namespace lumetta
