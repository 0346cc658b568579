// The Settings dialog's content as plain state: its rows, focus, scrolling, slider and choices,
// and what each mouse or key event does to them. The window only draws and forwards events.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "app/strings.h"
#include "draw/fonts.h"
#include "settings/login_item.h"
#include "settings/settings.h"
#include "window/accessibility.h"

namespace lumetta {

enum class RowKind : std::uint32_t {
  Header = 0,
  Switch = 1,
  Notice = 2,
  Link = 3,
  Slider = 4,
  Choice = 5,
  Hint = 6,
};

enum SettingsControl : std::uint32_t {
  kControlNone = 0,
  kControlClock = 1,
  kControlClockYear = 2,
  kControlCpu = 3,
  kControlCoreBars = 4,
  kControlGpu = 5,
  kControlHardwareDetails = 6,
  kControlMemory = 7,
  kControlNetwork = 8,
  kControlSsid = 9,
  kControlDisk = 10,
  kControlSelf = 11,
  kControlStartAtLogin = 12,
  kControlStartupApps = 13,
  kControlSnap = 14,
  kControlDiskAlert = 15,
  kControlInterval = 16,
  kControlScale = 17,
  kControlGpuDetails = 18,
  kControlBattery = 19,
  kControlDiskActivity = 20,
  kControlProcesses = 21,
  kControlNetworkBits = 22,
};

// Elements a screen reader finds: a control row is its control id, a text row its text id,
// and option `index` of a choice is OptionElement(control, index).
[[nodiscard]] constexpr std::uint32_t OptionElement(std::uint32_t control, std::size_t index) {
  return 20000 + control * 100 + static_cast<std::uint32_t>(index);
}

struct SettingsRow {
  RowKind kind;
  std::uint32_t id;
  std::uint32_t textId;
  bool indented = false;
  bool enabled = true;
  float y = 0;
  float height = 0;
  // How much taller the label is than its box, wrapped: the row grows by it, and what lies
  // below the label moves down by it.
  float labelGrowth = 0;

  [[nodiscard]] bool Interactive() const {
    return enabled && (kind == RowKind::Switch || kind == RowKind::Link ||
                       kind == RowKind::Slider || kind == RowKind::Choice);
  }
};

inline constexpr float kPanelWidth = 400;
inline constexpr float kPanelHeight = 660;
inline constexpr float kNoticeTextWidth = 344;

// Where a row's label is drawn, relative to the row's top, before the row grows for it.
struct RowLabel {
  RectF box;
  TextStyle style;
};
[[nodiscard]] RowLabel LabelOf(const SettingsRow& row);

struct SettingsPanelActions {
  std::function<void(const Settings&)> changed;      // after every change of a Settings field
  std::function<LoginItemState(bool)> setLoginItem;  // returns the login state afterwards
  std::function<void()> openStartupApps;
};

struct ScrollThumb {
  float top;
  float height;
};
// The scroll bar's thumb, when the content is taller than the view.
[[nodiscard]] std::optional<ScrollThumb> ComputeScrollThumb(float contentHeight, float viewHeight,
                                                            float scrollOffset);

class SettingsPanel {
 public:
  explicit SettingsPanel(SettingsPanelActions actions) : actions_(std::move(actions)) {}

  Settings settings;
  LoginItemState loginState = LoginItemState::Off;
  bool saveFailed = false;
  bool noDataFolder = false;  // then no save can succeed, and there is no log to point to
  std::vector<SettingsRow> rows;
  float contentHeight = 0;
  float viewHeight = kPanelHeight;
  float scrollOffset = 0;
  std::uint32_t hoveredId = 0;
  std::uint32_t pressedId = 0;
  std::uint32_t focusedId = 0;
  bool focusVisible = false;
  bool draggingSlider = false;

  // `textHeight` measures a text in a style wrapped to a width: a row grows for a label or
  // notice that takes more lines than its box holds.
  void BuildRows(
      const std::function<float(std::uint32_t textId, TextStyle style, float width)>& textHeight);
  void ClampScroll();
  void OnCreated();
  // The press or drag in progress ends without acting: the window closed or lost the mouse.
  void CancelInput();

  // Each returns whether the picture changed.
  bool MouseMove(float x, float y);
  bool MouseLeave();
  bool MouseDown(float x, float y);
  bool MouseUp(float x, float y);
  bool Wheel(float notches);
  // A virtual-key code; nothing when the key is not the panel's.
  std::optional<bool> KeyDown(std::uint32_t key, bool shift);
  [[nodiscard]] bool IsClickableAt(float x, float y) const;

  // What a screen reader finds: every row with its role and state, the choices' options as
  // list items, focus on the focused row.
  [[nodiscard]] A11yTree AccessibilityTree(const TextSource& texts) const;
  // What a screen reader asks of an element, acted on as a click or key would be.
  A11yOutcome Request(const A11yRequest& request);

  // Option values and which one is shown selected (nothing for a value not in the list).
  [[nodiscard]] static std::vector<double> Options(std::uint32_t id);
  // "2 s", "125%".
  [[nodiscard]] static std::u16string OptionLabel(std::uint32_t id, double value,
                                                  const TextSource& texts);
  // "85%".
  [[nodiscard]] static std::u16string PercentLabel(double fraction);
  // Where option `index` of `count` is drawn in a choice row whose top is at `top`, below its
  // label.
  [[nodiscard]] static RectF OptionBox(const SettingsRow& row, float top, std::size_t index,
                                       std::size_t count);
  [[nodiscard]] std::optional<std::size_t> SelectedOption(std::uint32_t id) const;
  [[nodiscard]] static float SliderPosition(double threshold);
  // Whether a switch row shows "on".
  [[nodiscard]] bool SwitchValue(std::uint32_t id) const;

 private:
  const SettingsRow* RowAt(float x, float y) const;
  void SetSliderFromX(float x);
  void Activate(std::uint32_t id);
  void Step(std::uint32_t id, int direction);
  void MoveFocus(int direction);
  void ScrollIntoView(const SettingsRow& row);
  [[nodiscard]] const SettingsRow* FindRow(std::uint32_t id) const;
  void ScrollBy(float distance);
  void Changed();
  double& ChoiceValue(std::uint32_t id);

  SettingsPanelActions actions_;
};

}  // namespace lumetta
