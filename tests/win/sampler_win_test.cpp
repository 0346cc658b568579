#include <windows.h>

#include <gtest/gtest.h>

#include "metrics/sampler_win.h"

namespace lumetta {
namespace {

TEST(LiveSampler, TwoTicksGiveEveryLoadCollectorsValue) {
  Win32Sampler sampler(nullptr, WM_APP + 1);
  Settings settings;
  settings.showSelf = true;
  sampler.tick(settings);
  const Snapshot& first = sampler.snapshot();
  EXPECT_FALSE(first.cpuValid);
  EXPECT_FALSE(first.self.valid);
  EXPECT_TRUE(first.memory.valid);
  EXPECT_TRUE(first.disk.valid);

  // Some work between the ticks so that the process's CPU time can grow.
  const ULONGLONG until = GetTickCount64() + 200;
  volatile unsigned spin = 0;
  while (GetTickCount64() < until) {
    spin = spin + 1;
  }
  sampler.tick(settings);
  const Snapshot& s = sampler.snapshot();

  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  ASSERT_TRUE(s.cpuValid);
  EXPECT_EQ(s.cpuCores.size(), info.dwNumberOfProcessors);
  for (double core : s.cpuCores) {
    EXPECT_GE(core, 0.0);
    EXPECT_LE(core, 1.0);
  }
  EXPECT_GE(s.cpuTotal, 0.0);
  EXPECT_LE(s.cpuTotal, 1.0);

  ASSERT_TRUE(s.memory.valid);
  EXPECT_GT(s.memory.totalPhysical, 0u);
  EXPECT_LE(s.memory.usedPhysical, s.memory.totalPhysical);
  EXPECT_GT(s.memory.commitLimit, 0u);
  EXPECT_LE(s.memory.commitUsed, s.memory.commitLimit);

  ASSERT_TRUE(s.disk.valid);
  EXPECT_GT(s.disk.totalBytes, 0u);
  EXPECT_LE(s.disk.usedBytes, s.disk.totalBytes);

  ASSERT_TRUE(s.self.valid);
  EXPECT_GT(s.self.privateWorkingSet, 0u);
  EXPECT_GT(s.self.cpuShare, 0.0);
}

}  // namespace
}  // namespace lumetta
