// The card's context menu, also opened from the tray icon.
#include "app/log.h"
#include "app/strings.h"
#include "app/text_ids.h"
#include "base/wide.h"
#include "card/monitor_window.h"

namespace lumetta {
namespace {

enum MenuCommand : UINT {
  kMenuUpdate = 1,
  kMenuAlwaysOnTop = 2,
  kMenuSnap = 3,
  kMenuSettings = 4,
  kMenuAbout = 5,
  kMenuExit = 6,
};

void Append(HMENU menu, UINT id, std::uint32_t textId, bool checked = false) {
  const std::u16string text = LoadText(textId);
  const UINT flags = checked ? MF_STRING | MF_CHECKED : MF_STRING;
  AppendMenuW(menu, flags, id, AsWide(text.c_str()));
}

}  // namespace

void MonitorWindow::ShowContextMenu(POINT screenPoint) {
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) {
    LogEvent(kError, "window", "menu_failed",
             "code=" + FormatCode(static_cast<std::uint32_t>(GetLastError())));
    return;
  }
  if (updateInfo_ && (updateState_ == kUpdateAvailable || updateState_ == kUpdateRequired)) {
    const std::u16string text = FormatText(kTextMenuUpdateAvailable, {updateInfo_->latestVersion});
    AppendMenuW(menu, MF_STRING, kMenuUpdate, AsWide(text.c_str()));
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  }
  Append(menu, kMenuAlwaysOnTop, kTextMenuAlwaysOnTop, settings_.alwaysOnTop);
  Append(menu, kMenuSnap, kTextMenuSnap, settings_.snapToEdges);
  Append(menu, kMenuSettings, kTextMenuSettings);
  Append(menu, kMenuAbout, kTextMenuAbout);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  Append(menu, kMenuExit, kTextMenuExit);

  // A menu of a window that is not in the foreground does not close when the user clicks
  // elsewhere; the posted WM_NULL lets the menu loop notice that it has ended.
  HWND previous = GetForegroundWindow();
  SetForegroundWindow(hwnd_);
  const auto chosen = static_cast<UINT>(TrackPopupMenu(
      menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, 0, hwnd_, nullptr));
  PostMessageW(hwnd_, WM_NULL, 0, 0);
  DestroyMenu(menu);

  // Commands that open a window keep the foreground for it.
  if (chosen != kMenuUpdate && chosen != kMenuSettings && chosen != kMenuAbout &&
      previous != nullptr && previous != hwnd_ && IsWindow(previous)) {
    SetForegroundWindow(previous);
  }
  switch (chosen) {
    case kMenuAlwaysOnTop:
      ToggleAlwaysOnTop();
      break;
    case kMenuSnap: {
      Settings next = settings_;
      next.snapToEdges = !next.snapToEdges;
      ApplySettings(next);
      break;
    }
    case kMenuUpdate:
      OpenUpdatePage();
      break;
    case kMenuExit:
      DestroyWindow(hwnd_);
      break;
    default:
      break;
  }
}

}  // namespace lumetta
