#include "dialogs/about_window.h"

#include <gtest/gtest.h>

#include "support/test_window.h"

namespace lumetta {
namespace {

using Microsoft::WRL::ComPtr;

class AboutDialog : public testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, d2d_.GetAddressOf());
    DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                        reinterpret_cast<IUnknown**>(dwrite_.GetAddressOf()));
  }
  static void Pump() {
    for (int i = 0; i < 20; ++i) {
      test::TestWindow::Pump();
      Sleep(10);
    }
  }
  ComPtr<ID2D1Factory> d2d_;
  ComPtr<IDWriteFactory> dwrite_;
};

TEST_F(AboutDialog, OpensOnceClosesOnEscapeAndOpensAgain) {
  AboutWindow about(d2d_.Get(), dwrite_.Get());
  about.Show(nullptr);
  Pump();
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
  Pump();
  EXPECT_EQ(about.hwnd(), first);  // the same window, restored
  EXPECT_FALSE(IsIconic(first));

  SendMessageW(first, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(about.hwnd(), nullptr);
  EXPECT_FALSE(IsWindow(first));
  about.Show(nullptr);
  Pump();
  EXPECT_NE(about.hwnd(), nullptr);
  EXPECT_TRUE(IsWindowVisible(about.hwnd()));
}

}  // namespace
}  // namespace lumetta
