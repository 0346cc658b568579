// Starts lumetta.exe with a clean data folder and reads what it leaves behind.
#pragma once

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/owner_win.h"
#include "card/card_window.h"
#include "probe/probe.h"
#include "support/loopback_responder.h"
#include "support/test_files.h"

namespace lumetta::e2e {

inline std::wstring gLumettaExe;  // set by --lumetta-exe=PATH

using test::WaitUntil;

// %LOCALAPPDATA%\Lumetta of the Wine prefix.
inline std::filesystem::path DataFolder() {
  PWSTR known = nullptr;
  std::filesystem::path folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known))) {
    folder = std::filesystem::path(known) / L"Lumetta";
  }
  CoTaskMemFree(known);
  return folder;
}
// The log's lines without CR LF; empty when there is no log.
inline std::vector<std::string> LogLines() {
  return test::SplitLines(test::ReadAll(DataFolder() / L"Logs" / L"app.log"));
}
inline auto CountLogLines(const std::string& text) {
  const std::vector<std::string> lines = LogLines();
  return std::ranges::count_if(lines, [&](const std::string& l) { return l.find(text) != l.npos; });
}

class Lumetta {
 public:
  // Starts lumetta.exe in English, whatever the machine's language, asking `feed` for updates.
  explicit Lumetta(const test::LoopbackResponder& feed) {
    SetEnvironmentVariableW(L"LUMETTA_LANG", L"en");
    SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", feed.Url().c_str());
    process_.reset(test::StartProcess(gLumettaExe));
    SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", nullptr);
    SetEnvironmentVariableW(L"LUMETTA_LANG", nullptr);
  }
  // Never leaves a card behind for the next test.
  ~Lumetta() {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
      if (HWND card = FindWindowW(kCardWindowClass, nullptr)) {
        probe::PostClose(card);
      }
      if (!WaitForExit(5000)) {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 5000);
      }
    }
  }
  Lumetta(const Lumetta&) = delete;
  Lumetta& operator=(const Lumetta&) = delete;

  [[nodiscard]] HANDLE process() const { return process_.get(); }
  [[nodiscard]] std::optional<DWORD> WaitForExit(DWORD timeoutMs) const {
    return probe::WaitForExit(process_.get(), timeoutMs);
  }

 private:
  UniqueHandle process_;
};

inline RECT Rect(HWND card) {
  return probe::CardRect(card).value_or(RECT{});
}
inline std::vector<LONG> Place(HWND card) {
  const RECT rect = Rect(card);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}
inline bool Topmost(HWND card) {
  return (GetWindowLongPtrW(card, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}
inline RECT WorkArea() {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

// Keys posted once the menu shows reach its loop, which Wine without a window manager sometimes
// cancels as it starts (a stray WM_CANCELMODE): the menu is opened again until `done` holds.
template <typename Done>
bool ChooseFromMenu(HWND card, std::initializer_list<WPARAM> keys, Done&& done) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (done()) {
      return true;
    }
    PostMessageW(card, WM_RBUTTONUP, 0, MAKELPARAM(40, 40));
    if (!WaitUntil([] {
          HWND menu = FindWindowW(L"#32768", nullptr);
          return menu != nullptr && IsWindowVisible(menu);
        })) {
      continue;
    }
    for (WPARAM key : keys) {
      PostMessageW(card, WM_KEYDOWN, key, 0);
    }
    if (WaitUntil(done, 5000)) {
      return true;
    }
    PostMessageW(card, WM_KEYDOWN, VK_ESCAPE, 0);
    WaitUntil([] { return FindWindowW(L"#32768", nullptr) == nullptr; }, 2000);
  }
  return false;
}

// Each test starts from a clean data folder with no card running.
class E2eTest : public testing::Test {
 public:
  void SetUp() override {
    ASSERT_FALSE(gLumettaExe.empty()) << "run with --lumetta-exe=PATH";
    // A card left over from an earlier run would answer for the one under test.
    if (HWND stale = FindWindowW(kCardWindowClass, nullptr)) {
      UniqueHandle owner = probe::OpenOwner(stale);
      probe::PostClose(stale);
      ASSERT_TRUE(owner && probe::WaitForExit(owner.get(), 10000)) << "a card is stuck";
    }
    RemoveDataFolder();
  }
  // The card goes before its data folder does.
  void TearDown() override {
    app.reset();
    RemoveDataFolder();
  }
  // Starts the card with `settingsJson` as its settings file (none when empty); its window.
  HWND Start(std::string_view settingsJson = {}) {
    if (!settingsJson.empty()) {
      std::filesystem::create_directories(DataFolder());
      test::WriteAll(DataFolder() / L"settings.json", settingsJson);
    }
    app = std::make_unique<Lumetta>(feed);
    HWND card = probe::WaitForCard(30000);
    EXPECT_NE(card, nullptr);
    return card;
  }
  static void RemoveDataFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(DataFolder(), ignored);
  }

  // No card a test starts asks the internet: its feed refuses, unless a test makes it listen.
  test::LoopbackResponder feed{false};  // before the card, which asks it until the card is gone
  std::unique_ptr<Lumetta> app;
};

}  // namespace lumetta::e2e
