#include "card/tray_icon.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include "support/test_window.h"

namespace lumetta {
namespace {

bool IconExists(HWND owner) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = 1;
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// "TaskbarCreated" while the shell still holds the icon: one icon remains, removed at exit.
TEST(TrayIcon, ReaddingAHeldIconKeepsExactlyOneAndRemovesIt) {
  test::TestWindow window(900, 20, 10, 10);
  TrayIcon tray;
  tray.Init(window.hwnd(), WM_APP + 3);
  ASSERT_TRUE(tray.added()) << "no notification area under this Wine";
  tray.Readd();
  EXPECT_TRUE(tray.added());
  tray.Remove();
  EXPECT_FALSE(IconExists(window.hwnd()));
}

}  // namespace
}  // namespace lumetta
