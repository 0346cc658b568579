#include "dialogs/settings_panel.h"

#include <gtest/gtest.h>

#include "support/rc_texts.h"

namespace lumetta {
namespace {

constexpr std::uint32_t kTab = 0x09, kSpace = 0x20, kPageUp = 0x21, kPageDown = 0x22, kLeft = 0x25,
                        kRight = 0x27, kDown = 0x28;

class Panel : public testing::Test {
 protected:
  Panel()
      : panel_({[this](const Settings& s) {
                  ++changes_;
                  last_ = s;
                },
                [this](bool enable) {
                  loginCalls_.push_back(enable);
                  return enable ? LoginItemState::On : LoginItemState::Off;
                },
                [this] { ++startupAppsOpened_; }}) {
    Build();
  }
  void Build() {
    // Notices take two lines; labels one, but for those a test makes longer.
    panel_.BuildRows([this](std::uint32_t id, TextStyle style, float) {
      return id == longLabel_ ? 40.0f : style == TextStyle::Body ? 30.0f : 14.0f;
    });
  }
  const SettingsRow& Row(std::uint32_t id) const {
    const auto row = std::ranges::find(panel_.rows, id, &SettingsRow::id);
    return row != panel_.rows.end() ? *row : throw std::logic_error("no such row");
  }
  // The middle of a row on screen.
  float Middle(std::uint32_t id) const {
    return Row(id).y - panel_.scrollOffset + Row(id).height / 2;
  }

