#include <gtest/gtest.h>

#include "app/log_win.h"
#include "app/version.h"
#include "app/version_win.h"
#include "base/program_path_win.h"
#include "support/test_files.h"

namespace lumetta {
namespace {

TEST(Version, TextsFromTheShippedResource) {
  EXPECT_EQ(ProductVersionText(), u"0.9.0");
  EXPECT_EQ(DisplayVersionText(), u"0.9.0 (2)");
}

// A program path of MAX_PATH characters or more: GetModuleFileNameW fills the buffer it is given,
// truncated, and says so only by returning the buffer's size.
DWORD WINAPI LongModuleName(HMODULE, LPWSTR buffer, DWORD size) {
  const std::wstring path = L"C:\\" + std::wstring(400, L'x') + L"\\lumetta.exe";
  const std::size_t copied = std::min<std::size_t>(path.size(), size - 1);
  path.copy(buffer, copied);
  buffer[copied] = L'\0';
  return copied < path.size() ? size : static_cast<DWORD>(copied);
}

TEST(Version, AProgramPathPastMaxPathIsReadWhole) {
  const std::optional<std::wstring> path = ProgramPath(&LongModuleName);
  ASSERT_TRUE(path);
  EXPECT_EQ(path->size(), 3u + 400 + 12);
  EXPECT_TRUE(path->ends_with(L"\\lumetta.exe"));
  EXPECT_EQ(ProgramPath(), std::optional<std::wstring>(test::SelfPath()));
}

TEST(Version, AProgramWithoutAVersionResourceLogsOnce) {
  ASSERT_FALSE(test::gProbeExe.empty()) << "run with --probe-exe=PATH";
  test::TempDir dir;
  const auto log = dir.path() / L"app.log";
  OpenLog(log.wstring());
  const VersionInfo info = ReadVersionInfo(test::gProbeExe.c_str());
  EXPECT_EQ(ProductVersionFrom(info), std::nullopt);
  EXPECT_EQ(DisplayVersionFrom(info), u"?");
  const std::vector<std::string> lines = test::SplitLines(test::ReadAll(log));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(lines[0].find(" WARN  app version_info_failed code=0x") != std::string::npos)
      << lines[0];
}

}  // namespace
}  // namespace lumetta
