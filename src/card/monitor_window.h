// The card: the program's one top-level window.
#pragma once

#include <windows.h>

#include <string>

#include "settings/settings.h"

struct ID2D1Factory;
struct IDWriteFactory;

namespace lumetta {

inline constexpr wchar_t kMonitorWindowClass[] = L"LumettaMonitorWindow";
inline constexpr wchar_t kRevealMessageName[] = L"com.norvale.lumettawin.reveal";

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

  void Reveal();

 private:
  static LRESULT CALLBACK WindowProcThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
  LRESULT OnPaint();
  LRESULT OnDestroy();

  ID2D1Factory* d2dFactory_;
  IDWriteFactory* dwriteFactory_;
  const std::wstring* settingsPath_;
  Settings settings_;
  HWND hwnd_ = nullptr;
  UINT revealMessage_ = 0;
};

}  // namespace lumetta
