#include "card/monitor_window.h"

#include <dwmapi.h>
#include <shellapi.h>
#include <windowsx.h>
#include <wtsapi32.h>

#include <cmath>
#include <cstring>

#include "app/log.h"
#include "app/version.h"
#include "base/rounding.h"
#include "base/wide.h"
#include "base/win_error.h"
#include "card/card_placement_win.h"
#include "card/placement.h"
#include "card/tray_icon.h"
#include "dialogs/about_window.h"
#include "dialogs/settings_window.h"
#include "metrics/sampler_win.h"
#include "update/update_check_win.h"

namespace lumetta {
namespace {

constexpr UINT kRevealMs = 3000;
constexpr UINT kClockRepaintMs = 1000;

MonitorWindow* gInstance = nullptr;

std::optional<std::u16string> PathOrNothing(const std::wstring* path) {
  return path != nullptr ? std::optional(std::u16string(AsU16(*path))) : std::nullopt;
}

}  // namespace

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

MonitorWindow::MonitorWindow(ID2D1Factory* d2dFactory, IDWriteFactory* dwriteFactory,
                             const std::wstring* settingsPath)
    : WindowBase(d2dFactory, dwriteFactory, WindowFrame::kCard),
      settingsStore_(Win32Files(), PathOrNothing(settingsPath)),
      settings_(settingsStore_.Load()),
      d2dFactory_(d2dFactory),
      dwriteFactory_(dwriteFactory) {
  gInstance = this;
  revealMessage_ = RegisterWindowMessageW(kRevealMessageName);
}

MonitorWindow::~MonitorWindow() {
  foregroundHook_.reset();
  if (gInstance == this) {
    gInstance = nullptr;
  }
  sectionLayout_ = {};
  trayIcon_.reset();
  updateChecker_.reset();
  aboutWindow_.reset();
  settingsWindow_.reset();
  sampler_.reset();
  DestroyBoundWindow();
}

MonitorWindow* MonitorWindow::Instance() {
  return gInstance;
}

HRESULT MonitorWindow::Create(HINSTANCE) {
  const PixelSize size =
      CardWindowSize(GetDpiForSystem(), settings_.displayScale, kEmptyCardHeight);
  const ScreenPoint position =
      InitialPosition(size.width, size.height, EnumerateWorkAreas(), settings_);
  const DWORD exStyle =
      WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | (settings_.alwaysOnTop ? WS_EX_TOPMOST : 0);
  const WindowCreation created =
      CreateBoundWindow(kMonitorWindowClass, exStyle, WS_POPUP, L"Lumetta",
                        {position.x, position.y, size.width, size.height});
  if (!created.ok()) {
    return created.hresult();
  }
  SetRenderScale(static_cast<float>(settings_.displayScale));
  settingsWindow_ = std::make_unique<SettingsWindow>(
      d2dFactory_, dwriteFactory_, [this](const Settings& next) { ApplySettings(next); });
  aboutWindow_ = std::make_unique<AboutWindow>(d2dFactory_, dwriteFactory_);
  sampler_ = std::make_unique<Win32Sampler>(hwnd(), kWifiDoneMessage);
  updateChecker_ = std::make_unique<Win32UpdateChecker>(hwnd(), kUpdateDoneMessage);
  trayIcon_ = std::make_unique<TrayIcon>();
  trayIcon_->Init(hwnd(), kTrayMessage);
  RegisterNotifications();
  SampleAndRefresh();
  RestartTimers();
  ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  UpdateZOrder();
  updateChecker_->checker().Submit();
  return S_OK;
}

void MonitorWindow::RegisterNotifications() {
  foregroundHook_.reset(SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                        &MonitorWindow::ForegroundChanged, 0, 0,
                                        WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS));
  if (!foregroundHook_) {
    LogEvent(kWarn, "window", "foreground_hook_failed");
  }
  if (WTSRegisterSessionNotification(hwnd(), NOTIFY_FOR_THIS_SESSION)) {
    sessionNotifications_.reset(hwnd());
  } else {
    LogEvent(kWarn, "window", "session_notification_failed", CodeDetail(LastErrorCode()));
  }
  powerNotify_.reset(RegisterPowerSettingNotification(hwnd(), &GUID_CONSOLE_DISPLAY_STATE,
                                                      DEVICE_NOTIFY_WINDOW_HANDLE));
  if (!powerNotify_) {
    LogEvent(kWarn, "window", "display_notification_failed", CodeDetail(LastErrorCode()));
  }
}

