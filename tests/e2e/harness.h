// Starts lumetta.exe with a clean data folder and reads what it leaves behind.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "base/owner_win.h"

namespace lumetta::e2e {

const std::wstring& LumettaExe();
void SetLumettaExe(std::wstring path);

// %LOCALAPPDATA%\Lumetta of the Wine prefix.
std::filesystem::path DataFolder();
std::filesystem::path LogFile();
// Removes the data folder so the next start is a first start.
void CleanDataFolder();
// The log's lines without CR LF; empty when there is no log.
std::vector<std::string> LogLines();
// How many log lines contain `text`.
int CountLogLines(const std::string& text);
// Polls the log until a line contains `text`.
bool WaitForLogLine(const std::string& text, DWORD timeoutMs);

class Lumetta {
 public:
  // Starts lumetta.exe with LUMETTA_LANG set to `lang` (removed when null).
  explicit Lumetta(const wchar_t* lang = L"en");
  ~Lumetta();
  Lumetta(const Lumetta&) = delete;
  Lumetta& operator=(const Lumetta&) = delete;

  [[nodiscard]] bool started() const { return process_.valid(); }
  [[nodiscard]] HANDLE process() const { return process_.get(); }
  [[nodiscard]] std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;

 private:
  UniqueHandle process_;
};

// The primary work area (the whole screen under Xvfb without a taskbar).
RECT WorkArea();

template <typename Condition>
bool WaitUntil(Condition&& condition, DWORD timeoutMs = 10000) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!condition()) {
    if (GetTickCount64() >= deadline) {
      return false;
    }
    Sleep(20);
  }
  return true;
}

// The menu runs its own loop in the card's thread; keys posted to the card reach it there.
// Under Wine without a window manager the loop is sometimes cancelled as it starts (a stray
// WM_CANCELMODE from the focus change), so the menu is opened again until `done` holds.
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
    Sleep(200);
    for (WPARAM key : keys) {
      PostMessageW(card, WM_KEYDOWN, key, 0);
      Sleep(50);
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
 protected:
  void SetUp() override;
  void TearDown() override { CleanDataFolder(); }
};

}  // namespace lumetta::e2e
