#include "card/monitor_window.h"

#include <dwmapi.h>
#include <shellapi.h>
#include <windowsx.h>
#include <wtsapi32.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "app/log.h"
#include "app/strings.h"
#include "app/text_ids.h"
#include "app/version.h"
#include "base/rounding.h"
#include "base/wide.h"
#include "base/win_error.h"
#include "draw/theme_win.h"
#include "settings/settings_file.h"

namespace lumetta {
namespace {

constexpr UINT kRevealMs = 3000;
constexpr UINT kClockRepaintMs = 1000;
constexpr float kDefaultDpi = 96.0f;
// The hover buttons, in card DIPs.
constexpr RECT kSettingsButtonBox{147, 5, 165, 23};
constexpr RECT kPinButtonBox{167, 5, 185, 23};
constexpr float kUpdateLineSlack = 4;

MonitorWindow* gInstance = nullptr;

ScreenRect ToScreenRect(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM context) {
  auto* areas = reinterpret_cast<std::vector<ScreenRect>*>(context);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    // The primary monitor's work area comes first.
    const auto where = (info.dwFlags & MONITORINFOF_PRIMARY) != 0 ? areas->begin() : areas->end();
    areas->insert(where, ToScreenRect(info.rcWork));
  }
  return TRUE;
}

std::vector<ScreenRect> EnumerateWorkAreas() {
  std::vector<ScreenRect> areas;
  EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

std::optional<ScreenRect> NearestWorkArea(HWND hwnd) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info)) {
    return std::nullopt;
  }
  return ToScreenRect(info.rcWork);
}

std::optional<ScreenRect> WindowRect(HWND hwnd) {
  RECT rect{};
  if (!GetWindowRect(hwnd, &rect)) {
    return std::nullopt;
  }
  return ToScreenRect(rect);
}

