#include "card/card_menu_items.h"

#include <gtest/gtest.h>

#include "app/text_ids.h"

namespace lumetta {
namespace {

std::vector<MenuCommand> Commands(const std::vector<MenuItem>& items) {
  std::vector<MenuCommand> commands;
  for (const MenuItem& item : items) {
    commands.push_back(item.command);
  }
  return commands;
}

// An update item, then a separator, only with both the info and a state that names an update.
TEST(ContextMenu, AnAvailableOrRequiredUpdateComesFirst) {
  Settings settings;
  settings.alwaysOnTop = false;
  const UpdateInfo info{u"1.0.0", u"https://a", u"0.9.1"};
  const std::vector<MenuCommand> plain = {
      kMenuAlwaysOnTop, kMenuSnap, kMenuMove, kMenuSettings, kMenuAbout, kMenuSeparator, kMenuExit};
  for (const UpdateState state :
       {UpdateState::None, UpdateState::Available, UpdateState::Required}) {
    for (const bool known : {false, true}) {
      const auto items =
          ContextMenuItems(settings, known ? std::optional(info) : std::nullopt, state);
      const bool update = known && state != UpdateState::None;
      std::vector<MenuCommand> expected = plain;
      if (update) {
        expected.insert(expected.begin(), {kMenuUpdate, kMenuSeparator});
        EXPECT_EQ(items[0].textId, kTextMenuUpdateAvailable);
        EXPECT_EQ(items[0].argument, u"1.0.0");
      }
      ASSERT_EQ(Commands(items), expected);
      EXPECT_FALSE(items[update ? 2 : 0].checked);
      EXPECT_TRUE(items[update ? 3 : 1].checked);
    }
  }
}

}  // namespace
}  // namespace lumetta
