#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "settings/login_item.h"
#include "support/logging_test.h"
#include "support/test_files.h"

namespace lumetta {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
constexpr wchar_t kValue[] = L"Lumetta";

std::optional<std::wstring> ReadEntry() {
  wchar_t text[2048] = {};
  DWORD size = sizeof text;
  return RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValue, RRF_RT_REG_SZ, nullptr, text, &size) ==
                 ERROR_SUCCESS
             ? std::optional<std::wstring>(text)
             : std::nullopt;
}

// Writes the Run entry with `bytes` bytes of `entry`, which need not end in a terminator.
void WriteEntry(const std::wstring& entry, std::size_t bytes) {
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, kValue, REG_SZ, entry.c_str(),
                            static_cast<DWORD>(bytes)),
            ERROR_SUCCESS);
}

// The current user's registry, redirected for this process to an empty scratch key: the real
// registry calls, without touching the values of the user running the tests.
class LoginItemRegistry : public test::LoggingTest {
 protected:
  void SetUp() override {
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
  static constexpr wchar_t kScratch[] = L"Software\\LumettaTest\\LoginItem";
  HKEY scratch_ = nullptr;
  const std::wstring quotedSelf_ = L"\"" + test::SelfPath() + L"\"";
};

TEST_F(LoginItemRegistry, StatesFollowTheRunEntryAndTheWindowsSwitch) {
  EXPECT_EQ(GetLoginItemState(), LoginItemState::Off);
  EXPECT_EQ(SetLoginItem(true), LoginItemState::On);
  EXPECT_EQ(ReadEntry(), quotedSelf_);
  // Windows' Startup apps page: an odd first byte is off there, an even one on.
  for (const auto& [first, state] :
       {std::pair<BYTE, LoginItemState>{3, LoginItemState::DisabledInWindows},
        {2, LoginItemState::On}}) {
    const BYTE approved[12] = {first};
    RegSetKeyValueW(HKEY_CURRENT_USER, kApprovedKey, kValue, REG_BINARY, approved, sizeof approved);
    EXPECT_EQ(GetLoginItemState(), state) << int{first};
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
  std::wstring upper = quotedSelf_;
  CharUpperW(upper.data());
  const std::wstring old = L"\"C:\\Old place\\lumetta.exe\"";
  const std::wstring withArgument = test::SelfPath() + L" --minimized";
  const struct {
    std::wstring entry;
    std::size_t bytes;
    std::wstring repaired;
  } cases[] = {{upper, (upper.size() + 1) * 2, upper},
               {old, (old.size() + 1) * 2, quotedSelf_},
               {withArgument, (withArgument.size() + 1) * 2, quotedSelf_},
               {old, old.size() * 2 + 1, quotedSelf_}};
  for (const auto& c : cases) {
    WriteEntry(c.entry, c.bytes);
    RepairLoginItem();
    EXPECT_EQ(ReadEntry(), c.repaired) << c.bytes;
  }
  const std::vector<std::string> events = Events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_TRUE(events[0].starts_with("INFO  login_item repaired path=") &&
              events[0].ends_with("win_tests.exe"))
      << events[0];
}

}  // namespace
}  // namespace lumetta
