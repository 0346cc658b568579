// What the card's context menu offers, in order, for the current state.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "update/update_info.h"

namespace lumetta {

enum MenuCommand : std::uint32_t {
  kMenuSeparator = 0,
  kMenuUpdate = 1,
  kMenuAlwaysOnTop = 2,
  kMenuSnap = 3,
  kMenuSettings = 4,
  kMenuAbout = 5,
  kMenuExit = 6,
  kMenuMove = 7,  // the card moved with the arrow keys: the mouse's drag, by keyboard
};

struct MenuItem {
  MenuCommand command;
  std::uint32_t textId;     // 0 for a separator
  std::u16string argument;  // fills "{0}" of the text
  bool checked = false;
};

[[nodiscard]] std::vector<MenuItem> ContextMenuItems(const Settings& settings,
                                                     const std::optional<UpdateInfo>& updateInfo,
                                                     UpdateState updateState);

}  // namespace lumetta
