#include "metrics/battery.h"

namespace lumetta {
namespace {

// SYSTEM_POWER_STATUS's documented values.
constexpr std::uint8_t kAcOnline = 1;
constexpr std::uint8_t kBatteryCharging = 8;
constexpr std::uint8_t kNoSystemBattery = 128;
constexpr std::uint32_t kUnknownLifeTime = 0xFFFFFFFF;

}  // namespace

BatterySample BatteryFromStatus(const PowerStatus& status) {
  BatterySample sample;
  // An unknown flag (255) carries the no-battery bit too: with nothing known of the battery,
  // its section stays hidden rather than showing figures that may belong to none.
  if (!status.ok || (status.batteryFlag & kNoSystemBattery) != 0) {
    return sample;
  }
  sample.present = true;
  sample.chargeValid = status.batteryLifePercent <= 100;
  sample.charge = sample.chargeValid ? status.batteryLifePercent / 100.0 : 0.0;
  sample.pluggedIn = status.acLineStatus == kAcOnline;
  sample.charging = (status.batteryFlag & kBatteryCharging) != 0;
  // The system estimates the time left only while it runs on the battery.
  sample.timeLeftValid = !sample.pluggedIn && status.batteryLifeTime != kUnknownLifeTime;
  sample.secondsLeft = sample.timeLeftValid ? status.batteryLifeTime : 0;
  return sample;
}

const BatterySample& BatteryCollector::Collect() {
  if (!changed_) {
    return sample_;
  }
  const PowerStatus status = source_.Query();
  if (!status.ok) {
    // Asked again on the next tick, as a failed disk query is.
    ReportFailure(latch_, "battery", "query_failed", status.error);
    sample_ = {};
    return sample_;
  }
  if (TakeRecovered(latch_)) {
    LogEvent(kInfo, "battery", "recovered");
  }
  changed_ = false;
  sample_ = BatteryFromStatus(status);
  return sample_;
}

}  // namespace lumetta
