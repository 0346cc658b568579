#include <windows.h>

#include <gtest/gtest.h>

#include "app/log_win.h"
#include "base/wide.h"
#include "settings/settings_file.h"
#include "support/logging_test.h"
#include "support/test_files.h"

namespace lumetta {
namespace {

using test::ReadAll;
using test::WriteAll;

class SettingsFileOnDisk : public test::LoggingTest {
 protected:
  std::filesystem::path File(const wchar_t* suffix = L"") const {
    return std::filesystem::path((dir_.path() / L"settings.json").wstring() + suffix);
  }
  std::u16string Path() const { return std::u16string(AsU16(File().wstring())); }
  HANDLE Hold(DWORD sharing) const {
    return CreateFileW(File().c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }
};

// No file or no folder: defaults, quietly; a save into a missing folder fails and says so. A
// file past 64 KiB is not read; a save leaves exactly the record's text and no temporary file.
TEST_F(SettingsFileOnDisk, MissingPlacesTheSizeLimitAndTheExactText) {
  const std::u16string nowhere = Path() + u"-missing\\settings.json";
  EXPECT_EQ(LoadSettings(Win32Files(), Path()).settings, DefaultSettings());
  EXPECT_EQ(LoadSettings(Win32Files(), nowhere).settings, DefaultSettings());
  EXPECT_TRUE(Events().empty());
  EXPECT_FALSE(SaveSettings(Win32Files(), nowhere, DefaultSettings()));

  std::string largest = R"({"showClock":false})";
  largest.resize(kSettingsFileMaxBytes, ' ');
  WriteAll(File(), largest);
  EXPECT_FALSE(LoadSettings(Win32Files(), Path()).settings.showClock);
  WriteAll(File(), largest + " ");
  EXPECT_EQ(LoadSettings(Win32Files(), Path()).settings, DefaultSettings());
  EXPECT_EQ(Events(), (std::vector<std::string>{"ERROR settings write_failed code=0x00000003",
                                                "WARN  settings read_failed code=0x000000DF"}));

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

// A file held without delete sharing cannot be replaced: the save fails and removes its
// temporary file. (Windows also refuses a read-only file; Wine running as root replaces it.) A
// file held without read sharing at start is kept as the backup by the first save.
TEST_F(SettingsFileOnDisk, HeldFiles) {
  WriteAll(File(), "{}");
  HANDLE holder = Hold(FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(SaveSettings(Win32Files(), Path(), DefaultSettings()));
  CloseHandle(holder);
  EXPECT_FALSE(std::filesystem::exists(File(L".tmp")));
  EXPECT_EQ(ReadAll(File()), "{}");

  const std::string mine = R"({"showGpu": false})";
  WriteAll(File(), mine);
  holder = Hold(0);
  SettingsStore store(Win32Files(), Path());
  EXPECT_EQ(store.Load(), DefaultSettings());
  CloseHandle(holder);
  ASSERT_TRUE(store.Save(DefaultSettings()));
  EXPECT_EQ(ReadAll(File(L".bak")), mine);
  EXPECT_EQ(ReadAll(File()), SettingsToJson(DefaultSettings()));
  const std::vector<std::string> events = Events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_TRUE(events[0].starts_with("ERROR settings replace_failed code=0x")) << events[0];
  EXPECT_EQ(events[1], "WARN  settings read_failed code=0x00000020");
}

// A saving process killed at any moment leaves one whole record, old or new.
TEST_F(SettingsFileOnDisk, KillingASaveAtAnyMomentLeavesAWholeRecord) {
  constexpr int kKills = 60;
  Settings b;  // as the saving child's second record
  b.showClock = false;
  b.hasWindowPosition = true;
  b.windowX = 123;
  b.windowY = 456;
  const std::string textA = SettingsToJson(Settings{}), textB = SettingsToJson(b);
  const std::wstring ready = L"Local\\lumetta-test-saver-" + std::to_wstring(GetCurrentProcessId());
  int sawA = 0, sawB = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, ready.c_str());
    HANDLE child =
        test::StartProcess(test::SelfPath(), L"\"--save-loop=" + File().wstring() + L"\" " + ready);
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
