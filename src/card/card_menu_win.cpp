#include "card/card_menu_win.h"

#include "app/log.h"
#include "app/strings.h"
#include "base/owner_win.h"
#include "base/wide.h"
#include "base/win_error.h"

namespace lumetta {

MenuCommand TrackContextMenu(HWND owner, const std::vector<MenuItem>& items, POINT point) {
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) {
    LogEvent(kError, "window", "menu_failed", CodeDetail(LastErrorCode()));
    return kMenuSeparator;
  }
  for (const MenuItem& item : items) {
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
  SetForegroundWindow(owner);
  const auto chosen = static_cast<MenuCommand>(TrackPopupMenu(
      menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);

  // Commands that open a window keep the foreground for it; a move takes the keyboard.
  if (chosen != kMenuUpdate && chosen != kMenuSettings && chosen != kMenuAbout &&
      chosen != kMenuMove && previous != nullptr && previous != owner && IsWindow(previous)) {
    SetForegroundWindow(previous);
  }
  return chosen;
}

}  // namespace lumetta
