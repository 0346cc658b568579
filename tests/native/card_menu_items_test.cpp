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

TEST(ContextMenu, SixCommandsAndASeparatorWithoutAnUpdate) {
  Settings settings;
  settings.alwaysOnTop = false;
  const UpdateInfo info{u"1.0.0", u"https://a", u""};
  for (const UpdateState state :
       {UpdateState::None, UpdateState::Available, UpdateState::Required}) {
    // An update item needs both the info and a state that names an update.
    const auto items = ContextMenuItems(
        settings, state == UpdateState::None ? std::optional(info) : std::nullopt, state);
    EXPECT_EQ(Commands(items),
              (std::vector<MenuCommand>{kMenuAlwaysOnTop, kMenuSnap, kMenuMove, kMenuSettings,
                                        kMenuAbout, kMenuSeparator, kMenuExit}));
    EXPECT_FALSE(items[0].checked);
    EXPECT_TRUE(items[1].checked);
  }
}

TEST(ContextMenu, AnAvailableOrRequiredUpdateComesFirst) {
  const UpdateInfo info{u"1.0.0", u"https://a", u"0.9.1"};
  for (const UpdateState state : {UpdateState::Available, UpdateState::Required}) {
    const auto items = ContextMenuItems(Settings{}, info, state);
    ASSERT_EQ(items.size(), 9u);
    EXPECT_EQ(items[0].command, kMenuUpdate);
    EXPECT_EQ(items[0].textId, kTextMenuUpdateAvailable);
    EXPECT_EQ(items[0].argument, u"1.0.0");
    EXPECT_EQ(items[1].command, kMenuSeparator);
    EXPECT_TRUE(items[2].checked);  // always on top by default
  }
}

}  // namespace
}  // namespace lumetta