bool MonitorWindow::IsMeasuringPaused() const {
  if (sessionLocked_ || displayOff_ || IsIconic(hwnd())) {
    return true;
  }
  // Cloaked: on another virtual desktop. Wine answers E_NOTIMPL, which counts as visible.
  DWORD cloaked = 0;
  return SUCCEEDED(DwmGetWindowAttribute(hwnd(), DWMWA_CLOAKED, &cloaked, sizeof cloaked)) &&
         cloaked != 0;
}

void MonitorWindow::SampleAndRefresh() {
  if (!sampler_ || IsMeasuringPaused()) {
    return;
  }
  sampler_->tick(settings_);
  Relayout();
  Invalidate();
}

void MonitorWindow::Relayout() {
  const std::optional<float> alertHeight =
      CardPainter::DiskAlertTextHeight(renderer(), sampler_->snapshot(), settings_);
  sectionLayout_ = StackSections(CardSections(settings_, update_.state(), alertHeight));
  const PixelSize size =
      CardWindowSize(GetDpiForWindow(hwnd()), settings_.displayScale, sectionLayout_.totalHeight);
  RECT client{};
  if (GetClientRect(hwnd(), &client) &&
      (client.right != size.width || client.bottom != size.height)) {
    SetWindowPos(hwnd(), nullptr, 0, 0, size.width, size.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void MonitorWindow::Paint(Renderer& renderer, float, float) {
  if (!sampler_) {
    return;
  }
  CardView view{sampler_->snapshot(),
                settings_,
                sectionLayout_,
                update_.info() ? std::u16string_view(update_.info()->latestVersion) : u"",
                hovering_,
                hoveredButton_};
  GetLocalTime(&view.now);
  painter_.Paint(renderer, view);
}

void MonitorWindow::RestartTimers() {
  const auto interval = static_cast<UINT>(RoundHalfAway(settings_.updateIntervalSeconds * 1000));
  if (SetTimer(hwnd(), kSampleTimer, interval, nullptr) == 0) {
    LogEvent(kError, "window", "timer_failed", CodeDetail(LastErrorCode()));
  }
  // The seconds bar moves every second even when sampling is slower.
  if (settings_.showClock && interval > kClockRepaintMs) {
    SetTimer(hwnd(), kClockTimer, kClockRepaintMs, nullptr);
  } else {
    KillTimer(hwnd(), kClockTimer);
  }
}

void MonitorWindow::UpdateZOrder() {
  constexpr UINT kFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  if (settings_.alwaysOnTop || desktopInForeground_ || revealActive_) {
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, kFlags);
  } else {
    SetWindowPos(hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, kFlags);
    SetWindowPos(hwnd(), HWND_BOTTOM, 0, 0, 0, 0, kFlags);
  }
}

void CALLBACK MonitorWindow::ForegroundChanged(HWINEVENTHOOK, DWORD, HWND hwnd, LONG, LONG, DWORD,
                                               DWORD) {
  MonitorWindow* self = gInstance;
  if (self == nullptr || self->settings_.alwaysOnTop) {
    return;
  }
  const bool desktop = IsDesktopWindow(hwnd);
  if (desktop != self->desktopInForeground_) {
    self->desktopInForeground_ = desktop;
    self->UpdateZOrder();
  }
}

void MonitorWindow::Reveal() {
  ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  EnsureOnScreen(hwnd());
  if (!settings_.alwaysOnTop) {
    revealActive_ = true;
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetTimer(hwnd(), kRevealTimer, kRevealMs, nullptr);
  }
}

void MonitorWindow::SaveSettingsNow() {
  // A failed save keeps the record in effect; the settings file logs the details and the
  // Settings dialog shows a notice. Without a data folder every save fails: the user is told.
  const bool saved = settingsStore_.Save(settings_);
  if (settingsWindow_) {
    settingsWindow_->SetSaveFailed(!saved);
  }
}

void MonitorWindow::ChangeSettings(const Settings& next) {
  ApplySettings(next);
  if (settingsWindow_) {
    settingsWindow_->SetSettings(settings_);
  }
}

void MonitorWindow::OpenSettings() {
  if (settingsWindow_) {
    settingsWindow_->Open(hwnd(), settings_);
  }
}

void MonitorWindow::ToggleAlwaysOnTop() {
  const bool wasOn = settings_.alwaysOnTop;
  settings_.alwaysOnTop = !wasOn;
  desktopInForeground_ = wasOn ? IsDesktopWindow(GetForegroundWindow()) : false;
  UpdateZOrder();
  SaveSettingsNow();
  if (settingsWindow_) {
    settingsWindow_->SetSettings(settings_);
  }
  Invalidate();
}

void MonitorWindow::ApplySettings(const Settings& next) {
  const bool timersChanged = next.updateIntervalSeconds != settings_.updateIntervalSeconds ||
                             next.showClock != settings_.showClock;
  const bool snapTurnedOn = next.snapToEdges && !settings_.snapToEdges;
  const bool scaleChanged = next.displayScale != settings_.displayScale;
  // The window owns its pin state and position; the record it is handed does not.
  const Settings before = settings_;
  settings_ = next;
  settings_.alwaysOnTop = before.alwaysOnTop;
  settings_.hasWindowPosition = before.hasWindowPosition;
  settings_.windowX = before.windowX;
  settings_.windowY = before.windowY;

  if (timersChanged) {
    RestartTimers();
  }
  if (sampler_) {
    sampler_->tick(settings_);
  }
  if (scaleChanged) {
    ChangeScale();
  } else {
    Relayout();
    // A card that snaps now must be saved where it now rests, or the next start undoes it.
    if (snapTurnedOn && SnapToEdges(hwnd())) {
      SavePosition();
    } else {
      SaveSettingsNow();
    }
  }
  Invalidate();
}

void MonitorWindow::ChangeScale() {
  SetRenderScale(static_cast<float>(settings_.displayScale));
  const std::optional<ScreenRect> before = WindowRect(hwnd());
  const std::optional<ScreenRect> area = NearestWorkArea(hwnd());
  Relayout();
  if (before && area) {
    KeepAnchored(hwnd(), *before, *area);
  }
  EnsureOnScreen(hwnd());
  if (settings_.snapToEdges) {
    SnapToEdges(hwnd());
  }
  SavePosition();
}

void MonitorWindow::SavePosition() {
  const std::optional<ScreenRect> window = WindowRect(hwnd());
  if (!window) {
    return;
  }
  settings_.hasWindowPosition = true;
  settings_.windowX = window->x;
  settings_.windowY = window->y;
  SaveSettingsNow();
}

HoverButton MonitorWindow::HitTestButton(POINT screenPoint) const {
  if (!hovering_) {
    return HoverButton::None;
  }
  ScreenToClient(hwnd(), &screenPoint);
  const PointF dip = ToDips(screenPoint.x, screenPoint.y);
  return ButtonAt({std::floor(dip.x), std::floor(dip.y)});
}

bool MonitorWindow::HitTestUpdateLine(POINT screenPoint) const {
  if (update_.state() != UpdateState::Required) {
    return false;
  }
  ScreenToClient(hwnd(), &screenPoint);
  return OnUpdateLine(sectionLayout_, ToDips(screenPoint.x, screenPoint.y).y);
}

void MonitorWindow::UpdateHover() {
  POINT cursor{};
  RECT window{};
  const bool inside =
      GetCursorPos(&cursor) && GetWindowRect(hwnd(), &window) && PtInRect(&window, cursor);
  // The buttons are hit-tested only while hovering, so hovering is settled first.
  const bool wasHovering = hovering_;
  hovering_ = inside;
  const HoverButton button = inside ? HitTestButton(cursor) : HoverButton::None;
  if (inside != wasHovering || button != hoveredButton_) {
    hoveredButton_ = button;
    Invalidate();
  }
}

LRESULT MonitorWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == revealMessage_ && revealMessage_ != 0) {
    Reveal();
    return 0;
  }
  if (taskbarCreatedMessage_ == 0) {
    taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
  }
  if (message == taskbarCreatedMessage_ && taskbarCreatedMessage_ != 0) {
    trayIcon_->Readd();
    return 0;
  }
  switch (message) {
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_SETTINGCHANGE:
      return 0;  // the theme is the base's; nothing is passed on
    case WM_WINDOWPOSCHANGING:
      return OnWindowPosChanging(wParam, lParam);
    case WM_NCCALCSIZE:
      // No non-client area: the client area is the whole window.
      return wParam == TRUE ? 0 : DefWindowProcW(hwnd(), message, wParam, lParam);
    case WM_NCHITTEST: {
      const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      return HitTestButton(point) != HoverButton::None || HitTestUpdateLine(point) ? HTCLIENT
                                                                                   : HTCAPTION;
    }
    case WM_NCMOUSEMOVE:
    case WM_MOUSEMOVE:
      UpdateHover();
      return 0;
    case WM_NCRBUTTONUP:
      ShowContextMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_TIMER:
      return OnTimer(wParam);
    case WM_LBUTTONUP:
      return OnLButtonUp(lParam);
    case WM_RBUTTONUP: {
      POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(hwnd(), &point);
      ShowContextMenu(point);
      return 0;
    }
    case WM_MOUSEWHEEL:
      return OnMouseWheel(wParam, lParam);
    case WM_POWERBROADCAST:
      return OnPowerBroadcast(wParam, lParam);
    case WM_EXITSIZEMOVE:
      if (settings_.snapToEdges) {
        SnapToEdges(hwnd());
      }
      SavePosition();
      return 0;
    case WM_WTSSESSION_CHANGE:
      return OnSessionChange(wParam);
    case kWifiDoneMessage:
      if (sampler_) {
        sampler_->refreshNetworkLabel();
        Invalidate();
      }
      return 0;
    case kUpdateDoneMessage:
      OnUpdateResult();
      return 0;
    case kTrayMessage:
      return OnTrayMessage(wParam, lParam);
    default:
      return DefWindowProcW(hwnd(), message, wParam, lParam);
  }
}

