// The card's context menu on the screen, also opened from the tray icon.
#pragma once

#include <windows.h>

#include <vector>

#include "card/card_menu.h"

namespace lumetta {

// Shows `items` at `point` for `owner` and returns the chosen command (kMenuSeparator when the
// menu was dismissed). The foreground goes back to where it was unless the command opens a
// window.
[[nodiscard]] MenuCommand TrackContextMenu(HWND owner, const std::vector<MenuItem>& items,
                                           POINT point);

}  // namespace lumetta
