// The card: the program's one top-level window. It owns the Sampler, the Renderer and the tray
// icon, ticks on its timer, pauses while it cannot be seen and keeps its z-order.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "card/card_layout.h"
#include "card/placement.h"
#include "card/tray_icon.h"
#include "dialogs/about_window.h"
#include "dialogs/settings_window.h"
#include "draw/renderer.h"
#include "metrics/sampler_win.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "update/update_check_win.h"
#include "update/update_info.h"

namespace lumetta {

inline constexpr wchar_t kMonitorWindowClass[] = L"LumettaMonitorWindow";
inline constexpr wchar_t kRevealMessageName[] = L"com.norvale.lumettawin.reveal";
inline constexpr UINT kWifiDoneMessage = WM_APP + 1;
inline constexpr UINT kUpdateDoneMessage = WM_APP + 2;
inline constexpr UINT kTrayMessage = WM_APP + 3;

enum CardTimer : UINT_PTR {
  kSampleTimer = 1,
  kClockTimer = 2,
  kUpdateTimer = 3,
  kRevealTimer = 4,
};

enum HoverButton : std::uint32_t { kNoButton = 0, kSettingsButton = 1, kPinButton = 2 };

class MonitorWindow {
 public:
  // The factories and the settings path are lent by the entry for the window's whole life;
  // a null path means nothing is loaded or saved.
  MonitorWindow(ID2D1Factory* d2dFactory, IDWriteFactory* dwriteFactory,
                const std::wstring* settingsPath);
  ~MonitorWindow();
  MonitorWindow(const MonitorWindow&) = delete;
  MonitorWindow& operator=(const MonitorWindow&) = delete;

  // Registers the class and creates the window; the HRESULT of the failing call otherwise.
  [[nodiscard]] HRESULT Create(HINSTANCE instance);

  [[nodiscard]] HWND hwnd() const { return hwnd_; }
  // The process's one instance, or null.
  [[nodiscard]] static MonitorWindow* Instance();

  void ApplySettings(const Settings& next);
  [[nodiscard]] bool IsMeasuringPaused() const;
  [[nodiscard]] std::uint32_t HitTestButton(POINT screenPoint) const;
  [[nodiscard]] bool HitTestUpdateLine(POINT screenPoint) const;
  void SampleAndRefresh();
  void UpdateZOrder();
  void Reveal();
  void ToggleAlwaysOnTop();
  void RestartTimers();
  void OpenUpdatePage();

 private:
  static LRESULT CALLBACK WindowProcThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static void CALLBACK ForegroundChanged(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG object,
                                         LONG child, DWORD thread, DWORD time);
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  LRESULT OnDestroy();
  LRESULT OnPaint();
  LRESULT OnSettingChange(LPARAM lParam);
  void SetUpFrame();
  LRESULT OnWindowPosChanging(WPARAM wParam, LPARAM lParam);
  LRESULT OnNcHitTest(LPARAM lParam);
  LRESULT OnMouseMove(bool nonClient);
  LRESULT OnMouseLeave(bool nonClient);
  LRESULT OnTimer(WPARAM id);
  LRESULT OnLButtonUp(LPARAM lParam);
  LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
  LRESULT OnPowerBroadcast(WPARAM wParam, LPARAM lParam);
  LRESULT OnSessionChange(WPARAM wParam);
  LRESULT OnDpiChanged(LPARAM lParam);
  LRESULT OnTrayMessage(WPARAM wParam, LPARAM lParam);
  LRESULT OnUpdateResult();

  void RegisterNotifications();
  void UpdateHover();
  float Scale() const;
  POINT ToDips(POINT screenPoint) const;
  void SaveSettingsNow();
  void OpenSettings();
  void ShowContextMenu(POINT screenPoint);

  // Placement, in physical pixels.
  void EnsureOnScreen();
  // True when the card moved.
  bool SnapToEdges();
  void SavePosition();
  void ChangeScale();

  // Layout and painting.
  void Relayout();
  void PaintCard();
  void DrawSectionHeader(float top, std::u16string_view title, std::u16string_view value,
                         const ColorF& valueColor, TextStyle valueStyle, float rowHeight);
  float DrawLegendItem(float x, float top, const ColorF& color, std::u16string_view text);
  void PaintUpdate(float top);
  void PaintClock(float top);
  void PaintCpu(float top);
  void PaintGpu(float top);
  void PaintMemory(float top);
  void PaintNetwork(float top);
  void PaintDisk(float top);
  void PaintSelf(float top);
  void PaintHoverButtons();
  [[nodiscard]] std::optional<float> DiskAlertTextHeight();
  [[nodiscard]] std::u16string DiskAlertText() const;

  ID2D1Factory* d2dFactory_;
  IDWriteFactory* dwriteFactory_;
  SettingsStore settingsStore_;
  Settings settings_;
  Renderer renderer_;
  HWND hwnd_ = nullptr;
  HWINEVENTHOOK foregroundHook_ = nullptr;
  HPOWERNOTIFY powerNotify_ = nullptr;
  bool sessionNotificationsRegistered_ = false;
  bool sessionLocked_ = false;
  bool displayOff_ = false;
  bool desktopInForeground_ = false;
  bool hovering_ = false;
  bool trackingClientLeave_ = false;
  bool trackingNonClientLeave_ = false;
  std::uint32_t hoveredButton_ = kNoButton;
  std::unique_ptr<Win32Sampler> sampler_;
  std::unique_ptr<SettingsWindow> settingsWindow_;
  std::unique_ptr<AboutWindow> aboutWindow_;
  std::unique_ptr<Win32UpdateChecker> updateChecker_;
  UpdateStatus update_;
  TrayIcon trayIcon_;
  UINT revealMessage_ = 0;
  UINT taskbarCreatedMessage_ = 0;
  bool revealActive_ = false;
  // No system material behind the card: it paints a plain backdrop itself.
  bool plainBackdrop_ = false;
  SectionLayout sectionLayout_;
  std::vector<double> historyScratch_;  // reused for each chart's values
};

// True for the windows that are the desktop itself ("WorkerW", "Progman").
[[nodiscard]] bool IsDesktopWindow(HWND window);

}  // namespace lumetta
