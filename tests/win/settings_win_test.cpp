#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/log_win.h"
#include "base/wide.h"
#include "settings/login_item.h"
#include "settings/settings_file.h"
#include "support/logging_test.h"
#include "support/test_files.h"
#include "text/utf.h"

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

  // A corrupt file held for reading is replaced by no save until moved aside; two such are kept.
  for (const char* corrupt : {"first{", "second{"}) {
    WriteAll(File(), corrupt);
    holder = Hold(FILE_SHARE_READ);
    SettingsStore held(Win32Files(), Path());
    EXPECT_EQ(held.Load(), DefaultSettings());
    EXPECT_FALSE(held.Save(DefaultSettings()));
    EXPECT_EQ(ReadAll(File()), corrupt);
    CloseHandle(holder);
    EXPECT_TRUE(held.Save(DefaultSettings()));
  }
  EXPECT_EQ(ReadAll(File(L".bak")) + ReadAll(File(L".bak.1")) + ReadAll(File(L".bak.2")),
            "second{first{" + mine);
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
  EXPECT_GT(std::min(sawA, sawB), 0);
}

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
constexpr wchar_t kValue[] = L"Lumetta";

std::optional<std::wstring> ReadEntry() {
  wchar_t text[2048] = {};
  DWORD size = sizeof text;
  return RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValue, RRF_RT_REG_SZ, nullptr, text, &size)
             ? std::nullopt
             : std::optional<std::wstring>(text);
}

// The current user's registry, redirected for this process to an empty scratch key: the real
// registry calls, without touching the values of the user running the tests.
class LoginItemRegistry : public test::LoggingTest {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);  // what a run that died left
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &scratch_, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, scratch_), ERROR_SUCCESS);
    LoggingTest::SetUp();
  }
  void TearDown() override {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(scratch_);
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
  }
  static constexpr wchar_t kScratch[] = L"Software\\LumettaTest";
  HKEY scratch_ = nullptr;
  const std::wstring self_ = L"\"" + test::SelfPath() + L"\"";
};

TEST_F(LoginItemRegistry, StatesFollowTheRunEntryAndTheWindowsSwitch) {
  EXPECT_EQ(GetLoginItemState(), LoginItemState::Off);
  EXPECT_EQ(SetLoginItem(true), LoginItemState::On);
  EXPECT_EQ(ReadEntry(), self_);
  // Windows' Startup apps page: an odd first byte is off there, an even one on.
  for (const BYTE first : {BYTE{3}, BYTE{2}}) {
    const BYTE approved[12] = {first};
    RegSetKeyValueW(HKEY_CURRENT_USER, kApprovedKey, kValue, REG_BINARY, approved, sizeof approved);
    EXPECT_EQ(GetLoginItemState(),
              first == 3 ? LoginItemState::DisabledInWindows : LoginItemState::On);
  }
  EXPECT_EQ(SetLoginItem(false), LoginItemState::Off);
  EXPECT_EQ(ReadEntry(), std::nullopt);
  EXPECT_EQ(SetLoginItem(false), LoginItemState::Off);  // no entry: still a success
  EXPECT_EQ(Events(), (std::vector<std::string>{"INFO  login_item registered",
                                                "INFO  login_item unregistered",
                                                "INFO  login_item unregistered"}));
}

// Only an entry naming another program file is rewritten (one in another letter case is ours),
// and an absent one stays absent. An odd byte count, half a character and no terminator, as
// some tools write, is still read.
TEST_F(LoginItemRegistry, RepairRewritesOnlyAStaleEntry) {
  RepairLoginItem();
  EXPECT_EQ(ReadEntry(), std::nullopt);
  std::wstring upper = self_;
  CharUpperW(upper.data());
  const std::wstring old = L"\"C:\\Old place\\lumetta.exe\"",
                     withArgument = test::SelfPath() + L" --minimized";
  const struct {
    std::wstring entry;
    std::size_t bytes;
    std::wstring repaired;
  } cases[] = {{upper, upper.size() * 2 + 2, upper},
               {old, old.size() * 2 + 2, self_},
               {withArgument, withArgument.size() * 2 + 2, self_},
               {old, old.size() * 2 + 1, self_}};
  for (const auto& c : cases) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, kValue, REG_SZ, c.entry.c_str(),
                    static_cast<DWORD>(c.bytes));
    RepairLoginItem();
    EXPECT_EQ(ReadEntry(), c.repaired) << c.bytes;
  }
  EXPECT_EQ(Events(), std::vector<std::string>(
                          3, "INFO  login_item repaired path=" + ToUtf8(AsU16(test::SelfPath()))));
}

}  // namespace
}  // namespace lumetta
