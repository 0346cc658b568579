#include "dialogs/settings_window.h"

#include <gtest/gtest.h>

#include "support/factories.h"
#include "support/scripted_look.h"
#include "support/test_window.h"

namespace lumetta {
namespace {

class SettingsDialog : public testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    dialog_ = std::make_unique<SettingsWindow>(factories_.d2d.Get(), factories_.dwrite.Get(),
                                               [this](const Settings& s) {
                                                 ++changes_;
                                                 last_ = s;
                                               });
    dialog_->Open(nullptr, Settings{});
    test::TestWindow::PumpFor();
  }
  void Send(UINT message, WPARAM wParam, int x, int y) const {
    SendMessageW(dialog_->hwnd(), message, wParam, MAKELPARAM(x, y));
  }
  // Scrolled to the end, the first y (in client pixels, upward from `from`) where a press
  // changes what `changed` looks at; -1 when none does.
  template <typename Changed>
  int FindRow(int x, int from, Changed&& changed) {
    SendMessageW(dialog_->hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120 * 30)), 0);
    for (int y = from; y > 0; y -= 4) {
      const Settings before = last_;
      Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
      const bool hit = changes_ > 0 && changed(before, last_);
      SendMessageW(dialog_->hwnd(), WM_CANCELMODE, 0, 0);
      if (hit) {
        return y;
      }
    }
    return -1;
  }

  test::Factories factories_;
  std::unique_ptr<SettingsWindow> dialog_;
  int changes_ = 0;
  Settings last_;
};

// Run alone by tools/on-small-screen: 144 DPI on a 1280 × 720 screen, where the dialog's 660
// DIPs cannot fit. It shrinks to the work area and its list scrolls to the last row.
TEST_F(SettingsDialog, SmallScreenAt144DpiFitsTheWorkAreaAndScrolls) {
  ASSERT_EQ(GetDpiForSystem(), 144u);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(dialog_->hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  ASSERT_LT(monitor.rcWork.bottom - monitor.rcWork.top, 990);
  RECT window{};
  GetWindowRect(dialog_->hwnd(), &window);
  EXPECT_GE(window.top, monitor.rcWork.top);
  EXPECT_LE(window.bottom, monitor.rcWork.bottom);
  RECT client{};
  GetClientRect(dialog_->hwnd(), &client);
  EXPECT_EQ(client.right, 600);
  // "Measure every" is the last row but the hint: scrolled to the end, it can be clicked.
  const int y = FindRow(500, client.bottom - 4, [](const Settings& before, const Settings& after) {
    return after.updateIntervalSeconds != before.updateIntervalSeconds;
  });
  EXPECT_GT(y, client.bottom / 2) << "the last choice is not reachable";
}

// High contrast: the theme's colours, opaque, and a switch followed at once. Wine cannot turn
// a high-contrast theme on, so the system's answer is scripted.
// The scripted scheme's colours as the screen shows them (0xRRGGBB).
constexpr std::uint32_t kWindow = 0x000000, kHighlight = 0x1AFFFF;

TEST(HighContrast, TheSettingsWindowFollowsASwitchAtOnce) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  test::Factories factories;
  test::ScriptedColorScheme scheme;
  const test::ScopedColorScheme scoped(scheme);
  SettingsWindow dialog(factories.d2d.Get(), factories.dwrite.Get(), nullptr);
  dialog.Open(nullptr, Settings{});
  const auto grab = [&] {
    test::TestWindow::PumpFor();
    return test::GrabSettled(dialog.hwnd());
  };
  test::Capture shot = grab();
  EXPECT_EQ(shot.at(2, 2), kWindow);
  EXPECT_GT(shot.count(kHighlight), 100);  // the switches that are on
  const int opaque = shot.count(kWindow);
  EXPECT_GT(opaque, shot.width() * shot.height() / 2);

  scheme.on = false;
  SendMessageW(dialog.hwnd(), WM_SYSCOLORCHANGE, 0, 0);
  shot = grab();
  EXPECT_NE(shot.at(2, 2), kWindow);
  EXPECT_EQ(shot.count(kHighlight), 0);

  scheme.on = true;
  SendMessageW(dialog.hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  shot = grab();
  EXPECT_EQ(shot.at(2, 2), kWindow);
  EXPECT_EQ(shot.count(kWindow), opaque);
}

}  // namespace
}  // namespace lumetta
