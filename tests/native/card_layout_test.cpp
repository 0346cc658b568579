#include "card/card_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <tuple>
#include <vector>

#include "app/text_ids.h"
#include "card/card_menu.h"
#include "card/card_presence.h"
#include "card/card_settings.h"
#include "card/card_view.h"

namespace lumetta {
namespace {

TEST(CardLayout, EverySectionAndTheDiskAlert) {
  Settings s;  // the defaults: all but the year and Self
  s.showSelf = true;
  const auto heights = [](const SectionEntries& entries) {
    std::vector<float> all;
    std::ranges::transform(entries, std::back_inserter(all), &SectionEntry::height);
    return all;
  };
  EXPECT_EQ(heights(CardSections(s, UpdateState::None, std::nullopt)),
            (std::vector<float>{39, 100, 68, 63, 55, 46, 16}));
  // The additions: a line under the GPU and the disk, the battery only where there is one.
  Settings more = s;
  more.showGpuDetails = more.showDiskActivity = more.showBattery = more.showProcesses = true;
  EXPECT_EQ(heights(CardSections(more, UpdateState::None, std::nullopt, std::nullopt, false)),
            (std::vector<float>{39, 100, 82, 63, 55, 60, 132, 16}));
  EXPECT_EQ(heights(CardSections(more, UpdateState::None, std::nullopt, std::nullopt, true)),
            (std::vector<float>{39, 100, 82, 63, 55, 60, 34, 132, 16}));
  EXPECT_EQ(CardSections(s, UpdateState::None, 10.0f)[5].height, 46.0f);  // never below one line
  // A wrapped alert grows it.
  EXPECT_EQ(CardSections(s, UpdateState::None, 28.0f)[5].height, 60.0f);
  s.showHardwareDetails = false;  // no update line for 1
  EXPECT_EQ(CardSections(s, UpdateState::Available, std::nullopt)[1].height, 86.0f);
  s.showCoreBars = false;
  EXPECT_EQ(CardSections(s, UpdateState::None, std::nullopt)[1].height, 60.0f);  // 24 + 6 + 30
}

// Left and top edges belong to a button, right and bottom ones do not; the update line takes
// clicks 4 DIPs above and below it (it spans 12 to 28), and there is none without an update.
TEST(CardLayout, ButtonsAndTheUpdateLineAreHitUpToTheirEdges) {
  EXPECT_EQ(
      std::vector<HoverButton>({ButtonAt({147, 5}), ButtonAt({165, 10}), ButtonAt({184.9f, 22.9f}),
                                ButtonAt({170, 23}), ButtonAt({146.9f, 10})}),
      std::vector<HoverButton>({HoverButton::Settings, HoverButton::None, HoverButton::Pin,
                                HoverButton::None, HoverButton::None}));
  const SectionLayout layout =
      StackSections(CardSections(Settings{}, UpdateState::Required, std::nullopt));
  EXPECT_EQ(std::vector<bool>({OnUpdateLine(layout, 8), OnUpdateLine(layout, 7.9f),
                               OnUpdateLine(layout, 31.9f), OnUpdateLine(layout, 32)}),
            std::vector<bool>({true, false, true, false}));
  EXPECT_FALSE(
      OnUpdateLine(StackSections(CardSections(Settings{}, UpdateState::None, std::nullopt)), 20));
}

TEST(CardFormats, BytesRatesAndPercents) {
  const struct {
    double value;
    std::u16string_view full;
    std::u16string_view compact;
  } cases[] = {{0, u"0 B", u"0B"},
               {-5, u"0 B", u"0B"},
               {-0.0, u"0 B", u"0B"},  // never "-0"
               {640, u"640 B", u"640B"},
               {999, u"999 B", u"999B"},
               {1000, u"1.0 KB", u"1.0K"},
               {1023, u"1.0 KB", u"1.0K"},
               {10240, u"10.0 KB", u"10K"},
               {100.5 * 1024, u"101 KB", u"101K"},  // three digits: no decimal
               {536870912, u"512 MB", u"512M"},
               {8.2 * 1073741824.0, u"8.2 GB", u"8.2G"},
               {17179869184.0, u"16.0 GB", u"16G"},
               {549755813888.0, u"512 GB", u"512G"},
               {1e20, u"88818 PB", u"88818P"}};
  for (const auto& c : cases) {
    EXPECT_EQ(FormatBytes(c.value), c.full) << c.value;
    EXPECT_EQ(FormatBytesCompact(c.value), c.compact) << c.value;
  }
  // 999.6 B/s is rounded to whole bytes first.
  using Texts = std::vector<std::u16string>;
  EXPECT_EQ(
      (Texts{FormatRate(0), FormatRate(1.5 * 1048576), FormatRate(120 * 1024),
             FormatRate(std::numeric_limits<double>::quiet_NaN()),
             FormatRate(std::numeric_limits<double>::infinity()), FormatRate(-3), FormatRate(999.6),
             FormatPercent(0.37, 0), FormatPercent(0.004, 1), FormatPercent(0.9, 0)}),
      (Texts{u"0 B/s", u"1.5 MB/s", u"120 KB/s", u"0 B/s", u"0 B/s", u"0 B/s", u"1.0 KB/s", u"37%",
             u"0.4%", u"90%"}));
  // In bits, steps of 1000; a figure that would print as 1000 moves to the next unit.
  EXPECT_EQ((Texts{FormatRate(124.8, true), FormatRate(124.95, true), FormatRate(12'487.5, true),
                   FormatRate(124'937.5, true), FormatRate(1.5e9, true),
                   FormatRate(std::numeric_limits<double>::quiet_NaN(), true)}),
            (Texts{u"998 b/s", u"1.0 kb/s", u"99.9 kb/s", u"1.0 Mb/s", u"12.0 Gb/s", u"0 b/s"}));
}

TEST(CardFormats, DiskAlertLevel) {
  using enum DiskAlert;  // 0.4 of 0.5: ten points below, exactly
  EXPECT_EQ((std::vector<DiskAlert>{DiskAlertLevel(0.85, 0.9), DiskAlertLevel(0.92, 0.9),
                                    DiskAlertLevel(0.9, 0.9), DiskAlertLevel(0.79, 0.9),
                                    DiskAlertLevel(0.4, 0.5), DiskAlertLevel(0.0, 0.5)}),
            (std::vector<DiskAlert>{Near, Over, Over, None, Near, None}));
  EXPECT_EQ(std::pair(UsedFraction(5, 0), UsedFraction(1, 4)), std::pair(0.0, 0.25));
  EXPECT_EQ((std::vector{FreeBytes(10, 4), FreeBytes(1, 4)}), (std::vector<std::uint64_t>{0, 3}));
  EXPECT_EQ(JoinNames(u"", u"RTX 4070") + u"|" + JoinNames(u"AMD", u""), u"RTX 4070|AMD");
}

// Locked or with the display off the card pauses; only an unlock or the display's return
// resumes it. Unpinned, it rises only while the desktop is in front or a reveal lasts.
TEST(CardPresence, PausesAndRaises) {
  CardPresence p;
  // Unlocked, the display is still off; 0 again and 5 (no lock) change nothing; dimmed (2) is on.
  EXPECT_EQ(
      (std::vector{p.OnSessionChange(kSessionLock), p.OnDisplayState(0),
                   p.OnSessionChange(kSessionUnlock), p.Paused(), p.OnDisplayState(0),
                   p.OnSessionChange(5), p.OnDisplayState(2), p.Paused(), p.OnDisplayState(1)}),
      (std::vector{false, false, true, true, false, false, true, false, false}));
  EXPECT_EQ(std::vector<bool>({p.Topmost(true), p.Topmost(false)}),
            std::vector<bool>({true, false}));
  p.revealActive = true;
  EXPECT_TRUE(p.Topmost(false));
  p.revealActive = false;
  p.desktopInForeground = true;
  EXPECT_TRUE(p.Topmost(false));
}

// A record from the dialog changes everything but the card's own pin and place; the interval,
// the clock, snapping turned on and the scale each need more than a repaint.
TEST(CardSettings, TheDialogsRecordKeepsPinAndPlace) {
  Settings current;
  current.alwaysOnTop = current.snapToEdges = false;
  current.hasWindowPosition = true;
  current.windowX = 5;
  current.windowY = 6;
  const auto merge = [&](void (*edit)(Settings&)) {
    Settings next = current;
    next.alwaysOnTop = true;
    next.hasWindowPosition = false;
    next.windowX = next.windowY = 0;
    edit(next);
    const CardSettingsChange c = MergeCardSettings(current, next);
    EXPECT_EQ(std::tuple(c.merged.alwaysOnTop, c.merged.hasWindowPosition, c.merged.windowX,
                         c.merged.windowY),
              std::tuple(false, true, 5, 6));
    return std::vector<bool>{c.timersChanged, c.snapTurnedOn, c.scaleChanged, c.merged.showCpu};
  };
  using Flags = std::vector<bool>;
  EXPECT_EQ(merge([](Settings& s) { s.showCpu = false; }), (Flags{false, false, false, false}));
  EXPECT_EQ(merge([](Settings& s) { s.updateIntervalSeconds = 2; }),
            (Flags{true, false, false, true}));
  EXPECT_EQ(merge([](Settings& s) { s.showClock = false; }), (Flags{true, false, false, true}));
  EXPECT_EQ(merge([](Settings& s) { s.snapToEdges = true; }), (Flags{false, true, false, true}));
  EXPECT_EQ(merge([](Settings& s) { s.displayScale = 1.5; }), (Flags{false, false, true, true}));
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
      std::vector<MenuCommand> commands;
      std::ranges::transform(items, std::back_inserter(commands), &MenuItem::command);
      ASSERT_EQ(commands, expected);
      EXPECT_EQ(std::pair(items[update ? 2 : 0].checked, items[update ? 3 : 1].checked),
                std::pair(false, true));
    }
  }
}

}  // namespace
}  // namespace lumetta
