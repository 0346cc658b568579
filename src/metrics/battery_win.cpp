#include <windows.h>

#include "base/win_error.h"
#include "metrics/battery.h"
#include "metrics/sources_win.h"

namespace lumetta {
namespace {

class Win32Battery final : public BatterySource {
 public:
  PowerStatus Query() override {
    SYSTEM_POWER_STATUS status{};
    if (!GetSystemPowerStatus(&status)) {
      return {false, LastErrorCode()};
    }
    return {true,
            0,
            status.ACLineStatus,
            status.BatteryFlag,
            status.BatteryLifePercent,
            status.BatteryLifeTime};
  }
};

}  // namespace

std::unique_ptr<BatterySource> MakeWin32Battery() {
  return std::make_unique<Win32Battery>();
}

}  // namespace lumetta
