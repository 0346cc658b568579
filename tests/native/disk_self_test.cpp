#include <gtest/gtest.h>

#include "metrics/disk.h"
#include "metrics/self_load.h"
#include "support/log_capture.h"
#include "support/scripted_sources.h"

namespace lumetta {
namespace {

TEST(SystemDriveRoot, FromTheWindowsDirectory) {
  EXPECT_EQ(SystemDriveRoot(10, u"D:\\Windows"), u"D:\\");
  EXPECT_EQ(SystemDriveRoot(10, u"C:\\Windows"), u"C:\\");
  EXPECT_EQ(SystemDriveRoot(16, u"\\\\server\\win"), u"C:\\");  // no drive letter
  EXPECT_EQ(SystemDriveRoot(0, u""), u"C:\\");                  // the call failed
  EXPECT_EQ(SystemDriveRoot(1, u"D:"), u"C:\\");                // lengths that cannot hold a drive
  EXPECT_EQ(SystemDriveRoot(2, u"E:"), u"E:\\");
  EXPECT_EQ(SystemDriveRoot(260, u"D:\\"), u"C:\\");  // did not fit the buffer
  // A directory shorter than its length claims is never read past its end.
  EXPECT_EQ(SystemDriveRoot(10, std::u16string_view(u"D:\\Windows", 1)), u"C:\\");
}

TEST(DiskCollector, QueriesTheWindowsDrive) {
  test::ClearCapturedEvents();
  test::ScriptedDisk source;
  source.windowsDirectory = u"D:\\WINDOWS";
  source.space.then({true, 0, 1000, 250});
  source.space.then({false, 21});
  source.space.then({true, 0, 1000, 100});
  DiskCollector collector(source);
  const DiskSample first = collector.collect();
  EXPECT_EQ(source.lastPath, u"D:\\");
  EXPECT_TRUE(first.valid);
  EXPECT_EQ(first.usedBytes, 750u);
  EXPECT_EQ(first.totalBytes, 1000u);
  EXPECT_FALSE(collector.collect().valid);
  EXPECT_EQ(collector.collect().usedBytes, 900u);
  EXPECT_EQ(test::CapturedLines(),
            (std::vector<std::string>{"WARN  disk free_space_failed code=0x00000015",
                                      "INFO  disk recovered"}));
}

TEST(SelfCollector, MovingAverageOverElevenIntervals) {
  test::ScriptedSelf source;
  SelfCollector collector(source);
  constexpr std::uint64_t kSecond = 10'000'000;
  // CPU time grows by a tenth of a second per second, except 1.1 s in the first interval.
  std::uint64_t cpu = 0;
  for (int call = 0; call < 12; ++call) {
    source.usage.reset({true, 0, cpu, 4096});
    const SelfSample sample = collector.collect(static_cast<std::uint64_t>(call + 5) * kSecond);
    EXPECT_EQ(sample.valid, call > 0) << call;
    if (call == 11) {
      // Eleven kept entries: the 12th call still reaches back to the first one.
      EXPECT_DOUBLE_EQ(sample.cpuShare, (1.1 + 10 * 0.1) / 11);
      EXPECT_EQ(sample.privateWorkingSet, 4096u);
    }
    cpu += call == 0 ? 11 * kSecond / 10 : kSecond / 10;
  }
}

TEST(SelfCollector, SameInstantGivesNoValueAndFailuresEmptyTheWindow) {
  test::ClearCapturedEvents();
  test::ScriptedSelf source;
  SelfCollector collector(source);
  source.usage.reset({true, 0, 100, 1});
  EXPECT_FALSE(collector.collect(1000).valid);
  EXPECT_FALSE(collector.collect(1000).valid);
  const SelfSample later = collector.collect(2000);
  EXPECT_TRUE(later.valid);
  EXPECT_EQ(later.cpuShare, 0.0);  // no CPU time used
  source.usage.reset({false, 6});
  EXPECT_FALSE(collector.collect(3000).valid);
  source.usage.reset({true, 0, 100, 1});
  EXPECT_FALSE(collector.collect(4000).valid);
  EXPECT_TRUE(collector.collect(5000).valid);
  EXPECT_EQ(test::CapturedLines(),
            (std::vector<std::string>{"WARN  self query_failed code=0x00000006",
                                      "INFO  self recovered"}));
}

}  // namespace
}  // namespace lumetta
