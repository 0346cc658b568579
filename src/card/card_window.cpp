#include "card/card_window.h"

#include <dwmapi.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cmath>
#include <cstring>

#include "app/log.h"
#include "app/strings.h"
#include "app/text_ids.h"
#include "base/rounding.h"
#include "base/wide.h"
#include "base/win_error.h"
#include "card/card_accessibility.h"
#include "card/card_menu_win.h"
#include "card/card_placement.h"
#include "card/card_placement_win.h"
#include "card/card_settings.h"
#include "card/card_updates_win.h"
#include "card/card_view.h"
#include "card/tray_icon.h"
#include "dialogs/about_window.h"
#include "dialogs/settings_window.h"
#include "metrics/sampler_win.h"

namespace lumetta {
namespace {

enum CardTimer : UINT_PTR {
  kSampleTimer = 1,
  kClockTimer = 2,
  kUpdateTimer = 3,
  kRevealTimer = 4,
};

constexpr UINT kRevealMs = 3000;
constexpr UINT kClockRepaintMs = 1000;

CardWindow* gInstance = nullptr;

std::optional<std::u16string> PathOrNothing(const std::wstring* path) {
  return path != nullptr ? std::optional(std::u16string(AsU16(*path))) : std::nullopt;
}

// The clock's date in the chosen language by its picture, into `out`; empty when it cannot
// be formatted.
void FormatDate(const SYSTEMTIME& now, const std::u16string& picture, std::u16string& out) {
  wchar_t date[64] = {};
  if (GetDateFormatEx(AsWide(LocaleName().data()), 0, &now, AsWide(picture.c_str()), date, 64,
                      nullptr) == 0) {
    date[0] = L'\0';
  }
  out = AsU16(date);
}

}  // namespace

CardWindow::CardWindow(ID2D1Factory* d2dFactory, IDWriteFactory* dwriteFactory,
                       const std::wstring* settingsPath)
    : WindowBase(d2dFactory, dwriteFactory, WindowFrame::Card),
      settingsStore_(Win32Files(), PathOrNothing(settingsPath)),
      settings_(settingsStore_.Load()),
      d2dFactory_(d2dFactory),
      dwriteFactory_(dwriteFactory),
      words_(ProgramTexts()),
      datePictures_{LoadText(kTextDatePattern), LoadText(kTextDatePatternYear)} {
  gInstance = this;
  revealMessage_ = RegisterWindowMessageW(kRevealMessageName);
}

CardWindow::~CardWindow() {
  notifications_ = {};
  if (gInstance == this) {
    gInstance = nullptr;
  }
  sectionLayout_ = {};
  trayIcon_.reset();
  updates_.reset();
  aboutWindow_.reset();
  settingsWindow_.reset();
  sampler_.reset();
  DestroyBoundWindow();
}

CardWindow* CardWindow::Instance() {
  return gInstance;
}

HRESULT CardWindow::Create(HINSTANCE) {
  const PixelSize size =
      CardWindowSize(GetDpiForSystem(), settings_.displayScale, kEmptyCardHeight);
  const ScreenPoint position =
      InitialPosition(size.width, size.height, EnumerateWorkAreas(), settings_);
  const DWORD exStyle =
      WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | (settings_.alwaysOnTop ? WS_EX_TOPMOST : 0);
  const WindowCreation created =
      CreateBoundWindow(kCardWindowClass, exStyle, WS_POPUP, L"Lumetta",
                        {position.x, position.y, size.width, size.height});
  if (!created.Ok()) {
    return created.HResult();
  }
  SetRenderScale(static_cast<float>(settings_.displayScale));
  settingsWindow_ = std::make_unique<SettingsWindow>(
      d2dFactory_, dwriteFactory_, [this](const Settings& next) { ApplySettings(next); });
  aboutWindow_ = std::make_unique<AboutWindow>(d2dFactory_, dwriteFactory_);
  sampler_ = std::make_unique<Win32Sampler>(hwnd(), kWifiDoneMessage);
  updates_ = std::make_unique<CardUpdates>(hwnd(), kUpdateDoneMessage, kUpdateTimer);
  trayIcon_ = std::make_unique<TrayIcon>();
  trayIcon_->Init(hwnd(), kTrayMessage);
  notifications_.Register(hwnd(), &CardWindow::ForegroundChanged);
  notifications_.FollowBattery(hwnd(), settings_.showBattery);
  RebuildView();  // words to draw even when the card starts paused
  SampleAndRefresh();
  RestartTimers();
  ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  UpdateZOrder();
  updates_->Check();
  return S_OK;
}

bool CardWindow::IsMeasuringPaused() const {
  if (presence_.Paused() || IsIconic(hwnd())) {
    return true;
  }
  // Cloaked: on another virtual desktop. Wine answers E_NOTIMPL, which counts as visible.
  DWORD cloaked = 0;
  return SUCCEEDED(DwmGetWindowAttribute(hwnd(), DWMWA_CLOAKED, &cloaked, sizeof cloaked)) &&
         cloaked != 0;
}

void CardWindow::SampleAndRefresh() {
  if (!sampler_ || IsMeasuringPaused()) {
    return;
  }
  sampler_->Tick(settings_);
  Relayout();
  // New figures are told once per tick, never at the clock's repaints in between.
  AccessibilityChanged();
  Invalidate();
}

void CardWindow::RebuildView(bool forReader) {
  if (!sampler_) {
    return;
  }
  SYSTEMTIME now{};
  GetLocalTime(&now);
  // The date is formatted again only when the day or its picture changes.
  const std::uint32_t day =
      ((now.wYear * 13u + now.wMonth) * 32u + now.wDay) * 2u + (settings_.showClockYear ? 1u : 0u);
  if (day != dateDay_) {
    FormatDate(now, datePictures_[settings_.showClockYear ? 1 : 0], date_);
    dateDay_ = day;
  }
  BuildCardView({sampler_->snapshot(), settings_, UpdateStateNow(), UpdateVersion(), date_,
                 now.wHour, now.wMinute, now.wSecond, forReader || AccessibilityInUse()},
                words_, view_);
}

UpdateState CardWindow::UpdateStateNow() const {
  return updates_ ? updates_->status().state() : UpdateState::None;
}

void CardWindow::Relayout() {
  RebuildView();
  const std::optional<float> alertHeight = CardPainter::DiskAlertTextHeight(renderer(), view_);
  const UpdateState update = UpdateStateNow();
  const std::optional<float> updateHeight =
      update == UpdateState::Required
          ? std::optional(CardPainter::UpdateTextHeight(renderer(), view_))
          : std::nullopt;
  sectionLayout_ = StackSections(CardSections(settings_, update, alertHeight, updateHeight,
                                              sampler_ && sampler_->snapshot().battery.present));
  const PixelSize size =
      CardWindowSize(GetDpiForWindow(hwnd()), settings_.displayScale, sectionLayout_.totalHeight);
  RECT client{};
  if (GetClientRect(hwnd(), &client) &&
      (client.right != size.width || client.bottom != size.height)) {
    // A section, the disk alert or the update line appearing must not push the card off the
    // bottom of the screen.
    const std::optional<ScreenRect> before = WindowRect(hwnd());
    const std::optional<ScreenRect> area = NearestWorkArea(hwnd());
    SetWindowPos(hwnd(), nullptr, 0, 0, size.width, size.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (before && area) {
      KeepAnchored(hwnd(), *before, *area);
    }
  }
  // A reader asking between ticks hears the card as drawn; it is told of changes at ticks.
  RefreshAccessibility();
}

std::u16string_view CardWindow::UpdateVersion() const {
  if (!updates_) {
    return u"";
  }
  const std::optional<UpdateInfo>& update = updates_->status().info();
  return update ? std::u16string_view(update->latestVersion) : u"";
}

void CardWindow::Paint(Renderer& renderer, float, float) {
  if (!sampler_) {
    return;
  }
  painter_.Paint(renderer,
                 {view_, sampler_->snapshot(), sectionLayout_, hovering_, hoveredButton_});
}

A11yTree CardWindow::BuildAccessibilityTree() {
  if (!sampler_) {
    return {};
  }
  if (!view_.sentences) {  // the first reader: the sentences are made from now on
    RebuildView(true);
  }
  return CardAccessibilityTree(view_, sectionLayout_);
}

A11yOutcome CardWindow::OnAccessibilityRequest(const A11yRequest& request) {
  const bool invoke = request.verb == A11yVerb::Invoke;
  if (request.id == kCardElementSettings && invoke) {
    OpenSettings();
  } else if (request.id == kCardElementPin && (invoke || request.verb == A11yVerb::Toggle)) {
    ToggleAlwaysOnTop();
  } else if (request.id == SectionElement(SectionId::Update) && invoke && updates_) {
    updates_->OpenPage();
  } else {
    return A11yOutcome::NotSupported;
  }
  return A11yOutcome::Done;
}

void CardWindow::RestartTimers() {
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

void CardWindow::UpdateZOrder() {
  ApplyZOrder(hwnd(), presence_.Topmost(settings_.alwaysOnTop));
}

void CALLBACK CardWindow::ForegroundChanged(HWINEVENTHOOK, DWORD, HWND hwnd, LONG, LONG, DWORD,
                                            DWORD) noexcept {
  CardWindow* self = gInstance;
  if (self == nullptr || self->settings_.alwaysOnTop) {
    return;
  }
  const bool desktop = IsDesktopWindow(hwnd);
  if (desktop != self->presence_.desktopInForeground) {
    self->presence_.desktopInForeground = desktop;
    self->UpdateZOrder();
  }
}

void CardWindow::Reveal() {
  ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  EnsureOnScreen(hwnd());
  if (!settings_.alwaysOnTop) {
    presence_.revealActive = true;
    ApplyZOrder(hwnd(), true);
    SetTimer(hwnd(), kRevealTimer, kRevealMs, nullptr);
  }
}

void CardWindow::SaveSettingsNow() {
  // A failed save keeps the record in effect; the settings file logs the details and the
  // Settings dialog shows a notice. Without a data folder every save fails: the user is told.
  const bool saved = settingsStore_.Save(settings_);
  if (settingsWindow_) {
    settingsWindow_->SetSaveFailed(!saved, !settingsStore_.HasFolder());
  }
}

void CardWindow::ChangeSettings(const Settings& next) {
  ApplySettings(next);
  if (settingsWindow_) {
    settingsWindow_->SetSettings(settings_);
  }
}

void CardWindow::OpenSettings() {
  if (settingsWindow_) {
    settingsWindow_->Open(hwnd(), settings_);
  }
}

void CardWindow::ToggleAlwaysOnTop() {
  const bool wasOn = settings_.alwaysOnTop;
  settings_.alwaysOnTop = !wasOn;
  presence_.desktopInForeground = wasOn && IsDesktopWindow(GetForegroundWindow());
  UpdateZOrder();
  SaveSettingsNow();
  if (settingsWindow_) {
    settingsWindow_->SetSettings(settings_);
  }
  RebuildView();
  AccessibilityChanged();
  Invalidate();
}

void CardWindow::ApplySettings(const Settings& next) {
  const CardSettingsChange change = MergeCardSettings(settings_, next);
  settings_ = change.merged;
  if (change.timersChanged) {
    RestartTimers();
  }
  notifications_.FollowBattery(hwnd(), settings_.showBattery);
  if (sampler_ && !IsMeasuringPaused()) {  // a paused card samples when it resumes
    sampler_->Tick(settings_);
  }
  if (change.scaleChanged) {
    ChangeScale();
  } else {
    Relayout();
    // A card that snaps now must be saved where it now rests, or the next start undoes it.
    if (change.snapTurnedOn && SnapToEdges(hwnd())) {
      SavePosition();
    } else {
      SaveSettingsNow();
    }
  }
  AccessibilityChanged();
  Invalidate();
}

void CardWindow::ChangeScale() {
  SetRenderScale(static_cast<float>(settings_.displayScale));
  Relayout();
  EnsureOnScreen(hwnd());
  if (settings_.snapToEdges) {
    SnapToEdges(hwnd());
  }
  SavePosition();
}

void CardWindow::SavePosition() {
  const std::optional<ScreenRect> window = WindowRect(hwnd());
  if (!window) {
    return;
  }
  settings_.hasWindowPosition = true;
  settings_.windowX = window->x;
  settings_.windowY = window->y;
  SaveSettingsNow();
}

HoverButton CardWindow::HitTestButton(POINT screenPoint) const {
  if (!hovering_) {
    return HoverButton::None;
  }
  ScreenToClient(hwnd(), &screenPoint);
  const PointF dip = ToDips(screenPoint.x, screenPoint.y);
  return ButtonAt({std::floor(dip.x), std::floor(dip.y)});
}

bool CardWindow::HitTestUpdateLine(POINT screenPoint) const {
  if (!updates_ || updates_->status().state() != UpdateState::Required) {
    return false;
  }
  ScreenToClient(hwnd(), &screenPoint);
  return OnUpdateLine(sectionLayout_, ToDips(screenPoint.x, screenPoint.y).y);
}

void CardWindow::UpdateHover() {
  // Over the card's own window, not merely within its rectangle: another window covering the
  // card under the pointer ends the hover (its leave notice is the last the card gets).
  POINT cursor{};
  const bool inside =
      GetCursorPos(&cursor) && GetAncestor(WindowFromPoint(cursor), GA_ROOT) == hwnd();
  // The buttons are hit-tested only while hovering, so hovering is settled first.
  const bool wasHovering = hovering_;
  hovering_ = inside;
  const HoverButton button = inside ? HitTestButton(cursor) : HoverButton::None;
  if (inside != wasHovering || button != hoveredButton_) {
    hoveredButton_ = button;
    Invalidate();
  }
}

LRESULT CardWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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
    case WM_NCRBUTTONDOWN:
      // DefWindowProc would track the button on the caption area for the system menu and keep
      // its release to itself.
      return 0;
    case WM_NCRBUTTONUP: {
      // DefWindowProc is documented to send WM_CONTEXTMENU for it; where one does not (Wine
      // on a caption area), the card sends it.
      contextMenuAsked_ = false;
      const LRESULT result = DefWindowProcW(hwnd(), message, wParam, lParam);
      if (!contextMenuAsked_) {
        SendMessageW(hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd()), lParam);
      }
      return result;
    }
    case WM_CONTEXTMENU: {
      contextMenuAsked_ = true;
      // A right-click anywhere (DefWindowProc makes this of the button-up, on the caption area
      // too), Shift+F10 or the Menu key; never the system menu. From the keyboard the point is
      // (-1, -1): the menu opens at the card's corner.
      POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      RECT rect{};
      if (point.x == -1 && point.y == -1 && GetWindowRect(hwnd(), &rect)) {
        point = {rect.left, rect.top};
      }
      ShowContextMenu(point);
      return 0;
    }
    case WM_TIMER:
      return OnTimer(wParam);
    case WM_LBUTTONUP:
      return OnLButtonUp(lParam);
    case WM_MOUSEWHEEL:
      return OnMouseWheel(wParam, lParam);
    case WM_POWERBROADCAST:
      if (sampler_ && IsBatteryChange(wParam, lParam)) {
        sampler_->BatteryChanged();  // read at the next tick, which a paused card does not take
      }
      if (const std::optional<std::uint32_t> state = ConsoleDisplayState(wParam, lParam);
          state && presence_.OnDisplayState(*state)) {
        SampleAndRefresh();
      }
      return TRUE;
    case WM_EXITSIZEMOVE:
      if (settings_.snapToEdges) {
        SnapToEdges(hwnd());
      }
      SavePosition();
      return 0;
    case WM_WTSSESSION_CHANGE:
      if (presence_.OnSessionChange(static_cast<std::uint32_t>(wParam))) {
        SampleAndRefresh();
      }
      return 0;
    case kWifiDoneMessage:
      if (sampler_) {
        sampler_->RefreshNetworkLabel();
        RebuildView();
        RefreshAccessibility();
        Invalidate();
      }
      return 0;
    case kUpdateDoneMessage:
      if (updates_ && updates_->TakeResult()) {
        Relayout();
        AccessibilityChanged();
        Invalidate();
      }
      return 0;
    case kTrayMessage:
      return OnTrayMessage(wParam, lParam);
    default:
      return DefWindowProcW(hwnd(), message, wParam, lParam);
  }
}

