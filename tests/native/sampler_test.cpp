#include "metrics/sampler.h"

#include <gtest/gtest.h>

#include <future>

#include "metrics/network.h"
#include "support/log_capture.h"
#include "support/scripted_sources.h"

namespace lumetta {
namespace {

TEST(CounterTo100ns, ExactWithoutOverflow) {
  EXPECT_EQ(CounterTo100ns(10'000'000, 10'000'000), 10'000'000u);
  EXPECT_EQ(CounterTo100ns(3, 3'000'000'000), 0u);
  EXPECT_EQ(CounterTo100ns(4'500'000'000, 3'000'000'000), 15'000'000u);
  // floor(2^63 * 10^7 / 3e9), where a naive counter * 10^7 would overflow.
  EXPECT_EQ(CounterTo100ns(1ull << 63, 3'000'000'000), 30'744'573'456'182'586ull);
}

TEST(HistoryRing, KeepsTheLastSixtyOldestFirst) {
  HistoryRing ring;
  for (int i = 1; i <= 61; ++i) {
    ring.push(i);
  }
  EXPECT_EQ(std::vector<double>({static_cast<double>(ring.count()),
                                 static_cast<double>(ring.head()), ring.at(0), ring.at(59)}),
            std::vector<double>({60, 1, 2, 61}));
}

class SamplerTest : public testing::Test {
 protected:
  void SetUp() override {
    test::ClearCapturedEvents();
    machine_.cpu.script.reset({0, {{0, 0, 0}, {0, 0, 0}}});
    machine_.cpu.script.Then({0, {{50, 100, 0}, {0, 100, 0}}});
  }
  const Settings everything_{.showSelf = true, .showGpuDetails = true, .showDiskActivity = true};
  test::ScriptedMachine machine_;
  Sampler sampler_{machine_.Sources()};
};

// Names, memory, disk and the network's label come with the first tick; loads, the clock and
// rates with the second, each pushing its first history value.
TEST_F(SamplerTest, WhenEachValueFirstBecomesValid) {
  sampler_.Tick(everything_);
  const Snapshot& first = sampler_.snapshot();
  EXPECT_EQ(first.cpuVendor + u" " + first.cpuModel + u" " + first.gpuModel + u" " +
                first.netLabel.value_or(u"-"),
            u"Intel i7-8700K RTX 4070 Ethernet");
  EXPECT_TRUE(first.memory.valid && first.disk.valid);
  EXPECT_EQ(first.gpuDetails, (GpuDetails{61.5, true, 2ull << 30, 12ull << 30, true}));
  EXPECT_FALSE(first.cpuValid || first.cpuFrequencyValid || first.gpuValid || first.netRatesValid ||
               first.self.valid || first.diskActivity.valid || !first.cpuCores.empty() ||
               first.cpuHistory.count() != 0);

  machine_.clock.AdvanceSeconds(1);
  machine_.gpu.adapters[0].running = {2'500'000, 0};
  machine_.Wired(u"Ethernet", 1000 + 4096, 2000 + 512);
  sampler_.Tick(everything_);
  const Snapshot& s = sampler_.snapshot();
  EXPECT_TRUE(s.cpuValid && s.cpuFrequencyValid && s.gpuValid && s.netRatesValid && s.self.valid);
  EXPECT_EQ(s.cpuCores, (std::vector<double>{0.5, 1.0}));
  EXPECT_EQ(
      (std::vector<double>{s.cpuTotal, s.cpuFrequencyMhz, s.gpuBusy, s.netReceive, s.netSend,
                           s.diskActivity.readBytesPerSecond, s.diskActivity.writeBytesPerSecond}),
      (std::vector<double>{0.75, 3000, 0.25, 4096, 512, 4096, 1024}));
  EXPECT_EQ((std::vector<std::size_t>{s.cpuHistory.count(), s.gpuHistory.count(),
                                      s.netReceiveHistory.count(), s.netSendHistory.count()}),
            (std::vector<std::size_t>{1, 1, 1, 1}));
}

TEST_F(SamplerTest, EveryFlagOffLeavesEverythingInvalidAndHistoriesAlone) {
  sampler_.Tick(everything_);
  machine_.clock.AdvanceSeconds(1);
  sampler_.Tick(everything_);
  Settings off;
  for (const SettingsBool& entry : kSettingsBools) {
    off.*entry.field = false;
  }
  machine_.clock.AdvanceSeconds(1);
  sampler_.Tick(off);
  const Snapshot& s = sampler_.snapshot();
  EXPECT_FALSE(s.cpuValid || s.cpuFrequencyValid || s.gpuValid || s.memory.valid ||
               s.netRatesValid || s.disk.valid || s.self.valid || s.diskActivity.valid ||
               s.gpuDetails != GpuDetails{});
  EXPECT_TRUE(s.cpuCores.empty() && !s.netLabel.has_value());
  EXPECT_EQ(s.cpuHistory.count(), 1u);
  EXPECT_EQ(machine_.cpu.calls, 2);  // a collector that is off is not run
  // What was opened for a row is closed with it.
  EXPECT_EQ((std::vector<int>{machine_.frequencyCounters.closes, machine_.diskCounters.closes,
                              machine_.gpu.closes}),
            (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(machine_.processes.queries + machine_.battery.queries, 0);  // the additions start off
}

// The battery is read when shown, told of a change or after a failure, never polled; the
// process list only while shown, and after a pause its CPU shares start afresh.
TEST_F(SamplerTest, ProcessesAndBatteryOnlyWhileShown) {
  Settings on = everything_;
  on.showProcesses = on.showBattery = true;
  machine_.battery.status.reset({false, 21});
  machine_.battery.status.Then({true, 0, 0, 1, 80, 3600}).Then({true, 0, 1, 9, 90, 0xFFFFFFFF});
  sampler_.Tick(on);
  const Snapshot& s = sampler_.snapshot();
  EXPECT_TRUE(s.processes.valid && !s.battery.present);
  machine_.clock.AdvanceSeconds(1);
  machine_.processes.records[1].cpuTime = 5'000'000;
  sampler_.Tick(on);
  EXPECT_EQ(s.processes.cpu[0].value, 0.25);
  sampler_.Tick(on);
  EXPECT_TRUE(s.battery.timeLeftValid);  // the second status still
  sampler_.BatteryChanged();
  sampler_.Tick(on);
  EXPECT_TRUE(s.battery.charging);
  sampler_.Tick(everything_);
  EXPECT_FALSE(s.processes.valid || s.battery.present);
  machine_.clock.AdvanceSeconds(1);
  sampler_.Tick(on);
  EXPECT_TRUE(s.processes.valid && s.processes.cpuCount == 0);
  EXPECT_EQ(std::vector<int>({machine_.processes.queries, machine_.battery.queries}),
            std::vector<int>({6, 4}));  // the first list needed a larger buffer
  EXPECT_EQ(test::CapturedLines("battery"),
            (std::vector<std::string>{"WARN  battery query_failed code=0x00000015",
                                      "INFO  battery recovered"}));
}

WifiConnection Connection(std::uint32_t phyType, std::string_view ssid, std::uint32_t length = 0) {
  WifiConnection connection;
  connection.phyType = phyType;
  std::copy_n(ssid.begin(), std::min(ssid.size(), kMaxSsidBytes), connection.ssid.begin());
  connection.ssidLength = length != 0 ? length : static_cast<std::uint32_t>(ssid.size());
  return connection;
}

class NetworkTest : public testing::Test {
 protected:
  void SetUp() override { test::ClearCapturedEvents(); }
  Settings settings_;
  test::ScriptedMachine machine_;
  Sampler sampler_{machine_.Sources()};

  const Snapshot& Tick(double seconds = 1) {
    machine_.clock.AdvanceSeconds(seconds);
    sampler_.Tick(settings_);
    return sampler_.snapshot();
  }
};

TEST_F(NetworkTest, RatesCounterDropsAndInterfaceChanges) {
  machine_.Wired(u"Ethernet", 1000, 1000);
  EXPECT_FALSE(Tick().netRatesValid);
  machine_.Wired(u"Ethernet", 3000, 1500);
  EXPECT_EQ(Tick(2).netReceive, 1000.0);
  machine_.Wired(u"Ethernet", 10, 10);  // adapter reset
  const Snapshot& dropped = Tick();
  EXPECT_TRUE(dropped.netRatesValid && dropped.netReceive == 0.0 && dropped.netSend == 0.0);
  machine_.Wired(u"Ethernet", 110, 20);
  EXPECT_EQ(Tick().netReceive, 100.0);

  machine_.network.best.reset({0, 13});
  machine_.Wired(u"Ethernet 2", 500, 500);
  const Snapshot& changed = Tick(26);  // 30 s after the first lookup
  EXPECT_FALSE(changed.netRatesValid);
  EXPECT_EQ(changed.netLabel, u"Ethernet 2");
  Tick();
  EXPECT_EQ(machine_.network.lookups, 2);  // at start and after 30 s, not every tick
  EXPECT_EQ(sampler_.snapshot().netReceiveHistory.count(), 4u);  // the ticks with rates
  EXPECT_EQ(machine_.wifi.submits, 0);                           // wired: never a Wi-Fi query
  EXPECT_EQ(test::CapturedLines("network"),
            std::vector<std::string>{"INFO  network interface_changed index=13"});
}

TEST_F(NetworkTest, FailuresDropTheLabelAndLookUpAgain) {
  machine_.network.best.reset({1232, 0});
  EXPECT_FALSE(Tick().netLabel.has_value());
  EXPECT_FALSE(Tick().netLabel.has_value());
  machine_.network.best.reset({0, 12});
  EXPECT_EQ(Tick().netLabel, u"Ethernet");
  EXPECT_TRUE(Tick().netRatesValid);
  machine_.network.rows.reset({2, {}});
  const Snapshot& gone = Tick();
  EXPECT_FALSE(gone.netLabel.has_value() || gone.netRatesValid);
  machine_.Wired(u"Ethernet", 1, 1);
  EXPECT_EQ(Tick().netLabel, u"Ethernet");
  EXPECT_EQ(machine_.network.lookups, 4);  // looked up again after the read failure
  machine_.network.best.reset({1232, 0});  // the 30-second lookup fails: retried at once
  EXPECT_FALSE(Tick(30).netLabel.has_value());
  machine_.network.best.reset({0, 12});
  EXPECT_EQ(Tick().netLabel, u"Ethernet");
  EXPECT_EQ(test::CapturedLines("network"),
            (std::vector<std::string>{
                "WARN  network best_interface_failed code=0x000004D0", "INFO  network recovered",
                "WARN  network if_entry_failed code=0x00000002", "INFO  network recovered",
                "WARN  network best_interface_failed code=0x000004D0", "INFO  network recovered"}));
}

TEST_F(NetworkTest, WifiLabels) {
  const struct {
    std::optional<WifiConnection> connection;
    std::uint32_t status;
    bool showSsid;
    std::u16string label;
  } cases[] = {
      {Connection(9, "H"), 0, true, u"WLAN \u00B7 H"},  // 802.11ad has no generation
      {Connection(9, "Home"), 0, false, u"WLAN"},
      {Connection(10, ""), 0, true, u"Wi-Fi 6"},
      {Connection(11, "Caf\xC3\xA9"), 0, true, u"Wi-Fi 7 \u00B7 Café"},
      {Connection(8, "\xFFx"), 0, true, u"Wi-Fi 5 \u00B7 \uFFFDx"},
      {Connection(7, std::string(32, 'a'), 33), 0, true,
       u"Wi-Fi 4 \u00B7 " + std::u16string(32, u'a')},
      {std::nullopt, kErrorInvalidState, true, u"WLAN"},  // not connected: silent
      {std::nullopt, 0, true, u"WLAN"},                   // success without data
  };
  for (const auto& c : cases) {
    test::ScriptedMachine m;
    m.Wireless(u"WLAN", 5, 0, 0);
    m.wifi.results.reset({c.status, c.connection});
    Sampler s(m.Sources());
    Settings settings;
    settings.showSsid = c.showSsid;
    s.Tick(settings);
    EXPECT_EQ(m.wifi.submits, 1);
    EXPECT_EQ(s.snapshot().netLabel, c.label);
  }
  EXPECT_TRUE(test::CapturedLines("wifi").empty());
}

TEST_F(NetworkTest, WifiIsQueriedOnChangesAndEveryThirtySeconds) {
  machine_.Wireless(u"WLAN", 5, 0, 0);
  machine_.wifi.results.reset({0, Connection(10, "Home")});
  EXPECT_EQ(Tick().netLabel, u"Wi-Fi 6 \u00B7 Home");
  Tick(10);
  EXPECT_EQ(machine_.wifi.submits, 1);
  Tick(20);
  EXPECT_EQ(machine_.wifi.submits, 2);

  // A result for another interface is ignored.
  machine_.wifi.results.reset({0, Connection(11, "Other")});
  machine_.Wireless(u"WLAN 2", 6, 0, 0);
  machine_.wifi.Hold();
  EXPECT_EQ(Tick().netLabel, u"WLAN 2");  // the GUID changed: queried at once, result pending
  EXPECT_EQ(machine_.wifi.submits, 3);
  machine_.wifi.Release();
  machine_.wifi.WaitFor(machine_.wifi.notified, 3);
  sampler_.RefreshNetworkLabel();
  EXPECT_EQ(sampler_.snapshot().netLabel, u"Wi-Fi 7 \u00B7 Other");

  // Off and on again queries at once.
  settings_.showNetwork = false;
  EXPECT_FALSE(Tick().netLabel.has_value());
  settings_.showNetwork = true;
  Tick();
  EXPECT_EQ(machine_.wifi.submits, 4);
}

// A running query blocks the next submit; a Sampler destroyed meanwhile waits for it and closes
// its work item and client exactly once.
TEST(WifiQuery, ASamplerDestroyedMidQueryWaitsAndClosesItsWorkOnce) {
  test::ScriptedMachine machine;
  machine.Wireless(u"WLAN", 5, 0, 0);
  machine.wifi.Hold();
  auto sampler = std::make_unique<Sampler>(machine.Sources());
  sampler->Tick(Settings{});
  machine.wifi.WaitFor(machine.wifi.queries, 1);
  machine.Wireless(u"WLAN 2", 6, 0, 0);
  sampler->Tick(Settings{});  // a new adapter, but the query still runs: nothing submitted
  EXPECT_EQ(machine.wifi.submits, 1);
  auto destroyed = std::async(std::launch::async, [&] { sampler.reset(); });
  EXPECT_EQ(destroyed.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
  machine.wifi.Release();
  destroyed.wait();
  EXPECT_EQ(
      std::vector<int>({machine.wifi.notified, machine.wifi.workCloses, machine.wifi.clientCloses}),
      std::vector<int>({1, 1, 1}));
}

}  // namespace
}  // namespace lumetta
