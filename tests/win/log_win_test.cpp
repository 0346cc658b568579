#include <windows.h>

#include "app/log_win.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "app/log.h"
#include "support/test_files.h"

namespace lumetta {
namespace {

using test::ReadAll;
using test::SplitLines;
using test::TempDir;

// Two processes append at once through their own handles, past the rotation limit: no line is
// lost or split, although each rotation renames the file under the other's handle.
TEST(LogFile, TwoProcessesAppendingAcrossARotationLoseAndSplitNothing) {
  constexpr int kLinesEach = 10000;  // about 1.1 MiB in all: one rotation
  TempDir dir;
  const auto log = dir.path() / L"app.log";

  // Both write at the same time: each opens the log, says so, and waits for the gate.
  const std::wstring gate = L"Local\\lumetta-log-gate-" + std::to_wstring(GetCurrentProcessId());
  HANDLE go = CreateEventW(nullptr, TRUE, FALSE, gate.c_str());
  std::vector<HANDLE> ready, children;
  for (const wchar_t* tag : {L"A", L"B"}) {
    ready.push_back(CreateEventW(nullptr, TRUE, FALSE, (gate + L"-" + tag).c_str()));
    children.push_back(
        test::StartProcess(test::SelfPath(), L"\"--log-child=" + log.wstring() + L"\" " + tag +
                                                 L" " + std::to_wstring(kLinesEach) + L" " + gate));
    ASSERT_NE(children.back(), nullptr);
  }
  EXPECT_EQ(WaitForMultipleObjects(2, ready.data(), TRUE, 60000), WAIT_OBJECT_0);
  SetEvent(go);
  for (HANDLE child : children) {
    EXPECT_EQ(WaitForSingleObject(child, 120000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(child, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(child);
  }
  for (HANDLE event : {go, ready[0], ready[1]}) {
    CloseHandle(event);
  }

  const std::string text = ReadAll(log.wstring() + L".1") + ReadAll(log);  // the backup first
  ASSERT_TRUE(text.ends_with("\r\n"));
  EXPECT_LT(ReadAll(log).size(), kLogRotateBytes);
  const std::regex shape(
      R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z INFO  child line tag=([AB]) n=(\d+))");
  std::set<std::string> seen;
  for (const std::string& line : SplitLines(text)) {
    std::smatch match;
    ASSERT_TRUE(std::regex_match(line, match, shape)) << testing::PrintToString(line);
    EXPECT_TRUE(seen.insert(match[1].str() + match[2].str()).second) << line;
  }
  EXPECT_EQ(seen.size(), 2u * kLinesEach);
}

}  // namespace
}  // namespace lumetta
