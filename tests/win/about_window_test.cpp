#include "dialogs/about_window.h"

#include <gtest/gtest.h>

#include "support/factories.h"
#include "support/test_window.h"

namespace lumetta {
namespace {

class AboutDialog : public testing::Test {
 protected:
  void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  test::Factories factories_;
};

TEST_F(AboutDialog, OpensOnceClosesOnEscapeAndOpensAgain) {
  AboutWindow about(factories_.d2d.Get(), factories_.dwrite.Get());
  about.Show(nullptr);
  test::TestWindow::PumpFor(200);
  HWND first = about.hwnd();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(FindWindowW(L"LumettaAboutWindow", nullptr), first);
  RECT client{};
  GetClientRect(first, &client);
  EXPECT_EQ(client.right, 400);  // 96 DPI
  EXPECT_EQ(client.bottom, 420);
  EXPECT_GT(about.linkRect().right, about.linkRect().left);  // painted: the link has a place

  ShowWindow(first, SW_MINIMIZE);
  about.Show(nullptr);
  test::TestWindow::PumpFor(200);
  EXPECT_EQ(about.hwnd(), first);  // the same window, restored
  EXPECT_FALSE(IsIconic(first));

  // Enter opens the maker's site (or logs that it could not); the dialog stays.
  SendMessageW(first, WM_KEYDOWN, VK_RETURN, 0);
  test::TestWindow::PumpFor(200);
  EXPECT_TRUE(IsWindow(first));
  SendMessageW(first, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(about.hwnd(), nullptr);
  EXPECT_FALSE(IsWindow(first));
  about.Show(nullptr);
  test::TestWindow::PumpFor(200);
  EXPECT_NE(about.hwnd(), nullptr);
  EXPECT_TRUE(IsWindowVisible(about.hwnd()));
}

}  // namespace
}  // namespace lumetta