  int changes_ = 0;
  Settings last_;
  std::vector<bool> loginCalls_;
  int startupAppsOpened_ = 0;
  std::uint32_t longLabel_ = 0;
  SettingsPanel panel_;
};

TEST_F(Panel, RowsHeightsAndConditionalRows) {
  EXPECT_EQ(Row(kControlClock).y, 40.0f);      // 4 + a header of 36, no gap after it
  EXPECT_EQ(Row(kControlClockYear).y, 84.0f);  // + 42 + 2
  EXPECT_TRUE(Row(kControlClockYear).indented);
  const float plain = panel_.contentHeight;
  EXPECT_EQ(plain, 1254.0f);  // the whole list, for the scroll bar
  panel_.saveFailed = true;
  panel_.loginState = LoginItemState::DisabledInWindows;
  Build();
  EXPECT_EQ(std::pair(panel_.rows.front().kind, panel_.rows.front().textId),
            std::pair(RowKind::Notice, std::uint32_t{kTextSettingsSaveFailed}));
  panel_.noDataFolder = true;  // no log to point to either
  Build();
  EXPECT_EQ(panel_.rows.front().textId, kTextSettingsNoDataFolder);
  EXPECT_EQ(Row(kControlClock).y, 40.0f + 46 + 2);  // moved down by the notice
  EXPECT_EQ(Row(kControlStartupApps).kind, RowKind::Link);
  EXPECT_EQ(panel_.contentHeight, plain + (46 + 2) * 2 + 44 + 2);
}

// What each row says, in order, and which switches dim which rows below them.
TEST_F(Panel, EachRowsTextAndTheSwitchesItHangsOn) {
  std::u16string names;
  const A11yTree tree = panel_.AccessibilityTree(test::RcTexts("en"));
  for (std::uint32_t id = tree.FirstChild(0); id != 0; id = tree.NextSibling(id)) {
    names += tree.Find(id)->name + u"|";
  }
  EXPECT_TRUE(names.starts_with(
      u"Show|Clock|Show year|CPU|Per-core bars|GPU|GPU temperature and memory|CPU/GPU vendor, "
      u"model and clock|Memory|Network|Wi-Fi network name (SSID)|Network rates in bits|Disk|Disk "
      u"activity|Battery|Busiest processes|Lumetta's own load|General|Start when Windows starts|"
      u"Window|Snap to screen edges|Display scale (or Ctrl + mouse wheel on the card)|Disk "
      u"alert|Warn when disk usage is above|Update interval|Measure every|Longer intervals use "
      u"less power."))
      << std::string(names.begin(), names.end());
  EXPECT_EQ(std::count(names.begin(), names.end(), u'|'), 27);  // the hint is the last row
  const struct {
    bool Settings::*off;
    std::vector<std::uint32_t> dimmed;
  } cases[] = {{&Settings::showClock, {kControlClockYear}},
               {&Settings::showCpu, {kControlCoreBars}},  // details still name the GPU
               {&Settings::showGpu, {kControlGpuDetails}},
               {&Settings::showNetwork, {kControlSsid, kControlNetworkBits}},
               {&Settings::showDisk, {kControlDiskActivity}},
               {&Settings::showMemory, {}}};
  for (const auto& c : cases) {
    panel_.settings = Settings{};
    panel_.settings.*c.off = false;
    Build();
    std::vector<std::uint32_t> dimmed;
    for (const SettingsRow& row : panel_.rows) {
      dimmed.insert(dimmed.end(), row.enabled ? 0u : 1u, row.id);
    }
    EXPECT_EQ(dimmed, c.dimmed);
  }
  panel_.settings.showCpu = panel_.settings.showGpu = false;
  Build();
  EXPECT_FALSE(Row(kControlHardwareDetails).enabled);
}

TEST_F(Panel, TabFocusSkipsDisabledRowsAndWraps) {
  EXPECT_EQ(panel_.KeyDown(kTab, false), true);
  EXPECT_EQ(panel_.focusedId, kControlClock);
  EXPECT_TRUE(panel_.focusVisible);
  panel_.OnCreated();  // opened again: no focus ring until a key is pressed
  EXPECT_FALSE(panel_.focusVisible);
  const auto focus = [&](std::uint32_t key, bool shift = false) {
    return panel_.KeyDown(key, shift), panel_.focusedId;
  };
  EXPECT_EQ(focus(kTab, true), kControlInterval);  // Shift+Tab from nothing: the last row

  panel_.settings.showClock = false;
  Build();
  panel_.focusedId = kControlClock;
  EXPECT_EQ((std::vector{focus(kTab), focus(kDown)}),  // "Show year" is dimmed and skipped
            (std::vector<std::uint32_t>{kControlCpu, kControlCoreBars}));
  panel_.focusedId = kControlCpu;
  panel_.KeyDown(kSpace, false);
  EXPECT_FALSE(last_.showCpu);
  EXPECT_FALSE(panel_.KeyDown(0x41, false).has_value());  // not the panel's key
}

TEST_F(Panel, SteppingChoicesAndTheSlider) {
  const auto key = [&](std::uint32_t code) { return panel_.KeyDown(code, false), panel_.settings; };
  panel_.focusedId = kControlInterval;
  panel_.settings.updateIntervalSeconds = 0.5;
  EXPECT_EQ(key(kLeft).updateIntervalSeconds, 0.5);
  panel_.settings.updateIntervalSeconds = 5;
  EXPECT_EQ(key(kRight).updateIntervalSeconds, 5.0);
  panel_.settings.updateIntervalSeconds = 3;
  EXPECT_FALSE(panel_.SelectedOption(kControlInterval).has_value());
  EXPECT_EQ(key(kRight).updateIntervalSeconds, 1.0);
  panel_.focusedId = kControlDiskAlert;
  panel_.settings.diskAlertThreshold = 0.95;
  EXPECT_EQ((std::vector{key(kRight).diskAlertThreshold, key(kLeft).diskAlertThreshold}),
            (std::vector{0.95, 0.9}));
}

TEST_F(Panel, SliderDragClampsAndCallsBackOnlyOnChange) {
  panel_.viewHeight = 2000;  // everything in view
  const float y = Row(kControlDiskAlert).y + 46;
  panel_.MouseDown(0, y);  // left of the rows: nothing
  EXPECT_FALSE(panel_.draggingSlider);
  panel_.MouseDown(20, y);
  EXPECT_TRUE(panel_.draggingSlider);
  EXPECT_EQ(panel_.settings.diskAlertThreshold, 0.5);
  const int before = changes_;
  panel_.MouseMove(-300, y);  // past the left end: still 50 %
  EXPECT_EQ(changes_, before);
  const auto drag = [&](float x) {
    return panel_.MouseMove(x, y), panel_.settings.diskAlertThreshold;
  };
  // The middle of the track (72.5 % to the step), then past the right end.
  EXPECT_EQ((std::vector{drag(200), drag(9999)}), (std::vector{0.75, 0.95}));
  EXPECT_TRUE(panel_.MouseUp(9999, y));  // the knob is drawn at rest again
  EXPECT_FALSE(panel_.draggingSlider);
  EXPECT_EQ(last_.diskAlertThreshold, 0.95);
}

TEST_F(Panel, ScrollingStopsAtBothEnds) {
  panel_.viewHeight = 100;  // "Show year" (84 to 126) is cut off: focused, it comes into view
  panel_.focusedId = kControlClock;
  panel_.KeyDown(kTab, false);
  EXPECT_EQ(panel_.scrollOffset, 126.0f + 16 - 100);  // with a margin of 16
  panel_.viewHeight = 300;
  panel_.scrollOffset = 0;
  EXPECT_EQ(panel_.KeyDown(kPageDown, false), true);
  EXPECT_EQ(panel_.scrollOffset, 240.0f);  // four fifths of the view
  EXPECT_EQ(panel_.KeyDown(kPageUp, false), true);
  EXPECT_EQ(panel_.scrollOffset, 0.0f);
  const auto wheel = [&](float notches) { return panel_.Wheel(notches), panel_.scrollOffset; };
  EXPECT_EQ((std::vector{wheel(-100), wheel(100), wheel(-1)}),
            (std::vector{panel_.contentHeight - 300, 0.0f, 48.0f}));  // the last a notch
  panel_.viewHeight = 5000;
  EXPECT_EQ(wheel(-1), 0.0f);
  panel_.viewHeight = 300;
  panel_.focusedId = 0;
  panel_.KeyDown(kTab, true);  // the last row comes into view
  EXPECT_GT(panel_.scrollOffset, 0.0f);
  EXPECT_LE(Row(kControlInterval).y + Row(kControlInterval).height, panel_.scrollOffset + 300);
}

TEST(ScrollThumb, SizeAndPlace) {
  EXPECT_FALSE(ComputeScrollThumb(600, 660, 0).has_value());  // everything fits
  const ScrollThumb top = *ComputeScrollThumb(1304, 652, 0);
  EXPECT_EQ(top.height, 322.0f);  // 652 × 644 / 1304
  EXPECT_EQ(top.top, 4.0f);
  const ScrollThumb bottom = *ComputeScrollThumb(1304, 652, 652);
  EXPECT_EQ(bottom.top + bottom.height, 652.0f - 4);
  EXPECT_EQ(ComputeScrollThumb(100000, 660, 0)->height, 24.0f);  // never thinner than 24
}

TEST_F(Panel, ChoosingASegment) {
  panel_.viewHeight = 2000;
  const SettingsRow& scale = Row(kControlScale);
  const float segment = (400.0f - 56) / 7;
  const auto press = [&](float x, float y) { return panel_.MouseDown(x, y), last_.displayScale; };
  // The fifth option (150 %), the last, above the segments (nothing), the first.
  EXPECT_EQ((std::vector{press(28 + segment * 4 + 1, scale.y + 40), press(371.9f, scale.y + 40),
                         press(30, scale.y + 31.5f), press(30, scale.y + 32)}),
            (std::vector{1.5, 2.0, 2.0, 0.75}));
  // A label on two lines (40 where its box holds 24) grows its row and moves what lies below.
  const float next = Row(kControlDiskAlert).y;
  longLabel_ = kTextSettingsScale;
  Build();
  const SettingsRow& grown = Row(kControlScale);
  EXPECT_EQ(std::pair(grown.height, Row(kControlDiskAlert).y), std::pair(70.0f + 16, next + 16));
  // Now the label's second line, then the segment below it.
  EXPECT_EQ((std::vector{press(371.9f, grown.y + 40), press(371.9f, grown.y + 16 + 40)}),
            (std::vector{0.75, 2.0}));
  EXPECT_EQ(SettingsPanel::OptionBox(grown, 0, 0, 7).top, 16.0f + 34);

  panel_.MouseMove(30, Middle(kControlClock));
  EXPECT_EQ(panel_.hoveredId, kControlClock);
  EXPECT_TRUE(panel_.MouseLeave());
  EXPECT_FALSE(panel_.MouseLeave());
}

TEST_F(Panel, AScreenReaderFindsEveryRowWithItsRoleAndState) {
  panel_.settings.showClock = false;
  panel_.settings.displayScale = 1.25;
  Build();
  panel_.viewHeight = 300;
  panel_.KeyDown(kTab, false);
  const A11yTree tree = panel_.AccessibilityTree(test::RcTexts("en"));
  const A11yNode* header = tree.Find(kTextSettingsShow);
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(std::pair(header->role, header->name),
            std::pair(A11yRole::Text, std::u16string(u"Show")));
  const A11yNode& clock = *tree.Find(kControlClock);
  EXPECT_EQ(std::pair(clock.role, clock.toggled),
            std::pair(A11yRole::CheckBox, std::optional(false)));
  EXPECT_EQ(clock.bounds, (RectF{16, 40, 384, 82}));
  EXPECT_TRUE(clock.focusable && !clock.offscreen);
  const A11yNode& year = *tree.Find(kControlClockYear);
  EXPECT_EQ(std::tuple(year.enabled, year.focusable, tree.focused),
            std::tuple(false, false, kControlClock));

  const A11yNode& scale = *tree.Find(kControlScale);
  EXPECT_EQ(scale.role, A11yRole::List);
  EXPECT_TRUE(scale.offscreen);  // below the 300 DIPs in view
  EXPECT_EQ(tree.Selection(kControlScale),
            std::vector<std::uint32_t>{OptionElement(kControlScale, 3)});
  const A11yNode& option = *tree.Find(OptionElement(kControlScale, 3));
  EXPECT_EQ(std::tuple(option.name, option.parent, option.offscreen),
            std::tuple(std::u16string(u"125%"), kControlScale, true));
  EXPECT_EQ(tree.Find(OptionElement(kControlInterval, 0))->name, u"0.5 s");
  const A11yNode& slider = *tree.Find(kControlDiskAlert);
  EXPECT_EQ(std::tuple(slider.role, slider.range, slider.value),
            std::tuple(A11yRole::Slider, std::optional(A11yRange{90, 50, 95, 5}),
                       std::u16string(u"90%")));

  const A11yTree ja = panel_.AccessibilityTree(test::RcTexts("ja"));
  EXPECT_EQ(ja.Find(kControlClock)->name, u"時計");
  EXPECT_EQ(ja.Find(OptionElement(kControlInterval, 3))->name, u"5秒");
  EXPECT_EQ(ja.nodes.size(), tree.nodes.size());
}

TEST_F(Panel, ScreenReaderRequestsActAsClicksAndKeysWould) {
  // The additions' switches, in the options' order: on by a click, off by Space, on by a reader.
  const std::uint32_t additions[] = {kControlGpuDetails, kControlBattery, kControlDiskActivity,
                                     kControlProcesses, kControlNetworkBits};
  for (std::size_t i = 0; i < kOptInBools.size(); ++i) {
    Settings expected = panel_.settings;
    expected.*kOptInBools[i].field = true;
    panel_.MouseDown(30, Middle(additions[i]));
    panel_.MouseUp(30, Middle(additions[i]));
    panel_.focusedId = additions[i];
    panel_.KeyDown(kSpace, false);
    EXPECT_EQ(panel_.Request({A11yVerb::Toggle, additions[i]}), A11yOutcome::Done);
    EXPECT_EQ(std::pair(last_ == expected, changes_), std::pair(true, 3 * static_cast<int>(i + 1)));
  }
  panel_.viewHeight = 300;
  EXPECT_EQ(panel_.Request({A11yVerb::Toggle, kControlGpu}), A11yOutcome::Done);
  EXPECT_FALSE(last_.showGpu);
  EXPECT_EQ(panel_.Request({A11yVerb::Invoke, kControlGpu}), A11yOutcome::NotSupported);
  panel_.settings.showClock = false;
  Build();
  EXPECT_EQ(panel_.Request({A11yVerb::Toggle, kControlClockYear}), A11yOutcome::Disabled);
  // A dimmed row still scrolls into view, the last option brings its row's foot in.
  panel_.scrollOffset = 200;
  EXPECT_EQ(panel_.Request({A11yVerb::ScrollIntoView, kControlClockYear}), A11yOutcome::Done);
  EXPECT_EQ(panel_.scrollOffset, Row(kControlClockYear).y - 16);
  EXPECT_EQ(panel_.Request({A11yVerb::ScrollIntoView, OptionElement(kControlInterval, 4)}),
            A11yOutcome::Done);
  EXPECT_EQ(panel_.scrollOffset + 300, Row(kControlInterval).y + Row(kControlInterval).height + 16);
  EXPECT_EQ(panel_.Request({A11yVerb::Toggle, kControlStartAtLogin}), A11yOutcome::Done);
  EXPECT_EQ(loginCalls_, std::vector<bool>{true});

  const int before = changes_;
  EXPECT_EQ(panel_.Request({A11yVerb::Select, OptionElement(kControlScale, 4)}), A11yOutcome::Done);
  EXPECT_EQ(last_.displayScale, 1.5);
  EXPECT_EQ(panel_.Request({A11yVerb::Select, OptionElement(kControlScale, 4)}), A11yOutcome::Done);
  EXPECT_EQ(changes_, before + 1);  // the same option again changes nothing
  EXPECT_EQ(panel_.Request({A11yVerb::Select, OptionElement(kControlScale, 0)}), A11yOutcome::Done);
  EXPECT_EQ(last_.displayScale, 0.75);
  for (const std::uint32_t id : {OptionElement(kControlScale, 7), std::uint32_t{kControlScale}}) {
    EXPECT_EQ(panel_.Request({A11yVerb::Select, id}), A11yOutcome::NotSupported);
  }

  EXPECT_EQ(panel_.Request({A11yVerb::SetValue, kControlDiskAlert, 50.2}), A11yOutcome::Done);
  EXPECT_EQ(panel_.Request({A11yVerb::SetValue, kControlDiskAlert, 62.4}), A11yOutcome::Done);
  EXPECT_EQ(last_.diskAlertThreshold, 0.6);  // to the slider's step
  for (const double outside : {49.0, 95.5, 0.0 / 0.0}) {
    EXPECT_EQ(panel_.Request({A11yVerb::SetValue, kControlDiskAlert, outside}),
              A11yOutcome::OutOfRange);
  }
  EXPECT_EQ(panel_.settings.diskAlertThreshold, 0.6);

  EXPECT_EQ(panel_.Request({A11yVerb::Focus, kControlInterval}), A11yOutcome::Done);
  EXPECT_EQ(panel_.focusedId, kControlInterval);
  EXPECT_GT(panel_.scrollOffset, 0);  // scrolled into view
  panel_.Request({A11yVerb::Focus, kControlClock});
  EXPECT_EQ(panel_.scrollOffset, Row(kControlClock).y - 16);  // and back up, with a margin
  EXPECT_EQ(panel_.Request({A11yVerb::Invoke, 9999}), A11yOutcome::NotSupported);

  panel_.loginState = LoginItemState::DisabledInWindows;
  Build();
  EXPECT_EQ(panel_.Request({A11yVerb::Invoke, kControlStartupApps}), A11yOutcome::Done);
  EXPECT_EQ(startupAppsOpened_, 1);
}

}  // namespace
}  // namespace lumetta
