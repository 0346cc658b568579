// The system battery: charge, power source and time left, from the power status.
#pragma once

#include <cstdint>

namespace lumetta {

struct BatterySample {
  bool present = false;  // the system has a battery: its section is shown
  double charge = 0;     // 0 to 1
  bool chargeValid = false;
  bool pluggedIn = false;  // on mains power
  bool charging = false;
  std::uint32_t secondsLeft = 0;  // on battery, as the system estimates it
  bool timeLeftValid = false;
};

}  // namespace lumetta
