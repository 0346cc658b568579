// The system battery: charge, power source and time left, from the power status.
#pragma once

#include <cstdint>

#include "app/log.h"

namespace lumetta {

struct BatterySample {
  bool present = false;  // the system has a battery: its section is shown
  double charge = 0;     // 0 to 1
  bool chargeValid = false;
  bool pluggedIn = false;  // on mains power
  bool charging = false;
  std::uint32_t secondsLeft = 0;  // on battery, as the system estimates it
  bool timeLeftValid = false;

  friend bool operator==(const BatterySample&, const BatterySample&) = default;
};

// SYSTEM_POWER_STATUS's fields as GetSystemPowerStatus answers them.
struct PowerStatus {
  bool ok = false;
  std::uint32_t error = 0;
  std::uint8_t acLineStatus = 255;
  std::uint8_t batteryFlag = 255;
  std::uint8_t batteryLifePercent = 255;
  std::uint32_t batteryLifeTime = 0xFFFFFFFF;
};

class BatterySource {
 public:
  virtual ~BatterySource() = default;
  virtual PowerStatus Query() = 0;
};

[[nodiscard]] BatterySample BatteryFromStatus(const PowerStatus& status);

// Asks the system only after MarkChanged(): the power status is pushed to the card, not polled.
class BatteryCollector {
 public:
  explicit BatteryCollector(BatterySource& source) : source_(source) {}
  // The power status changed, or the battery row was switched on.
  void MarkChanged() { changed_ = true; }
  const BatterySample& Collect();

 private:
  BatterySource& source_;
  BatterySample sample_;
  bool changed_ = true;
  FailureLatch latch_;
};

}  // namespace lumetta