void CardWindow::OnDestroy() {
  for (UINT_PTR timer : {kSampleTimer, kClockTimer, kUpdateTimer, kRevealTimer}) {
    KillTimer(hwnd(), timer);
  }
  trayIcon_->Remove();
  updates_.reset();  // cancels and waits for a running check
  notifications_.ReleaseWindowRegistrations();
  settingsWindow_.reset();
  aboutWindow_.reset();
  sampler_.reset();
  PostQuitMessage(0);
}

LRESULT CardWindow::OnWindowPosChanging(WPARAM wParam, LPARAM lParam) {
  auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
  // Unpinned, the card stays behind every other window, like a desktop ornament.
  if (!presence_.Topmost(settings_.alwaysOnTop) && (position->flags & SWP_NOZORDER) == 0) {
    position->hwndInsertAfter = HWND_BOTTOM;
  }
  return DefWindowProcW(hwnd(), WM_WINDOWPOSCHANGING, wParam, lParam);
}

LRESULT CardWindow::OnTimer(WPARAM id) {
  switch (id) {
    case kSampleTimer:
      SampleAndRefresh();
      break;
    case kClockTimer:
      if (!IsMeasuringPaused()) {
        RebuildView();
        RefreshAccessibility();
        Invalidate();
      }
      break;
    case kUpdateTimer:
      KillTimer(hwnd(), kUpdateTimer);
      if (updates_) {
        updates_->Check();
      }
      break;
    case kRevealTimer:
      KillTimer(hwnd(), kRevealTimer);
      presence_.revealActive = false;
      UpdateZOrder();
      break;
    default:
      break;
  }
  return 0;
}