void MonitorWindow::OnDestroy() {
  for (UINT_PTR timer : {kSampleTimer, kClockTimer, kUpdateTimer, kRevealTimer}) {
    KillTimer(hwnd(), timer);
  }
  trayIcon_->Remove();
  updateChecker_.reset();  // cancels and waits for a running check
  sessionNotifications_.reset();
  powerNotify_.reset();
  settingsWindow_.reset();
  aboutWindow_.reset();
  sampler_.reset();
  PostQuitMessage(0);
}

LRESULT MonitorWindow::OnWindowPosChanging(WPARAM wParam, LPARAM lParam) {
  auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
  // Unpinned, the card stays behind every other window, like a desktop ornament.
  if (!settings_.alwaysOnTop && !desktopInForeground_ && !revealActive_ &&
      (position->flags & SWP_NOZORDER) == 0) {
    position->hwndInsertAfter = HWND_BOTTOM;
  }
  return DefWindowProcW(hwnd(), WM_WINDOWPOSCHANGING, wParam, lParam);
}

LRESULT MonitorWindow::OnTimer(WPARAM id) {
  switch (id) {
    case kSampleTimer:
      SampleAndRefresh();
      break;
    case kClockTimer:
      if (!IsMeasuringPaused()) {
        Invalidate();
      }
      break;
    case kUpdateTimer:
      KillTimer(hwnd(), kUpdateTimer);
      if (updateChecker_) {
        updateChecker_->checker().Submit();
      }
      break;
    case kRevealTimer:
      KillTimer(hwnd(), kRevealTimer);
      revealActive_ = false;
      UpdateZOrder();
      break;
    default:
      break;
  }
  return 0;
}