void MoveTo(HWND hwnd, ScreenPoint point) {
  SetWindowPos(hwnd, nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool InBox(const RECT& box, POINT p) {
  return p.x >= box.left && p.x < box.right && p.y >= box.top && p.y < box.bottom;
}

}  // namespace

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
    : d2dFactory_(d2dFactory),
      dwriteFactory_(dwriteFactory),
      settingsStore_(Win32Files(), settingsPath != nullptr
                                       ? std::optional(std::u16string(AsU16(*settingsPath)))
                                       : std::nullopt),
      settings_(settingsStore_.Load()),
      renderer_(d2dFactory, dwriteFactory) {
  gInstance = this;
  revealMessage_ = RegisterWindowMessageW(kRevealMessageName);
}

MonitorWindow::~MonitorWindow() {
  if (foregroundHook_ != nullptr) {
    UnhookWinEvent(foregroundHook_);
  }
  if (gInstance == this) {
    gInstance = nullptr;
  }
  sectionLayout_ = {};
  trayIcon_.Remove();
  updateChecker_.reset();
  aboutWindow_.reset();
  settingsWindow_.reset();
  sampler_.reset();
  if (hwnd_ != nullptr) {
    DestroyWindow(hwnd_);
  }
}

MonitorWindow* MonitorWindow::Instance() {
  return gInstance;
}

HRESULT MonitorWindow::Create(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &MonitorWindow::WindowProcThunk;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.lpszClassName = kMonitorWindowClass;
  if (RegisterClassExW(&windowClass) == 0) {
    return HResultFromLastError();
  }

  const PixelSize size =
      CardWindowSize(GetDpiForSystem(), settings_.displayScale, kEmptyCardHeight);
  const std::vector<ScreenRect> areas = EnumerateWorkAreas();
  const ScreenPoint position = InitialPosition(size.width, size.height, areas, settings_);
  const DWORD exStyle =
      WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | (settings_.alwaysOnTop ? WS_EX_TOPMOST : 0);
  if (CreateWindowExW(exStyle, kMonitorWindowClass, L"Lumetta", WS_POPUP, position.x, position.y,
                      size.width, size.height, nullptr, nullptr, instance, this) == nullptr) {
    return HResultFromLastError();
  }

  renderer_.hwnd = hwnd_;
  const auto scale = static_cast<float>(settings_.displayScale);
  if (scale != renderer_.scale) {
    renderer_.DiscardDeviceResources();
    renderer_.scale = scale;
  }
  SetUpFrame();

  settingsWindow_ = std::make_unique<SettingsWindow>(
      d2dFactory_, dwriteFactory_, [this](const Settings& next) { ApplySettings(next); });
  aboutWindow_ = std::make_unique<AboutWindow>(d2dFactory_, dwriteFactory_);
  sampler_ = std::make_unique<Win32Sampler>(hwnd_, kWifiDoneMessage);
  updateChecker_ = std::make_unique<Win32UpdateChecker>(hwnd_, kUpdateDoneMessage);
  trayIcon_.Init(hwnd_, kTrayMessage);
  RegisterNotifications();
  SampleAndRefresh();
  RestartTimers();
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  UpdateZOrder();
  updateChecker_->checker().Submit();
  return S_OK;
}

void MonitorWindow::RegisterNotifications() {
  foregroundHook_ = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                    &MonitorWindow::ForegroundChanged, 0, 0,
                                    WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
  if (foregroundHook_ == nullptr) {
    LogEvent(kWarn, "window", "foreground_hook_failed");
  }
  sessionNotificationsRegistered_ =
      WTSRegisterSessionNotification(hwnd_, NOTIFY_FOR_THIS_SESSION) != FALSE;
  if (!sessionNotificationsRegistered_) {
    LogEvent(kWarn, "window", "session_notification_failed", CodeDetail(LastErrorCode()));
  }
  powerNotify_ = RegisterPowerSettingNotification(hwnd_, &GUID_CONSOLE_DISPLAY_STATE,
                                                  DEVICE_NOTIFY_WINDOW_HANDLE);
  if (powerNotify_ == nullptr) {
    LogEvent(kWarn, "window", "display_notification_failed", CodeDetail(LastErrorCode()));
  }
}

float MonitorWindow::Scale() const {
  return CardScale(GetDpiForWindow(hwnd_), settings_.displayScale);
}

bool MonitorWindow::IsMeasuringPaused() const {
  if (sessionLocked_ || displayOff_ || IsIconic(hwnd_)) {
    return true;
  }
  // Cloaked: on another virtual desktop. Wine answers E_NOTIMPL, which counts as visible.
  DWORD cloaked = 0;
  return SUCCEEDED(DwmGetWindowAttribute(hwnd_, DWMWA_CLOAKED, &cloaked, sizeof cloaked)) &&
         cloaked != 0;
}

void MonitorWindow::SampleAndRefresh() {
  if (!sampler_ || IsMeasuringPaused()) {
    return;
  }
  sampler_->tick(settings_);
  Relayout();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void MonitorWindow::RestartTimers() {
  const auto interval = static_cast<UINT>(RoundHalfAway(settings_.updateIntervalSeconds * 1000));
  if (SetTimer(hwnd_, kSampleTimer, interval, nullptr) == 0) {
    LogEvent(kError, "window", "timer_failed", CodeDetail(LastErrorCode()));
  }
  // The seconds bar moves every second even when sampling is slower.
  if (settings_.showClock && interval > kClockRepaintMs) {
    SetTimer(hwnd_, kClockTimer, kClockRepaintMs, nullptr);
  } else {
    KillTimer(hwnd_, kClockTimer);
  }
}

void MonitorWindow::UpdateZOrder() {
  constexpr UINT kFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  if (settings_.alwaysOnTop || desktopInForeground_ || revealActive_) {
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, kFlags);
  } else {
    SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, kFlags);
    SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, kFlags);
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
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  EnsureOnScreen();
  if (!settings_.alwaysOnTop) {
    revealActive_ = true;
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetTimer(hwnd_, kRevealTimer, kRevealMs, nullptr);
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

void MonitorWindow::OpenSettings() {
  if (settingsWindow_) {
    settingsWindow_->Open(hwnd_, settings_);
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
  InvalidateRect(hwnd_, nullptr, FALSE);
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
    if (snapTurnedOn && SnapToEdges()) {
      SavePosition();
    } else {
      SaveSettingsNow();
    }
  }
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void MonitorWindow::ChangeScale() {
  const auto scale = static_cast<float>(settings_.displayScale);
  if (scale != renderer_.scale) {
    renderer_.DiscardDeviceResources();
    renderer_.scale = scale;
  }
  const std::optional<ScreenRect> before = WindowRect(hwnd_);
  const std::optional<ScreenRect> area = NearestWorkArea(hwnd_);
  Relayout();
  if (before && area) {
    if (const std::optional<ScreenRect> after = WindowRect(hwnd_)) {
      if (const auto anchored = AnchorAfterScale(*before, *after, *area, GetDpiForWindow(hwnd_))) {
        MoveTo(hwnd_, *anchored);
      }
    }
  }
  EnsureOnScreen();
  if (settings_.snapToEdges) {
    SnapToEdges();
  }
  SavePosition();
}

void MonitorWindow::EnsureOnScreen() {
  const std::optional<ScreenRect> window = WindowRect(hwnd_);
  const std::optional<ScreenRect> area = NearestWorkArea(hwnd_);
  if (!window || !area) {
    return;
  }
  const ScreenPoint target = ClampToWorkAreas(*window, std::span(&*area, 1), kDefaultMargin);
  if (target != ScreenPoint{window->x, window->y}) {
    MoveTo(hwnd_, target);
  }
}

bool MonitorWindow::SnapToEdges() {
  const std::optional<ScreenRect> window = WindowRect(hwnd_);
  const std::optional<ScreenRect> area = NearestWorkArea(hwnd_);
  if (!window || !area) {
    return false;
  }
  const ScreenPoint target = SnapPosition(*window, *area, GetDpiForWindow(hwnd_));
  if (target == ScreenPoint{window->x, window->y}) {
    return false;
  }
  MoveTo(hwnd_, target);
  return true;
}

void MonitorWindow::SavePosition() {
  const std::optional<ScreenRect> window = WindowRect(hwnd_);
  if (!window) {
    return;
  }
  settings_.hasWindowPosition = true;
  settings_.windowX = window->x;
  settings_.windowY = window->y;
  SaveSettingsNow();
}

POINT MonitorWindow::ToDips(POINT screenPoint) const {
  ScreenToClient(hwnd_, &screenPoint);
  const float s = Scale();
  return {static_cast<LONG>(std::floor(static_cast<float>(screenPoint.x) / s)),
          static_cast<LONG>(std::floor(static_cast<float>(screenPoint.y) / s))};
}

std::uint32_t MonitorWindow::HitTestButton(POINT screenPoint) const {
  if (!hovering_) {
    return kNoButton;
  }
  const POINT dip = ToDips(screenPoint);
  if (InBox(kSettingsButtonBox, dip)) {
    return kSettingsButton;
  }
  return InBox(kPinButtonBox, dip) ? kPinButton : kNoButton;
}

bool MonitorWindow::HitTestUpdateLine(POINT screenPoint) const {
  if (update_.state() != kUpdateRequired) {
    return false;
  }
  for (const LaidOutSection& section : sectionLayout_.sections) {
    if (section.id == SectionId::Update) {
      POINT client = screenPoint;
      ScreenToClient(hwnd_, &client);
      const float y = static_cast<float>(client.y) / Scale();
      return y >= section.top - kUpdateLineSlack &&
             y < section.top + section.height + kUpdateLineSlack;
    }
  }
  return false;
}

void MonitorWindow::UpdateHover() {
  POINT cursor{};
  RECT window{};
  const bool inside =
      GetCursorPos(&cursor) && GetWindowRect(hwnd_, &window) && PtInRect(&window, cursor);
  // The buttons are hit-tested only while hovering, so hovering is settled first.
  const bool wasHovering = hovering_;
  hovering_ = inside;
  const std::uint32_t button = inside ? HitTestButton(cursor) : kNoButton;
  if (inside != wasHovering || button != hoveredButton_) {
    hoveredButton_ = button;
    InvalidateRect(hwnd_, nullptr, FALSE);
  }
}

LRESULT CALLBACK MonitorWindow::WindowProcThunk(HWND hwnd, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
  auto* self = reinterpret_cast<MonitorWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<MonitorWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  if (self == nullptr) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return self->WindowProc(message, wParam, lParam);
}

LRESULT MonitorWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == revealMessage_ && revealMessage_ != 0) {
    Reveal();
    return 0;
  }
  if (taskbarCreatedMessage_ == 0) {
    taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
  }
  if (message == taskbarCreatedMessage_ && taskbarCreatedMessage_ != 0) {
    trayIcon_.Readd();
    return 0;
  }
  switch (message) {
    case WM_DESTROY:
      return OnDestroy();
    case WM_SIZE:
      renderer_.Resize(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_PAINT:
      return OnPaint();
    case WM_SETTINGCHANGE:
      return OnSettingChange(lParam);
    case WM_DWMCOMPOSITIONCHANGED:
      SetUpFrame();
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_WINDOWPOSCHANGING:
      return OnWindowPosChanging(wParam, lParam);
    case WM_NCCALCSIZE:
      // No non-client area: the client area is the whole window.
      return wParam == TRUE ? 0 : DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_NCHITTEST:
      return OnNcHitTest(lParam);
    case WM_NCMOUSEMOVE:
      return OnMouseMove(true);
    case WM_MOUSEMOVE:
      return OnMouseMove(false);
    case WM_NCRBUTTONUP:
      ShowContextMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_TIMER:
      return OnTimer(wParam);
    case WM_LBUTTONUP:
      return OnLButtonUp(lParam);
    case WM_RBUTTONUP: {
      POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(hwnd_, &point);
      ShowContextMenu(point);
      return 0;
    }
    case WM_MOUSEWHEEL:
      return OnMouseWheel(wParam, lParam);
    case WM_POWERBROADCAST:
      return OnPowerBroadcast(wParam, lParam);
    case WM_EXITSIZEMOVE:
      if (settings_.snapToEdges) {
        SnapToEdges();
      }
      SavePosition();
      return 0;
    case WM_NCMOUSELEAVE:
      return OnMouseLeave(true);
    case WM_MOUSELEAVE:
      return OnMouseLeave(false);
    case WM_WTSSESSION_CHANGE:
      return OnSessionChange(wParam);
    case WM_DPICHANGED:
      return OnDpiChanged(lParam);
    case kWifiDoneMessage:
      if (sampler_) {
        sampler_->refreshNetworkLabel();
        InvalidateRect(hwnd_, nullptr, FALSE);
      }
      return 0;
    case kUpdateDoneMessage:
      return OnUpdateResult();
    case kTrayMessage:
      return OnTrayMessage(wParam, lParam);
    default:
      return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

LRESULT MonitorWindow::OnDestroy() {
  for (UINT_PTR timer : {kSampleTimer, kClockTimer, kUpdateTimer, kRevealTimer}) {
    KillTimer(hwnd_, timer);
  }
  trayIcon_.Remove();
  updateChecker_.reset();  // waits for a running check
  if (sessionNotificationsRegistered_) {
    WTSUnRegisterSessionNotification(hwnd_);
    sessionNotificationsRegistered_ = false;
  }
  if (powerNotify_ != nullptr) {
    UnregisterPowerSettingNotification(powerNotify_);
    powerNotify_ = nullptr;
  }
  settingsWindow_.reset();
  aboutWindow_.reset();
  sampler_.reset();
  renderer_.DiscardDeviceResources();
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  PostQuitMessage(0);
  return 0;
}

LRESULT MonitorWindow::OnPaint() {
  PAINTSTRUCT paint{};
  BeginPaint(hwnd_, &paint);
  PaintCard();
  EndPaint(hwnd_, &paint);
  return 0;
}

LRESULT MonitorWindow::OnSettingChange(LPARAM lParam) {
  if (IsThemeChangeNotice(reinterpret_cast<const char16_t*>(lParam))) {
    SetUpFrame();
    InvalidateRect(hwnd_, nullptr, FALSE);
  }
  return 0;  // never passed on
}

void MonitorWindow::SetUpFrame() {
  const WindowLook look = SetUpWindowFrame(hwnd_, WindowFrame::kCard);
  renderer_.palette = look.palette;
  plainBackdrop_ = look.plainBackdrop;
}

LRESULT MonitorWindow::OnWindowPosChanging(WPARAM wParam, LPARAM lParam) {
  auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
  // Unpinned, the card stays behind every other window, like a desktop ornament.
  if (!settings_.alwaysOnTop && !desktopInForeground_ && !revealActive_ &&
      (position->flags & SWP_NOZORDER) == 0) {
    position->hwndInsertAfter = HWND_BOTTOM;
  }
  return DefWindowProcW(hwnd_, WM_WINDOWPOSCHANGING, wParam, lParam);
}

LRESULT MonitorWindow::OnNcHitTest(LPARAM lParam) {
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  return HitTestButton(point) != kNoButton || HitTestUpdateLine(point) ? HTCLIENT : HTCAPTION;
}

LRESULT MonitorWindow::OnMouseMove(bool nonClient) {
  bool& tracking = nonClient ? trackingNonClientLeave_ : trackingClientLeave_;
  if (!tracking) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE | (nonClient ? TME_NONCLIENT : 0);
    track.hwndTrack = hwnd_;
    tracking = TrackMouseEvent(&track) != FALSE;
  }
  UpdateHover();
  return 0;
}

LRESULT MonitorWindow::OnMouseLeave(bool nonClient) {
  (nonClient ? trackingNonClientLeave_ : trackingClientLeave_) = false;
  UpdateHover();
  return 0;
}

LRESULT MonitorWindow::OnTimer(WPARAM id) {
  switch (id) {
    case kSampleTimer:
      SampleAndRefresh();
      break;
    case kClockTimer:
      if (!IsMeasuringPaused()) {
        InvalidateRect(hwnd_, nullptr, FALSE);
      }
      break;
    case kUpdateTimer:
      KillTimer(hwnd_, kUpdateTimer);
      if (updateChecker_) {
        updateChecker_->checker().Submit();
      }
      break;
    case kRevealTimer:
      KillTimer(hwnd_, kRevealTimer);
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
  ClientToScreen(hwnd_, &point);
  switch (HitTestButton(point)) {
    case kSettingsButton:
      OpenSettings();
      break;
    case kPinButton:
      ToggleAlwaysOnTop();
      break;
    default:
      if (HitTestUpdateLine(point)) {
        OpenUpdatePage();
      }
      break;
  }
  return 0;
}

LRESULT MonitorWindow::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
  if ((GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) == 0) {
    return DefWindowProcW(hwnd_, WM_MOUSEWHEEL, wParam, lParam);
  }
  const double scale =
      StepDisplayScale(settings_.displayScale, GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? 1 : -1);
  if (scale != settings_.displayScale) {
    Settings next = settings_;
    next.displayScale = scale;
    ApplySettings(next);
    if (settingsWindow_) {
      settingsWindow_->SetSettings(settings_);
    }
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

LRESULT MonitorWindow::OnDpiChanged(LPARAM lParam) {
  renderer_.DiscardDeviceResources();
  const auto* suggested = reinterpret_cast<const RECT*>(lParam);
  SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  Relayout();
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

LRESULT MonitorWindow::OnUpdateResult() {
  if (!updateChecker_) {
    return 0;
  }
  UpdateChecker& checker = updateChecker_->checker();
  SetTimer(hwnd_, kUpdateTimer, NextCheckDelayMs(checker.LastCheckSucceeded()), nullptr);
  if (update_.Take(ProductVersionText(), checker.CopyInfo())) {
    Relayout();
    InvalidateRect(hwnd_, nullptr, FALSE);
  }
  return 0;
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