LRESULT CardWindow::OnLButtonUp(LPARAM lParam) {
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
        updates_->OpenPage();
      }
      break;
  }
  return 0;
}

LRESULT CardWindow::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
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

void CardWindow::ShowContextMenu(POINT screenPoint) {
  const UpdateStatus& update = updates_->status();
  switch (TrackContextMenu(hwnd(), ContextMenuItems(settings_, update.info(), update.state()),
                           screenPoint)) {
    case kMenuAlwaysOnTop:
      ToggleAlwaysOnTop();
      break;
    case kMenuSnap: {
      Settings next = settings_;
      next.snapToEdges = !next.snapToEdges;
      ChangeSettings(next);
      break;
    }
    case kMenuSettings:
      OpenSettings();
      break;
    case kMenuUpdate:
      updates_->OpenPage();
      break;
    case kMenuAbout:
      aboutWindow_->Show(hwnd());
      break;
    case kMenuMove:
      // Windows' own keyboard move: arrows move, Enter ends, Esc puts the card back. It ends in
      // WM_EXITSIZEMOVE like a drag, which snaps and saves.
      SetForegroundWindow(hwnd());
      PostMessageW(hwnd(), WM_SYSCOMMAND, SC_MOVE, 0);
      break;
    case kMenuExit:
      DestroyWindow(hwnd());
      break;
    default:
      break;
  }
}

LRESULT CardWindow::OnTrayMessage(WPARAM wParam, LPARAM lParam) {
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

}  // namespace lumetta
