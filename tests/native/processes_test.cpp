#include "metrics/processes.h"

#include <gtest/gtest.h>

#include "support/log_capture.h"
#include "support/scripted_sources.h"

namespace lumetta {
namespace {

constexpr std::uint64_t kSecond = 10'000'000;
using Ranked = std::vector<std::pair<std::u16string, double>>;

TEST(ProcessName, DropsTheExtensionAndCutsToTheCapacity) {
  const std::u16string a23(23, u'a'), a24(24, u'a');
  // The last: a surrogate pair is never split.
  const std::u16string names[] = {u"chrome.exe", u"SETUP.ExE", u"a.exe.bak",
                                  u"exe",        u".exe",      a24,
                                  a24 + u".exe", a24 + u"b",   a23.substr(1) + u"\U0001F600b"};
  std::vector<std::u16string> shown;
  for (const std::u16string& name : names) {
    ProcessFigure figure;
    SetProcessName(figure, name);
    shown.emplace_back(figure.Name());
  }
  EXPECT_EQ(shown, (std::vector<std::u16string>{u"chrome", u"SETUP", u"a.exe.bak", u"exe", u"", a24,
                                                a24, a23 + u"\u2026", a23.substr(1) + u"\u2026"}));
}

class ProcessCollectorTest : public testing::Test {
 protected:
  void SetUp() override { test::ClearCapturedEvents(); }
  const ProcessTop& Collect(std::uint64_t now) { return collector_.Collect(now, top_), top_; }
  Ranked Figures(bool cpu) const {
    Ranked out;
    for (std::size_t i = 0; i < (cpu ? top_.cpuCount : top_.memoryCount); ++i) {
      const ProcessFigure& figure = cpu ? top_.cpu[i] : top_.memory[i];
      out.emplace_back(figure.Name(), figure.value);
    }
    return out;
  }
  // Overwrites `size` bytes of the first record.
  void Damage(std::size_t at, std::uint64_t value, std::size_t size) {
    source_.damage = [=](std::span<std::byte> bytes) { std::memcpy(&bytes[at], &value, size); };
  }

  test::ScriptedProcesses source_;
  ProcessCollector collector_{source_};
  ProcessTop top_;
};

TEST_F(ProcessCollectorTest, CpuOverTheIntervalAndMemory) {
  source_.records = {{0, 0, 50 * kSecond, 1ull << 40, u"Idle"},  // never listed
                     {4, 1, 0, 100, u"System"},
                     {100, 5, 1000, 300, u"a.exe"},
                     {200, 5, 1000, 700, u"B.EXE"},
                     {300, 5, 1000, 700, u"c"},  // ties B's memory: B came first
                     {400, 5, 1000, 500, u"d.exe"}};
  EXPECT_TRUE(Collect(kSecond).valid && top_.cpuCount == 0);
  EXPECT_EQ(Figures(false), (Ranked{{u"B", 700}, {u"c", 700}, {u"d", 500}}));

  // One second on two processors: 2e7 units of processor time.
  source_.records[0].cpuTime += 2 * kSecond;
  source_.records[1].cpuTime = 3 * kSecond;  // more than the interval: clamped
  source_.records[2].cpuTime += kSecond;
  source_.records[3].cpuTime = 500;  // went backwards: nothing
  source_.records[4].cpuTime += kSecond / 10;
  source_.records[5] = {400, 6, 6 * kSecond / 10, 0, u"e.exe"};  // id 400 reused: all its time
  Collect(2 * kSecond);
  EXPECT_EQ(Figures(true), (Ranked{{u"System", 1.0}, {u"a", 0.5}, {u"e", 0.3}}));
  EXPECT_EQ(Collect(2 * kSecond).cpuCount, 0u);  // no time elapsed
  // A system that fills in no private working set: the whole working set ranks them.
  for (std::uint64_t i = 0; i < 6; ++i) {
    source_.records[i].privateBytes = 0;
    source_.records[i].workingSet = i % 3 * 10;
  }
  Collect(3 * kSecond);
  EXPECT_EQ(Figures(false), (Ranked{{u"a", 20}, {u"e", 20}, {u"System", 10}}));
  EXPECT_TRUE(test::CapturedLines("processes").empty());
}

TEST_F(ProcessCollectorTest, FailuresAndMalformedListsStopSafely) {
  source_.records = {{8, 1, 0, 4096, u"lumetta.exe"}, {12, 1, 0, 1, u"x"}};
  const auto valid = [this](std::uint64_t now) { return Collect(now).valid; };
  source_.status = static_cast<std::int32_t>(0xC0000022);
  EXPECT_FALSE(valid(1) || valid(2));
  source_.status = 0;
  EXPECT_EQ(Collect(3).memory[0].Name(), u"lumetta");
  EXPECT_EQ(source_.queries, 4);  // the first answer asked for a larger buffer

  Damage(kProcessNextEntryOffset, 0x10000, 4);  // past the list's end
  EXPECT_FALSE(valid(4));
  Damage(kProcessNextEntryOffset, 8, 4);  // inside its own record
  EXPECT_FALSE(valid(5));
  Damage(kProcessImageNameBufferOffset, 1ull << 62, 8);  // a name outside the buffer: none
  EXPECT_TRUE(Collect(6).memory[0].nameLength == 0 && top_.cpuCount == 0);  // times dropped
  Damage(kProcessImageNameOffset, 0xFFFF, 2);  // a name running past the buffer's end
  EXPECT_TRUE(Collect(7).memory[0].nameLength == 0 && top_.cpuCount == 2);

  source_.damage = nullptr;
  source_.records.resize(2000, {16, 1, 0, 0, u"grown.exe"});  // beyond the buffer's headroom
  const int before = source_.queries;
  EXPECT_TRUE(valid(8) && valid(9));
  source_.status = static_cast<std::int32_t>(kStatusInfoLengthMismatch);  // never enough
  EXPECT_FALSE(valid(10));
  source_.status = 0;
  source_.records.resize(300'000);  // asks for 96 MB: not believed
  EXPECT_FALSE(valid(11));
  EXPECT_EQ(source_.queries - before, 3 + 4 + 1);
  EXPECT_EQ(test::CapturedLines("processes"),
            (std::vector<std::string>{
                "WARN  processes query_failed code=0xC0000022", "INFO  processes recovered",
                "WARN  processes list_malformed code=0x00010000",
                "WARN  processes list_malformed code=0x00000000", "INFO  processes recovered",
                "WARN  processes query_failed code=0xC0000004"}));
}

}  // namespace
}  // namespace lumetta
