#include "card/card_notifications_win.h"

#include <wtsapi32.h>

#include <cstring>
#include <string_view>

#include "app/log.h"
#include "base/win_error.h"

namespace lumetta {

void SessionNotificationTraits::Close(HWND hwnd) {
  WTSUnRegisterSessionNotification(hwnd);
}

bool IsDesktopWindow(HWND window) {
  wchar_t name[32];
  if (window == nullptr || GetClassNameW(window, name, 32) == 0) {
    return false;
  }
  const std::wstring_view className(name);
  return className == L"WorkerW" || className == L"Progman";
}

std::optional<std::uint32_t> ConsoleDisplayState(WPARAM wParam, LPARAM lParam) {
  const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
  if (wParam != PBT_POWERSETTINGCHANGE || setting == nullptr ||
      setting->PowerSetting != GUID_CONSOLE_DISPLAY_STATE || setting->DataLength < 4) {
    return std::nullopt;
  }
  DWORD state = 0;
  std::memcpy(&state, setting->Data, sizeof state);
  return state;
}

bool IsBatteryChange(WPARAM wParam, LPARAM lParam) {
  if (wParam == PBT_APMPOWERSTATUSCHANGE) {
    return true;
  }
  const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
  return wParam == PBT_POWERSETTINGCHANGE && setting != nullptr &&
         (setting->PowerSetting == GUID_BATTERY_PERCENTAGE_REMAINING ||
          setting->PowerSetting == GUID_ACDC_POWER_SOURCE);
}

void CardNotifications::FollowBattery(HWND window, bool follow) {
  if (!follow) {
    batteryCharge_.reset();
    powerSource_.reset();
    return;
  }
  // A failure is logged with its own code; PBT_APMPOWERSTATUSCHANGE still comes to every
  // top-level window.
  for (const auto& [owner, setting] :
       {std::pair{&batteryCharge_, &GUID_BATTERY_PERCENTAGE_REMAINING},
        std::pair{&powerSource_, &GUID_ACDC_POWER_SOURCE}}) {
    if (!*owner) {
      owner->reset(RegisterPowerSettingNotification(window, setting, DEVICE_NOTIFY_WINDOW_HANDLE));
      if (!*owner) {
        LogEvent(kWarn, "window", "battery_notification_failed", CodeDetail(LastErrorCode()));
      }
    }
  }
}

void CardNotifications::Register(HWND window, WINEVENTPROC foregroundChanged) {
  foregroundHook_.reset(SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                        foregroundChanged, 0, 0,
                                        WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS));
  if (!foregroundHook_) {
    LogEvent(kWarn, "window", "foreground_hook_failed");
  }
  if (WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION)) {
    session_.reset(window);
  } else {
    LogEvent(kWarn, "window", "session_notification_failed", CodeDetail(LastErrorCode()));
  }
  power_.reset(RegisterPowerSettingNotification(window, &GUID_CONSOLE_DISPLAY_STATE,
                                                DEVICE_NOTIFY_WINDOW_HANDLE));
  if (!power_) {
    LogEvent(kWarn, "window", "display_notification_failed", CodeDetail(LastErrorCode()));
  }
}

void CardNotifications::ReleaseWindowRegistrations() {
  session_.reset();
  power_.reset();
  batteryCharge_.reset();
  powerSource_.reset();
}

}  // namespace lumetta