LRESULT MonitorWindow::OnLButtonUp(LPARAM lParam) {
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(hwnd(), &point);
  switch (HitTestButton(point)) {
    case HoverButton::Settings:
      OpenSettings();
      break;
    case HoverButton::Pin:
      ToggleAlwaysOnTop();
      break;
    case HoverButton::None:
      if (HitTestUpdateLine(point)) {
        OpenUpdatePage();
      }
      break;
  }
  return 0;
}

LRESULT MonitorWindow::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
  if ((GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) == 0) {
    return DefWindowProcW(hwnd(), WM_MOUSEWHEEL, wParam, lParam);
  }
  const double scale =
      StepDisplayScale(settings_.displayScale, GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? 1 : -1);
  if (scale != settings_.displayScale) {
    Settings next = settings_;
    next.displayScale = scale;
    ChangeSettings(next);
  }
  return 0;
}

LRESULT MonitorWindow::OnPowerBroadcast(WPARAM wParam, LPARAM lParam) {
  const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
  if (wParam != PBT_POWERSETTINGCHANGE || setting == nullptr ||
      setting->PowerSetting != GUID_CONSOLE_DISPLAY_STATE || setting->DataLength < 4) {
    return TRUE;
  }
  DWORD state = 0;
  std::memcpy(&state, setting->Data, sizeof state);
  const bool off = state == 0;  // 1 on and 2 dimmed both count as on
  if (off != displayOff_) {
    displayOff_ = off;
    LogEvent(kDebug, "window", off ? "paused" : "resumed", "reason=display");
    if (!off) {
      SampleAndRefresh();
    }
  }
  return TRUE;
}

