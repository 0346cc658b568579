#include "card/card_menu.h"

#include "app/text_ids.h"

namespace lumetta {

std::vector<MenuItem> ContextMenuItems(const Settings& settings,
                                       const std::optional<UpdateInfo>& updateInfo,
                                       UpdateState updateState) {
  std::vector<MenuItem> items;
  if (updateInfo &&
      (updateState == UpdateState::Available || updateState == UpdateState::Required)) {
    items.push_back({kMenuUpdate, kTextMenuUpdateAvailable, updateInfo->latestVersion});
    items.push_back({kMenuSeparator, 0, {}});
  }
  items.push_back({kMenuAlwaysOnTop, kTextMenuAlwaysOnTop, {}, settings.alwaysOnTop});
  items.push_back({kMenuSnap, kTextMenuSnap, {}, settings.snapToEdges});
  items.push_back({kMenuMove, kTextMenuMove, {}});
  items.push_back({kMenuSettings, kTextMenuSettings, {}});
  items.push_back({kMenuAbout, kTextMenuAbout, {}});
  items.push_back({kMenuSeparator, 0, {}});
  items.push_back({kMenuExit, kTextMenuExit, {}});
  return items;
}

}  // namespace lumetta
