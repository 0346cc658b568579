#include <windows.h>

#include <gtest/gtest.h>

#include "app/log_win.h"
#include "settings/login_item.h"
#include "support/logging_test.h"
#include "support/test_files.h"

namespace lumetta {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

std::wstring ReadEntry() {
  wchar_t text[2048] = {};
  DWORD size = sizeof text;
  return RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Lumetta", RRF_RT_REG_SZ, nullptr, text,
                      &size) == ERROR_SUCCESS
             ? text
             : L"<none>";
}

// Starts and ends without the program's two registry values.
class LoginItemRegistry : public test::LoggingTest {
 protected:
  void SetUp() override {
    TearDown();
    LoggingTest::SetUp();
  }
  void TearDown() override {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Lumetta");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kApprovedKey, L"Lumetta");
  }
};

TEST_F(LoginItemRegistry, StatesFollowTheRunEntryAndTheWindowsSwitch) {
  EXPECT_EQ(GetLoginItemState(), LoginItemState::Off);
  EXPECT_EQ(SetLoginItem(true), LoginItemState::On);
  EXPECT_EQ(ReadEntry(), L"\"" + test::SelfPath() + L"\"");
  // Turned off in Windows' Startup apps (the byte rules are the native tests').
  const BYTE disabled[12] = {3};
  RegSetKeyValueW(HKEY_CURRENT_USER, kApprovedKey, L"Lumetta", REG_BINARY, disabled,
                  sizeof disabled);
  EXPECT_EQ(GetLoginItemState(), LoginItemState::DisabledInWindows);
  EXPECT_EQ(SetLoginItem(false), LoginItemState::Off);
  EXPECT_EQ(SetLoginItem(false), LoginItemState::Off);  // no entry: still a success
  EXPECT_EQ(Events(), (std::vector<std::string>{"INFO  login_item registered",
                                                "INFO  login_item unregistered",
                                                "INFO  login_item unregistered"}));
}

// Only an entry for another program file is rewritten: one in another letter case is ours. An
// odd byte count (half a terminator, as some tools write) is still read.
TEST_F(LoginItemRegistry, RepairRewritesOnlyAStaleEntry) {
  RepairLoginItem();  // not registered: stays so
  EXPECT_EQ(ReadEntry(), L"<none>");
  const auto write = [](const std::wstring& entry, bool odd) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Lumetta", REG_SZ, entry.c_str(),
                    static_cast<DWORD>((entry.size() + (odd ? 0 : 1)) * sizeof(wchar_t) + odd));
  };
  std::wstring upper = L"\"" + test::SelfPath() + L"\"";
  CharUpperW(upper.data());
  write(upper, false);
  RepairLoginItem();
  EXPECT_EQ(ReadEntry(), upper);
  const std::wstring old = L"\"C:\\Old place\\lumetta.exe\"";
  for (const auto& [entry, odd] :
       {std::pair(old, false), std::pair(test::SelfPath() + L" --minimized", false),
        std::pair(old, true)}) {
    write(entry, odd);
    RepairLoginItem();
    EXPECT_EQ(ReadEntry(), L"\"" + test::SelfPath() + L"\"");
  }
  const std::vector<std::string> events = Events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_TRUE(events[0].starts_with("INFO  login_item repaired path=")) << events[0];
  EXPECT_TRUE(events[0].ends_with("win_tests.exe")) << events[0];
}

}  // namespace
}  // namespace lumetta