LRESULT MonitorWindow::OnSessionChange(WPARAM wParam) {
  if (wParam == WTS_SESSION_LOCK) {
    sessionLocked_ = true;
    LogEvent(kDebug, "window", "paused", "reason=session_lock");
  } else if (wParam == WTS_SESSION_UNLOCK) {
    sessionLocked_ = false;
    LogEvent(kDebug, "window", "resumed", "reason=session_unlock");
    SampleAndRefresh();
  }
  return 0;
}

LRESULT MonitorWindow::OnTrayMessage(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(lParam)) {
    case WM_CONTEXTMENU:
      ShowContextMenu({GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)});
      break;
    case NIN_SELECT:
    case NIN_KEYSELECT:
      Reveal();
      break;
    default:
      break;
  }
  return 0;
}

void MonitorWindow::OnUpdateResult() {
  if (!updateChecker_) {
    return;
  }
  UpdateChecker& checker = updateChecker_->checker();
  SetTimer(hwnd(), kUpdateTimer, NextCheckDelayMs(checker.LastCheckSucceeded()), nullptr);
  if (update_.Take(ProductVersionText(), checker.CopyInfo())) {
    Relayout();
    Invalidate();
  }
}

void MonitorWindow::OpenUpdatePage() {
  if (!update_.info()) {
    return;
  }
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
      nullptr, L"open", AsWide(update_.info()->url.c_str()), nullptr, nullptr, SW_SHOWNORMAL));
  if (result <= 32) {
    LogEvent(kWarn, "update", "open_page_failed", "code=" + std::to_string(result));
  }
}

}  // namespace lumetta
