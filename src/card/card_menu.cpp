// The card's context menu, also opened from the tray icon.
#include "app/log.h"
#include "app/strings.h"
#include "app/text_ids.h"
#include "base/wide.h"
#include "base/win_error.h"
#include "card/card_menu_items.h"
#include "card/monitor_window.h"
#include "dialogs/about_window.h"
#include "dialogs/settings_window.h"

namespace lumetta {

void MonitorWindow::ShowContextMenu(POINT screenPoint) {
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) {
    LogEvent(kError, "window", "menu_failed", CodeDetail(LastErrorCode()));
    return;
  }
  for (const MenuItem& item : ContextMenuItems(settings_, update_.info(), update_.state())) {
    if (item.command == kMenuSeparator) {
      AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const std::u16string text = FormatText(item.textId, {item.argument});
    AppendMenuW(menu.get(), item.checked ? MF_STRING | MF_CHECKED : MF_STRING, item.command,
                AsWide(text.c_str()));
  }

  // A menu of a window that is not in the foreground does not close when the user clicks
  // elsewhere; the posted WM_NULL lets the menu loop notice that it has ended.
  HWND previous = GetForegroundWindow();
  SetForegroundWindow(hwnd());
  const auto chosen =
      static_cast<UINT>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screenPoint.x,
                                       screenPoint.y, 0, hwnd(), nullptr));
  PostMessageW(hwnd(), WM_NULL, 0, 0);
  menu.reset();

  // Commands that open a window keep the foreground for it.
  if (chosen != kMenuUpdate && chosen != kMenuSettings && chosen != kMenuAbout &&
      previous != nullptr && previous != hwnd() && IsWindow(previous)) {
    SetForegroundWindow(previous);
  }
  switch (chosen) {
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
      OpenUpdatePage();
      break;
    case kMenuAbout:
      if (aboutWindow_) {
        aboutWindow_->Show(hwnd());
      }
      break;
    case kMenuExit:
      DestroyWindow(hwnd());
      break;
    default:
      break;
  }
}

}  // namespace lumetta
