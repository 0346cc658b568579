#include "metrics/cpu_load.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "metrics/battery.h"
#include "metrics/cpu_frequency.h"
#include "metrics/disk.h"
#include "metrics/disk_activity.h"
#include "metrics/gpu.h"
#include "metrics/hardware_names.h"
#include "metrics/memory.h"
#include "metrics/self_load.h"
#include "support/log_capture.h"
#include "support/scripted_sources.h"

namespace lumetta {
namespace {

constexpr std::uint64_t kSecond = 10'000'000;

TEST(ProcessorLoad, Arithmetic) {
  const ProcessorTimes base{100, 200, 50};
  EXPECT_EQ(ProcessorLoad(base, base), 0.0);                   // nothing ran
  EXPECT_EQ(ProcessorLoad(base, {100, 300, 100}), 1.0);        // no idle at all
  EXPECT_EQ(ProcessorLoad(base, {100, 201, 50}), 1.0);         // the smallest step
  EXPECT_EQ(ProcessorLoad(base, {100, 200, 150}), 1.0);        // user time alone
  EXPECT_EQ(ProcessorLoad(base, {150, 300, 100}), 2.0 / 3.0);  // busy 100 of 150
  EXPECT_EQ(ProcessorLoad(base, {200, 300, 50}), 0.0);         // all idle
  EXPECT_EQ(ProcessorLoad(base, {99, 400, 100}), 0.0);         // idle went backwards
  EXPECT_EQ(ProcessorLoad(base, {100, 199, 100}), 0.0);        // kernel went backwards
  EXPECT_EQ(ProcessorLoad(base, {100, 300, 49}), 0.0);         // user went backwards
  EXPECT_EQ(ProcessorLoad(base, {300, 300, 60}), 0.0);         // idle beyond busy base
}

// A processor gone between two reads: only those in both are compared, none past the shorter.
TEST(CpuLoadTest, FewerProcessorsAverageTheCommonOnes) {
  test::ScriptedCpuTimes source;
  source.script.Then({0, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}).Then({0, {{0, 100, 0}, {50, 100, 0}}});
  CpuLoadCollector collector{source};
  EXPECT_FALSE(collector.Collect().valid);
  const CpuLoad& load = collector.Collect();
  EXPECT_EQ(load.cores, (std::vector<double>{1.0, 0.5}));
  EXPECT_EQ(load.total, 0.75);
}

TEST(CpuClockTest, FormatFailuresKeepTheQueryAndNameTheRightCode) {
  test::ClearCapturedEvents();
  test::ScriptedCounters counters;
  counters.first.Then({0, 0, 2000});
  counters.second.Then({0, 0, 150});
  CpuFrequencyCollector collector{counters};
  EXPECT_FALSE(collector.Collect().valid);
  counters.first.reset({0, 0x800007D1, 2000});  // the frequency value's own status
  counters.second.reset({0xC0000BBA, 0, 150});  // a failing call comes first
  EXPECT_FALSE(collector.Collect().valid);
  counters.second.reset({0, 0x800007D2, 150});
  EXPECT_FALSE(collector.Collect().valid);
  counters.first.reset({0, 0, 2000});
  EXPECT_FALSE(collector.Collect().valid);
  counters.second.reset({0, 0, 100});
  EXPECT_EQ(collector.Collect().mhz, 2000.0);
  EXPECT_EQ(counters.opens, 1);
  EXPECT_EQ(test::CapturedLines(),
            (std::vector<std::string>{"WARN  cpu_frequency format_failed code=0xC0000BBA",
                                      "WARN  cpu_frequency format_failed code=0x800007D1",
                                      "WARN  cpu_frequency format_failed code=0x800007D2",
                                      "INFO  cpu_frequency recovered"}));
}

// A counter this system lacks (PDH_CSTATUS_NO_COUNTER) is asked for once a minute, or when its
// row comes back; so is a query that never collected. One that has worked is reopened at once.
TEST(DiskActivityTest, AMissingCounterIsOpenedAgainOnlyRarely) {
  test::ClearCapturedEvents();
  test::ScriptedCounters counters;
  counters.open.Then(0xC0000BB9);
  counters.first.Then({0, 0, 4096});
  counters.second.Then({0, 0, 512});
  DiskActivityCollector collector{counters};
  std::vector<int> opens;
  const auto collect = [&](int times) {
    for (int i = 0; i < times; ++i) {
      EXPECT_FALSE(collector.Collect().valid);
    }
    opens.push_back(counters.opens);
  };
  collect(kCounterReopenInterval);
  collect(1);
  collector.Close();
  counters.open.reset(0);
  collect(1);  // at once, and primed
  EXPECT_EQ(collector.Collect(), (DiskActivitySample{4096, 512, true}));
  // PDH_NO_DATA from a query that worked (reopened at once), then from the new one.
  counters.collect.Then(0x800007D5).Then(0x800007D5).Then(0);
  collect(kCounterReopenInterval);
  collect(2);
  EXPECT_EQ(collector.Collect().readBytesPerSecond, 4096.0);
  EXPECT_EQ(opens, (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(
      test::CapturedLines(),
      (std::vector<std::string>{
          "WARN  disk_activity open_failed code=0xC0000BB9", "INFO  disk_activity recovered",
          "WARN  disk_activity collect_failed code=0x800007D5", "INFO  disk_activity recovered"}));
}

TEST(Battery, FromThePowerStatus) {
  constexpr std::uint32_t kUnknownTime = 0xFFFFFFFF;
  const struct {
    PowerStatus status;
    BatterySample sample;
  } cases[] = {
      {{true, 0, 0, 1, 80, 5400}, {true, 0.8, true, false, false, 5400, true}},  // on battery
      {{true, 0, 1, 9, 50, kUnknownTime}, {true, 0.5, true, true, true, 0, false}},
      {{true, 0, 1, 0, 100, 1234}, {true, 1.0, true, true, false, 0, false}},  // no estimate on AC
      {{true, 0, 0, 2, 255, kUnknownTime}, {true, 0, false, false, false, 0, false}},
      {{true, 0, 255, 4, 101, 60}, {true, 0, false, false, false, 60, true}},
      {{true, 0, 1, 128, 255, kUnknownTime}, {}},  // no system battery
      {{true, 0, 0, 255, 80, 5400}, {}},           // the flags unknown
      {{false, 5}, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BatteryFromStatus(c.status), c.sample) << int{c.status.batteryFlag};
  }
}

// Node lists of different lengths (a changed adapter) give no value, not a read past the shorter.
TEST(AdapterBusy, BusiestNodeOfElapsed) {
  // The second: a node going back adds nothing; the third: more than elapsed.
  EXPECT_EQ((std::vector{AdapterBusy({0, 0}, {30, 10}, 100), AdapterBusy({50, 0}, {40, 10}, 100),
                         AdapterBusy({0}, {250}, 100), AdapterBusy({0}, {0}, 100),
                         AdapterBusy({0}, {10}, 0), AdapterBusy({}, {}, 100),
                         AdapterBusy({0}, {10, 10}, 100)}),
            (std::vector<std::optional<double>>{0.3, 0.1, 1.0, 0.0, {}, {}, {}}));
}

TEST(GpuTest, ANodeFailureEnumeratesAgainOnTheNextTick) {
  test::ClearCapturedEvents();
  test::ScriptedGpu gpu;
  gpu.adapters.push_back({1, 1u, u"AMD Radeon RX 7800 XT", 2u, {0, 0}});
  GpuCollector collector{gpu};
  EXPECT_FALSE(collector.Collect(0).valid);
  EXPECT_TRUE(collector.Collect(kSecond).valid);
  collector.CollectDetails();  // opens the adapter, closed when it is enumerated again
  gpu.nodeStatus = static_cast<std::int32_t>(0xC000000D);
  EXPECT_FALSE(collector.Collect(2 * kSecond).valid);
  gpu.nodeStatus = 0;
  EXPECT_FALSE(collector.Collect(3 * kSecond).valid);  // enumerated again, no previous sample
  EXPECT_TRUE(collector.Collect(4 * kSecond).valid);
  EXPECT_EQ((std::vector<int>{gpu.enumerations, gpu.closes}), (std::vector<int>{2, 1}));
  EXPECT_EQ(
      test::CapturedLines(),
      (std::vector<std::string>{"INFO  gpu adapters_enumerated count=1 first=Radeon RX 7800 XT",
                                "WARN  gpu node_query_failed code=0xC000000D",
                                "INFO  gpu adapters_enumerated count=1 first=Radeon RX 7800 XT",
                                "INFO  gpu recovered"}));
}

// Each failure shows nothing, is logged once and not asked again until the details come back;
// dedicated memory is the adapter's own segments, the aperture (system memory) left out.
TEST(GpuDetailsTest, FailuresAndTheAdaptersOwnSegments) {
  constexpr std::int32_t kMissing = static_cast<std::int32_t>(0xC000007A);
  constexpr std::int32_t kNotSupported = static_cast<std::int32_t>(0xC00000BB);
  const std::vector<KmtSegment> segments{{8ull << 30, 3ull << 30, false},
                                         {16ull << 30, 5ull << 30, true},
                                         {1ull << 28, 1 << 26, false}};
  const GpuDetails all{61.5, true, (3ull << 30) + (1 << 26), (8ull << 30) + (1 << 28), true};
  const std::string open = "WARN  gpu open_adapter_failed code=0xC000007A",
                    temperature = "WARN  gpu temperature_failed code=0xC00000BB",
                    segment = "WARN  gpu segment_query_failed code=0xC00000BB";
  const struct {
    std::int32_t open, temperature, segment;
    std::uint32_t tenths;
    std::vector<KmtSegment> segments;
    GpuDetails shown;
    std::vector<int> queries;  // opens, temperatures, segments over three ticks
    std::vector<std::string> log;
  } cases[] = {
      {0, 0, 0, 615, segments, all, {1, 3, 9}, {}},
      // A system without the open call; no segments reported (as by Wine's statistics).
      {kMissing, 0, 0, 615, {}, {}, {1, 0, 0}, {open}},
      // An older driver supports neither query.
      {0, kNotSupported, kNotSupported, 615, segments, {}, {1, 1, 1}, {temperature, segment}},
      // No sensor (zero), and shared memory only: nothing to show, but asked each tick.
      {0, 0, 0, 0, {{1ull << 30, 1 << 29, true}}, {}, {1, 3, 3}, {}},
  };
  for (const auto& c : cases) {
    test::ClearCapturedEvents();
    test::ScriptedGpu gpu;
    gpu.adapters.push_back({1, 1u, u"AMD Radeon RX 7800 XT", 1u, {0}, c.segments, c.tenths});
    gpu.openStatus = c.open;
    gpu.temperatureStatus = c.temperature;
    gpu.segmentStatus = c.segment;
    GpuCollector collector{gpu};
    for (std::uint64_t tick = 0; tick < 3; ++tick) {
      collector.Collect(tick * kSecond);
      EXPECT_EQ(collector.CollectDetails(), c.shown) << &c - cases;
    }
    EXPECT_EQ((std::vector<int>{gpu.opens, gpu.temperatures, gpu.segmentQueries}), c.queries);
    EXPECT_EQ(gpu.closes, c.temperature < 0 ? 1 : 0);  // not asked again: not kept open
    collector.ReleaseDetails();
    EXPECT_EQ(gpu.closes, c.open == 0 ? 1 : 0);
    collector.CollectDetails();  // asked again, a repeated failure not logged again
    EXPECT_EQ(gpu.opens, c.queries[0] + 1);
    std::vector<std::string> log{"INFO  gpu adapters_enumerated count=1 first=Radeon RX 7800 XT"};
    log.insert(log.end(), c.log.begin(), c.log.end());
    EXPECT_EQ(test::CapturedLines("gpu"), log);
  }
  // The details are those of the adapter the GPU section names, the busiest.
  test::ScriptedGpu gpu;
  gpu.adapters.push_back({1, 1u, u"Intel UHD Graphics 770", 1u, {0}, {}, 450});
  gpu.adapters.push_back({2, 1u, u"AMD Radeon RX 7800 XT", 1u, {0}, {}, 615});
  GpuCollector collector{gpu};
  collector.Collect(0);
  EXPECT_EQ(collector.CollectDetails().temperatureCelsius, 45.0);
  gpu.adapters[1].running = {kSecond / 2};
  collector.Collect(kSecond);
  EXPECT_EQ(collector.CollectDetails().temperatureCelsius, 61.5);
}

using enum MemoryPressure;
using Bytes = std::vector<std::uint64_t>;

TEST(MemoryCollector, SampleFailuresAndLevels) {
  test::ClearCapturedEvents();
  test::ScriptedMemory source;
  // 16 GiB with 6 available at load 90; commit 24 of 32 GiB.
  const MemoryStatus good{true, 0, 90, 16ull << 30, 6ull << 30, 32ull << 30, 8ull << 30};
  // Then load 40 with commit 31 of 32 GiB: the commit charge alone is critical; then load 91:
  // Critical is kept until the load falls below 90.
  source.status.Then(good).Then({false, 5});
  source.status.Then({true, 0, 40, 16ull << 30, 6ull << 30, 32ull << 30, 1ull << 30});
  source.status.Then({true, 0, 91, 16ull << 30, 6ull << 30, 32ull << 30, 30ull << 30});
  source.pools.Then({true, 0, 1000, 24, 4096}).Then({false, 87}).Then({false, 87});
  source.pools.Then({true, 0, 1, 1, 4096});
  source.high.Then(true);
  MemoryCollector collector(source);

  MemorySample sample = collector.Collect();
  ASSERT_TRUE(sample.valid);
  EXPECT_EQ((Bytes{sample.usedPhysical, sample.totalPhysical, sample.kernel, sample.AppBytes(),
                   sample.commitUsed, sample.commitLimit}),
            (Bytes{10ull << 30, 16ull << 30, 1024ull * 4096u, (10ull << 30) - (4ull << 20),
                   24ull << 30, 32ull << 30}));
  EXPECT_EQ(sample.pressure, Elevated);  // load 90, no previous level

  EXPECT_FALSE(collector.Collect().valid);
  sample = collector.Collect();  // kernel pools fail: still valid, kernel 0
  EXPECT_TRUE(sample.valid && sample.kernel == 0 && sample.pressure == Critical);
  EXPECT_EQ(collector.Collect().pressure, Critical);  // the same failure: not logged again
  sample = collector.Collect();
  EXPECT_EQ(sample.kernel, 2u * 4096u);
  sample.kernel = sample.usedPhysical + 1;
  EXPECT_EQ(sample.AppBytes(), 0u);  // never negative
  EXPECT_EQ(test::CapturedLines(),
            (std::vector<std::string>{"WARN  memory status_failed code=0x00000005",
                                      "INFO  memory recovered",
                                      "WARN  memory_kernel performance_info_failed code=0x00000057",
                                      "INFO  memory_kernel recovered"}));

  // Each level's edge, and a level kept until the load falls 5 points below it.
  using Case = std::tuple<std::uint32_t, std::optional<MemoryPressure>, MemoryPressure>;
  for (const auto& [load, previous, level] :
       {Case{95, {}, Critical}, Case{94, {}, Elevated}, Case{90, Critical, Critical},
        Case{89, Critical, Elevated}, Case{85, {}, Elevated}, Case{84, {}, Normal},
        Case{80, Elevated, Elevated}, Case{79, Elevated, Normal}}) {
    EXPECT_EQ(RatePressure(load, 0, false, true, previous), level) << load;
  }
}

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
  source.space.Then({true, 0, 1000, 250}).Then({false, 21}).Then({true, 0, 1000, 100});
  DiskCollector collector(source);
  const DiskSample first = collector.Collect();
  EXPECT_EQ(source.lastPath, u"D:\\");
  EXPECT_TRUE(first.valid);
  EXPECT_EQ((Bytes{first.usedBytes, first.totalBytes}), (Bytes{750, 1000}));
  EXPECT_FALSE(collector.Collect().valid);
  EXPECT_EQ(collector.Collect().usedBytes, 900u);
  EXPECT_EQ(test::CapturedLines(),
            (std::vector<std::string>{"WARN  disk free_space_failed code=0x00000015",
                                      "INFO  disk recovered"}));
}

TEST(SelfCollector, MovingAverageOverElevenIntervals) {
  test::ScriptedSelf source;
  SelfCollector collector(source);
  // CPU time grows by a tenth of a second per second, except 1.1 s in the first interval.
  std::uint64_t cpu = 0;
  for (int call = 0; call < 12; ++call) {
    source.usage.reset({true, 0, cpu, 4096});
    const SelfSample sample = collector.Collect(static_cast<std::uint64_t>(call + 5) * kSecond);
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
  EXPECT_FALSE(collector.Collect(1000).valid);
  EXPECT_FALSE(collector.Collect(1000).valid);
  const SelfSample later = collector.Collect(2000);
  EXPECT_TRUE(later.valid);
  EXPECT_EQ(later.cpuShare, 0.0);  // no CPU time used
  source.usage.reset({false, 6});
  EXPECT_FALSE(collector.Collect(3000).valid);
  source.usage.reset({true, 0, 100, 1});
  EXPECT_FALSE(collector.Collect(4000).valid);
  EXPECT_TRUE(collector.Collect(5000).valid);
  EXPECT_EQ(test::CapturedLines(),
            (std::vector<std::string>{"WARN  self query_failed code=0x00000006",
                                      "INFO  self recovered"}));
}

std::string Narrow(std::u16string_view text) {
  return std::string(text.begin(), text.end());
}

TEST(HardwareNames, EdgeCases) {
  const struct {
    std::u16string_view raw;
    std::u16string_view cpu;
  } cases[] = {{u"Acme(Tm) Chip", u"Acme(Tm) Chip"},  // only the four exact marks go
               {u"Core i5", u"i5"},
               {u"Intel Core", u"Core"},
               {u"Gen 4 Thing", u"Gen 4 Thing"},  // no ordinal before it
               {u"12th gen X", u"X"},
               {u"10th Gen\tCore i5", u"i5"},  // a tab is a blank
               {u"Ryzen 9 12-core", u"Ryzen 9"},
               {u"Ryzen X-Core", u"Ryzen X-Core"},
               {u"Ryzen -Core", u"Ryzen -Core"},
               {u"   Intel  Core   i3  ", u"i3"},  // leading and repeated blanks
               {u"1st 2nd Gen Y", u"Y"},
               {u"th Gen", u"th Gen"},          // "th" alone is not an ordinal
               {u"1xth Gen Z", u"1xth Gen Z"},  // nor digits with a letter among them
               {u"", u""},
               {u"CPU Processor", u""}};
  for (const auto& c : cases) {
    EXPECT_EQ(ShortCpuName(c.raw), c.cpu) << Narrow(c.raw);
  }
  EXPECT_EQ(ShortGpuName(u"NVIDIA GeForce") + u"|" + ShortGpuName(u"geforce GTX 1080 gpu"),
            u"GeForce|GTX 1080");
  // Runs are whole words; the first matching run wins.
  EXPECT_EQ((std::vector<std::u16string>{
                VendorOf(u"Unknown Graphics"), VendorOf(u"Microsoft Basic Render Driver"),
                VendorOf(u"IntelX nvidia"), VendorOf(u"Intelz 9"), VendorOf(u"RYZEN 5 PRO"),
                VendorOf(u"Foo GeForce(R) AMD")}),
            (std::vector<std::u16string>{u"", u"", u"NVIDIA", u"", u"AMD", u"NVIDIA"}));
}

}  // namespace
}  // namespace lumetta
