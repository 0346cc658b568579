// The card: the program's one top-level window. It owns the Sampler, the tray icon, both
// dialogs and the update check, ticks on its timer, pauses while it cannot be seen and keeps
// its z-order; what it draws is the CardPainter's.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "card/card_layout.h"
#include "card/card_notifications_win.h"
#include "card/card_painter.h"
#include "card/card_presence.h"
#include "card/card_view.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "window/window_base.h"

namespace lumetta {

class AboutWindow;
class CardUpdates;
class SettingsWindow;
class TrayIcon;
class Win32Sampler;

inline constexpr wchar_t kCardWindowClass[] = L"LumettaMonitorWindow";
inline constexpr wchar_t kRevealMessageName[] = L"com.norvale.lumettawin.reveal";
inline constexpr UINT kWifiDoneMessage = WM_APP + 1;
inline constexpr UINT kUpdateDoneMessage = WM_APP + 2;
inline constexpr UINT kTrayMessage = WM_APP + 3;

class CardWindow final : public WindowBase {
 public:
  // The factories and the settings path are lent by the entry for the window's whole life;
  // a null path means nothing is loaded and every save fails.
  CardWindow(ID2D1Factory* d2dFactory, IDWriteFactory* dwriteFactory,
             const std::wstring* settingsPath);
  ~CardWindow() override;

  // Registers the class and creates the window; the HRESULT of the failing call otherwise.
  [[nodiscard]] HRESULT Create(HINSTANCE instance);
  // The process's one instance, or null.
  [[nodiscard]] static CardWindow* Instance();

  void ApplySettings(const Settings& next);
  [[nodiscard]] bool IsMeasuringPaused() const;
  [[nodiscard]] HoverButton HitTestButton(POINT screenPoint) const;
  [[nodiscard]] bool HitTestUpdateLine(POINT screenPoint) const;
  void SampleAndRefresh();
  void UpdateZOrder();
  void Reveal();
  void ToggleAlwaysOnTop();
  void RestartTimers();

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Paint(Renderer& renderer, float width, float height) override;
  void OnDpiChanged() override { Relayout(); }
  void OnMouseLeft(bool) override { UpdateHover(); }
  A11yTree BuildAccessibilityTree() override;
  A11yOutcome OnAccessibilityRequest(const A11yRequest& request) override;

 private:
  static void CALLBACK ForegroundChanged(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG object,
                                         LONG child, DWORD thread, DWORD time) noexcept;
  LRESULT OnWindowPosChanging(WPARAM wParam, LPARAM lParam);
  LRESULT OnTimer(WPARAM id);
  LRESULT OnLButtonUp(LPARAM lParam);
  LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
  LRESULT OnTrayMessage(WPARAM wParam, LPARAM lParam);
  void OnDestroy();

  void UpdateHover();
  [[nodiscard]] std::u16string_view UpdateVersion() const;
  // The card changed the settings itself: save, and show the truth in an open dialog.
  void ChangeSettings(const Settings& next);
  void SaveSettingsNow();
  void OpenSettings();
  void ShowContextMenu(POINT screenPoint);
  void ChangeScale();
  void SavePosition();
  // The card view anew: at a tick, a clock repaint, and a change of settings or update state.
  void RebuildView(bool forReader = false);
  [[nodiscard]] UpdateState UpdateStateNow() const;
  void Relayout();

  SettingsStore settingsStore_;
  Settings settings_;
  ID2D1Factory* d2dFactory_;
  IDWriteFactory* dwriteFactory_;
  CardNotifications notifications_;
  CardPresence presence_;
  bool hovering_ = false;
  bool contextMenuAsked_ = false;  // WM_CONTEXTMENU came while a button-up was handled
  HoverButton hoveredButton_ = HoverButton::None;
  std::unique_ptr<Win32Sampler> sampler_;
  std::unique_ptr<SettingsWindow> settingsWindow_;
  std::unique_ptr<AboutWindow> aboutWindow_;
  std::unique_ptr<CardUpdates> updates_;
  std::unique_ptr<TrayIcon> trayIcon_;
  UINT revealMessage_ = 0;
  UINT taskbarCreatedMessage_ = 0;
  const CardWords words_;
  const std::u16string datePictures_[2];  // without and with the year
  std::u16string date_;                   // the clock's date, formatted for `dateDay_`
  std::uint32_t dateDay_ = 0;
  CardView view_;
  SectionLayout sectionLayout_;
  CardPainter painter_;
};

}  // namespace lumetta
