#include <gtest/gtest.h>

#include "app/log_win.h"
#include "app/version.h"
#include "app/version_win.h"
#include "support/test_files.h"
#include "win/test_main.h"

namespace lumetta {
namespace {

TEST(Version, TextsFromTheShippedResource) {
  EXPECT_EQ(ProductVersionText(), u"0.9.0");
  EXPECT_EQ(DisplayVersionText(), u"0.9.0 (2)");
}

TEST(Version, AProgramWithoutAVersionResourceLogsOnce) {
  ASSERT_FALSE(test::ProbeExe().empty()) << "run with --probe-exe=PATH";
  test::TempDir dir;
  const auto log = dir.path() / L"app.log";
  OpenLog(log.wstring());
  const VersionInfo info = ReadVersionInfo(test::ProbeExe().c_str());
  EXPECT_EQ(ProductVersionFrom(info), u"0");
  EXPECT_EQ(DisplayVersionFrom(info), u"?");
  const std::vector<std::string> lines = test::SplitLines(test::ReadAll(log));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(lines[0].find(" WARN  app version_info_failed code=0x") != std::string::npos)
      << lines[0];
}

}  // namespace
}  // namespace lumetta
