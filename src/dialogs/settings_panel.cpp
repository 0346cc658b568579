#include "dialogs/settings_panel.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "app/text_ids.h"
#include "base/printf.h"
#include "base/rounding.h"
#include "settings/settings.h"

namespace lumetta {
namespace {

constexpr float kRowLeft = 16;
constexpr float kRowRight = kPanelWidth - 16;
constexpr float kChoiceLeft = 28;
constexpr float kChoiceRight = kPanelWidth - 28;
constexpr float kSliderLeft = 32;
constexpr float kSliderWidth = kPanelWidth - 64;
constexpr float kWheelStep = 48;
constexpr float kPageShare = 0.8f;
constexpr std::uint32_t kKeyTab = 0x09, kKeyEnter = 0x0D, kKeySpace = 0x20, kKeyPageUp = 0x21,
                        kKeyPageDown = 0x22, kKeyLeft = 0x25, kKeyUp = 0x26, kKeyRight = 0x27,
                        kKeyDown = 0x28;

float RowHeight(RowKind kind) {
  switch (kind) {
    case RowKind::Header:
      return 36;
    case RowKind::Switch:
      return 42;
    case RowKind::Link:
      return 44;
    case RowKind::Slider:
      return 68;
    case RowKind::Choice:
      return 70;
    case RowKind::Notice:
    case RowKind::Hint:
      break;
  }
  return 16;  // around the text, which is all of the rest
}

bool Settings::*SwitchField(std::uint32_t id) {
  switch (id) {
    case kControlClock:
      return &Settings::showClock;
    case kControlClockYear:
      return &Settings::showClockYear;
    case kControlCpu:
      return &Settings::showCpu;
    case kControlCoreBars:
      return &Settings::showCoreBars;
    case kControlGpu:
      return &Settings::showGpu;
    case kControlHardwareDetails:
      return &Settings::showHardwareDetails;
    case kControlMemory:
      return &Settings::showMemory;
    case kControlNetwork:
      return &Settings::showNetwork;
    case kControlSsid:
      return &Settings::showSsid;
    case kControlDisk:
      return &Settings::showDisk;
    case kControlSelf:
      return &Settings::showSelf;
    case kControlSnap:
      return &Settings::snapToEdges;
    case kControlGpuDetails:
      return &Settings::showGpuDetails;
    case kControlBattery:
      return &Settings::showBattery;
    case kControlDiskActivity:
      return &Settings::showDiskActivity;
    case kControlProcesses:
      return &Settings::showProcesses;
    case kControlNetworkBits:
      return &Settings::networkInBits;
    default:
      return nullptr;
  }
}

}  // namespace

std::optional<ScrollThumb> ComputeScrollThumb(float contentHeight, float viewHeight,
                                              float scrollOffset) {
  if (contentHeight <= viewHeight) {
    return std::nullopt;
  }
  const float height = std::max(24.0f, viewHeight * (viewHeight - 8) / contentHeight);
  const float top = (viewHeight - 8 - height) * scrollOffset / (contentHeight - viewHeight) + 4;
  return ScrollThumb{top, height};
}

std::u16string SettingsPanel::PercentLabel(double fraction) {
  return AsciiToU16(StringPrintf("%.0f%%", RoundHalfAway(fraction * 100)));
}

std::u16string SettingsPanel::OptionLabel(std::uint32_t id, double value, const TextSource& texts) {
  if (id == kControlScale) {
    return PercentLabel(value);
  }
  return texts.Format(kTextSettingsSeconds, {AsciiToU16(StringPrintf("%g", value))});
}

RectF SettingsPanel::OptionBox(const SettingsRow& row, float top, std::size_t index,
                               std::size_t count) {
  const float width = (kChoiceRight - kChoiceLeft) / static_cast<float>(count);
  const float left = kChoiceLeft + static_cast<float>(index) * width;
  top += row.labelGrowth;
  return {left + 2, top + 34, left + width - 2, top + 58};
}

RowLabel LabelOf(const SettingsRow& row) {
  const float w = kPanelWidth;
  switch (row.kind) {
    case RowKind::Header:
      return {{20, 14, w - 16, 36}, TextStyle::BodyStrong};
    case RowKind::Switch:
      return {{row.indented ? 54.0f : 30.0f, 8, w - 86, 34}, TextStyle::BodyLarge};
    case RowKind::Link:
      return {{30, 8, w - 56, 36}, TextStyle::BodyLarge};
    case RowKind::Slider:
      return {{30, 8, w - 76, 32}, TextStyle::BodyLarge};
    case RowKind::Choice:
      return {{30, 4, w - 30, 28}, TextStyle::BodyLarge};
    case RowKind::Notice:
    case RowKind::Hint:
      break;
  }
  return {{28, 4, w - 28, 4}, TextStyle::Body};
}

std::vector<double> SettingsPanel::Options(std::uint32_t id) {
  if (id == kControlInterval) {
    return {kIntervalSteps.begin(), kIntervalSteps.end()};
  }
  return {kDisplayScaleSteps.begin(), kDisplayScaleSteps.end()};
}

double& SettingsPanel::ChoiceValue(std::uint32_t id) {
  return id == kControlInterval ? settings.updateIntervalSeconds : settings.displayScale;
}

std::optional<std::size_t> SettingsPanel::SelectedOption(std::uint32_t id) const {
  const std::vector<double> options = Options(id);
  const double value =
      id == kControlInterval ? settings.updateIntervalSeconds : settings.displayScale;
  const auto found = std::find(options.begin(), options.end(), value);
  if (found == options.end()) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(found - options.begin());
}

bool SettingsPanel::SwitchValue(std::uint32_t id) const {
  if (id == kControlStartAtLogin) {
    return loginState != LoginItemState::Off;  // on, also when Windows has it switched off
  }
  bool Settings::*field = SwitchField(id);
  return field != nullptr && settings.*field;
}

float SettingsPanel::SliderPosition(double threshold) {
  return static_cast<float>((threshold - kDiskAlertMin) / (kDiskAlertMax - kDiskAlertMin));
}

void SettingsPanel::BuildRows(
    const std::function<float(std::uint32_t, TextStyle, float)>& textHeight) {
  rows.clear();
  const Settings& s = settings;
  const auto add = [&](RowKind kind, std::uint32_t id, std::uint32_t textId, bool indented = false,
                       bool enabled = true) {
    rows.push_back({kind, id, textId, indented, enabled, 0, 0, 0});
  };
  if (saveFailed) {
    add(RowKind::Notice, 0, noDataFolder ? kTextSettingsNoDataFolder : kTextSettingsSaveFailed);
  }
  add(RowKind::Header, 0, kTextSettingsShow);
  add(RowKind::Switch, kControlClock, kTextSettingsClock);
  add(RowKind::Switch, kControlClockYear, kTextSettingsClockYear, true, s.showClock);
  add(RowKind::Switch, kControlCpu, kTextSettingsCpu);
  add(RowKind::Switch, kControlCoreBars, kTextSettingsCoreBars, true, s.showCpu);
  add(RowKind::Switch, kControlGpu, kTextSettingsGpu);
  add(RowKind::Switch, kControlGpuDetails, kTextSettingsGpuDetails, true, s.showGpu);
  add(RowKind::Switch, kControlHardwareDetails, kTextSettingsHardwareDetails, true,
      s.showCpu || s.showGpu);
  add(RowKind::Switch, kControlMemory, kTextSettingsMemory);
  add(RowKind::Switch, kControlNetwork, kTextSettingsNetwork);
  add(RowKind::Switch, kControlSsid, kTextSettingsSsid, true, s.showNetwork);
  add(RowKind::Switch, kControlNetworkBits, kTextSettingsNetworkBits, true, s.showNetwork);
  add(RowKind::Switch, kControlDisk, kTextSettingsDisk);
  add(RowKind::Switch, kControlDiskActivity, kTextSettingsDiskActivity, true, s.showDisk);
  add(RowKind::Switch, kControlBattery, kTextSettingsBattery);
  add(RowKind::Switch, kControlProcesses, kTextSettingsProcesses);
  add(RowKind::Switch, kControlSelf, kTextSettingsSelf);
  add(RowKind::Header, 0, kTextSettingsGeneral);
  add(RowKind::Switch, kControlStartAtLogin, kTextSettingsStartAtLogin);
  if (loginState == LoginItemState::DisabledInWindows) {
    add(RowKind::Notice, 0, kTextSettingsStartupDisabled);
    add(RowKind::Link, kControlStartupApps, kTextSettingsStartupApps);
  }
  add(RowKind::Header, 0, kTextSettingsWindow);
  add(RowKind::Switch, kControlSnap, kTextSettingsSnap);
  add(RowKind::Choice, kControlScale, kTextSettingsScale);
  add(RowKind::Header, 0, kTextSettingsDiskAlert);
  add(RowKind::Slider, kControlDiskAlert, kTextSettingsDiskAlertAbove);
  add(RowKind::Header, 0, kTextSettingsInterval);
  add(RowKind::Choice, kControlInterval, kTextSettingsMeasureEvery);
  add(RowKind::Hint, 0, kTextSettingsIntervalHint);

  float y = 4;
  for (SettingsRow& row : rows) {
    row.y = y;
    const RowLabel label = LabelOf(row);
    row.labelGrowth =
        std::max(0.0f, textHeight(row.textId, label.style, label.box.width()) - label.box.height());
    row.height = RowHeight(row.kind) + row.labelGrowth;
    y += row.height + (row.kind == RowKind::Header ? 0.0f : 2.0f);
  }
  contentHeight = y + 16;
}

void SettingsPanel::ClampScroll() {
  scrollOffset = std::clamp(scrollOffset, 0.0f, std::max(0.0f, contentHeight - viewHeight));
}

void SettingsPanel::OnCreated() {
  scrollOffset = 0;
  focusedId = 0;
  focusVisible = false;
  CancelInput();
}

void SettingsPanel::CancelInput() {
  pressedId = 0;
  draggingSlider = false;
}

const SettingsRow* SettingsPanel::RowAt(float x, float y) const {
  if (x < kRowLeft || x >= kRowRight) {
    return nullptr;
  }
  for (const SettingsRow& row : rows) {
    const float top = row.y - scrollOffset;
    if (y >= top && y < top + row.height) {
      return &row;
    }
  }
  return nullptr;
}

bool SettingsPanel::IsClickableAt(float x, float y) const {
  const SettingsRow* row = RowAt(x, y);
  return row != nullptr && row->Interactive();
}

void SettingsPanel::Changed() {
  if (actions_.changed) {
    actions_.changed(settings);
  }
}

void SettingsPanel::SetSliderFromX(float x) {
  const float t = std::clamp((x - kSliderLeft) / kSliderWidth, 0.0f, 1.0f);
  const double value = RoundHalfAway((t * 0.45 + 0.5) * 20) / 20;
  if (value != settings.diskAlertThreshold) {
    settings.diskAlertThreshold = value;
    Changed();
  }
}

bool SettingsPanel::MouseMove(float x, float y) {
  if (draggingSlider) {
    SetSliderFromX(x);
    return true;
  }
  const SettingsRow* row = RowAt(x, y);
  const std::uint32_t id = row != nullptr && row->Interactive() ? row->id : 0;
  const bool changed = id != hoveredId;
  hoveredId = id;
  return changed;
}

bool SettingsPanel::MouseLeave() {
  const bool changed = hoveredId != 0;
  hoveredId = 0;
  return changed;
}

bool SettingsPanel::MouseDown(float x, float y) {
  focusVisible = false;
  CancelInput();
  const SettingsRow* row = RowAt(x, y);
  if (row != nullptr && row->Interactive()) {
    pressedId = focusedId = row->id;
    if (row->kind == RowKind::Slider) {
      draggingSlider = true;
      SetSliderFromX(x);
    } else if (row->kind == RowKind::Choice) {
      const float top = row->y - scrollOffset;
      const float optionsTop = top + row->labelGrowth;
      if (x >= kChoiceLeft && x < kChoiceRight && y >= optionsTop + 32 && y < optionsTop + 60) {
        const std::vector<double> options = Options(row->id);
        const float segment = (kChoiceRight - kChoiceLeft) / static_cast<float>(options.size());
        const auto index =
            std::min(static_cast<std::size_t>((x - kChoiceLeft) / segment), options.size() - 1);
        ChoiceValue(row->id) = options[index];
        Changed();
      }
    }
  }
  return true;
}

bool SettingsPanel::MouseUp(float x, float y) {
  const std::uint32_t pressed = pressedId;
  pressedId = 0;
  if (draggingSlider) {
    draggingSlider = false;
    return true;
  }
  const SettingsRow* row = RowAt(x, y);
  // A press that left its row before the release does nothing.
  if (row != nullptr && row->id == pressed && pressed != 0 && row->Interactive() &&
      (row->kind == RowKind::Switch || row->kind == RowKind::Link)) {
    Activate(pressed);
  }
  return true;
}

bool SettingsPanel::Wheel(float notches) {
  ScrollBy(-notches * kWheelStep);
  return true;
}

void SettingsPanel::ScrollBy(float distance) {
  scrollOffset += distance;
  ClampScroll();
}

void SettingsPanel::Activate(std::uint32_t id) {
  if (bool Settings::*field = SwitchField(id)) {
    settings.*field = !(settings.*field);
    Changed();
  } else if (id == kControlStartAtLogin) {
    if (actions_.setLoginItem) {
      loginState = actions_.setLoginItem(loginState == LoginItemState::Off);
    }
  } else if (id == kControlStartupApps) {
    if (actions_.openStartupApps) {
      actions_.openStartupApps();
    }
  }
}

void SettingsPanel::Step(std::uint32_t id, int direction) {
  if (id == kControlDiskAlert) {
    const double next =
        std::clamp(settings.diskAlertThreshold + direction * 0.05, kDiskAlertMin, kDiskAlertMax);
    settings.diskAlertThreshold = RoundHalfAway(next * 20) / 20;
  } else if (id == kControlInterval || id == kControlScale) {
    const std::vector<double> options = Options(id);
    const auto index = static_cast<int>(SelectedOption(id).value_or(0)) + direction;
    ChoiceValue(id) = options[static_cast<std::size_t>(
        std::clamp(index, 0, static_cast<int>(options.size()) - 1))];
  } else {
    return;
  }
  Changed();
}

void SettingsPanel::MoveFocus(int direction) {
  std::vector<const SettingsRow*> interactive;
  for (const SettingsRow& row : rows) {
    if (row.Interactive()) {
      interactive.push_back(&row);
    }
  }
  if (interactive.empty()) {
    return;
  }
  const auto count = static_cast<int>(interactive.size());
  int current = direction > 0 ? -1 : 0;
  for (int i = 0; i < count; ++i) {
    if (interactive[static_cast<std::size_t>(i)]->id == focusedId) {
      current = i;
    }
  }
  const SettingsRow& next =
      *interactive[static_cast<std::size_t>(((current + direction) % count + count) % count)];
  focusedId = next.id;
  focusVisible = true;
  ScrollIntoView(next);
}

void SettingsPanel::ScrollIntoView(const SettingsRow& row) {
  if (row.y < scrollOffset) {
    scrollOffset = std::clamp(row.y - 16, 0.0f, std::max(0.0f, contentHeight - viewHeight));
  } else if (row.y + row.height > scrollOffset + viewHeight) {
    ScrollBy(row.y + row.height - scrollOffset - viewHeight + 16);
  }
}

const SettingsRow* SettingsPanel::FindRow(std::uint32_t id) const {
  for (const SettingsRow& row : rows) {
    if (row.id == id && id != 0) {
      return &row;
    }
  }
  return nullptr;
}

A11yTree SettingsPanel::AccessibilityTree(const TextSource& texts) const {
  A11yTree tree;
  for (const SettingsRow& row : rows) {
    const float top = row.y - scrollOffset;
    const RectF bounds{kRowLeft, top, kRowRight, top + row.height};
    const bool control = row.id != 0;
    A11yRole role = A11yRole::Text;
    switch (row.kind) {
      case RowKind::Switch:
        role = A11yRole::CheckBox;
        break;
      case RowKind::Link:
        role = A11yRole::Link;
        break;
      case RowKind::Slider:
        role = A11yRole::Slider;
        break;
      case RowKind::Choice:
        role = A11yRole::List;
        break;
      case RowKind::Header:
      case RowKind::Notice:
      case RowKind::Hint:
        break;
    }
    const std::uint32_t id = control ? row.id : row.textId;
    A11yNode& node = tree.Add(id, 0, role, texts.Text(row.textId), bounds);
    node.enabled = row.enabled;
    node.focusable = row.Interactive();
    node.offscreen = bounds.bottom <= 0 || bounds.top >= viewHeight;
    node.live = row.kind == RowKind::Notice;
    if (row.kind == RowKind::Switch) {
      node.toggled = SwitchValue(row.id);
    } else if (row.kind == RowKind::Slider) {
      node.range = A11yRange{RoundHalfAway(settings.diskAlertThreshold * 100), kDiskAlertMin * 100,
                             kDiskAlertMax * 100, 5};
      node.value = PercentLabel(settings.diskAlertThreshold);
    } else if (row.kind == RowKind::Choice) {
      const std::vector<double> options = Options(row.id);
      const std::optional<std::size_t> selected = SelectedOption(row.id);
      for (std::size_t i = 0; i < options.size(); ++i) {
        A11yNode& item = tree.Add(OptionElement(row.id, i), row.id, A11yRole::ListItem,
                                  OptionLabel(row.id, options[i], texts),
                                  OptionBox(row, top, i, options.size()));
        item.selected = selected == i;
        item.offscreen = node.offscreen;
      }
    }
  }
  if (FindRow(focusedId) != nullptr) {
    tree.focused = focusedId;
  }
  return tree;
}

A11yOutcome SettingsPanel::Request(const A11yRequest& request) {
  // An option is acted on through its choice row.
  const std::uint32_t rowId =
      request.id >= OptionElement(0, 0) ? (request.id - OptionElement(0, 0)) / 100 : request.id;
  const SettingsRow* row = FindRow(rowId);
  if (row == nullptr) {
    return A11yOutcome::NotSupported;
  }
  if (request.verb == A11yVerb::ScrollIntoView) {  // a dimmed row too
    ScrollIntoView(*row);
    return A11yOutcome::Done;
  }
  const bool option = rowId != request.id;
  bool supported = true;
  switch (request.verb) {
    case A11yVerb::Invoke:
      supported = row->kind == RowKind::Link;
      break;
    case A11yVerb::Toggle:
      supported = row->kind == RowKind::Switch;
      break;
    case A11yVerb::Select:
      supported = option;
      break;
    case A11yVerb::SetValue:
      supported = row->kind == RowKind::Slider;
      break;
    case A11yVerb::Focus:
    case A11yVerb::ScrollIntoView:
      break;
  }
  if (!supported) {
    return A11yOutcome::NotSupported;
  }
  if (!row->Interactive()) {
    return A11yOutcome::Disabled;
  }
  switch (request.verb) {
    case A11yVerb::Invoke:
    case A11yVerb::Toggle:
      Activate(row->id);
      break;
    case A11yVerb::Select: {
      const std::vector<double> options = Options(row->id);
      const std::size_t index = (request.id - OptionElement(0, 0)) % 100;
      if (index >= options.size()) {
        return A11yOutcome::NotSupported;
      }
      if (ChoiceValue(row->id) != options[index]) {
        ChoiceValue(row->id) = options[index];
        Changed();
      }
      break;
    }
    case A11yVerb::SetValue: {
      if (!(request.value >= kDiskAlertMin * 100 && request.value <= kDiskAlertMax * 100)) {
        return A11yOutcome::OutOfRange;
      }
      const double value = RoundHalfAway(request.value / 5) * 5 / 100;
      if (value != settings.diskAlertThreshold) {
        settings.diskAlertThreshold = value;
        Changed();
      }
      break;
    }
    case A11yVerb::Focus:
      focusedId = row->id;
      focusVisible = true;
      ScrollIntoView(*row);
      break;
    case A11yVerb::ScrollIntoView:
      break;
  }
  return A11yOutcome::Done;
}

std::optional<bool> SettingsPanel::KeyDown(std::uint32_t key, bool shift) {
  switch (key) {
    case kKeyTab:
      MoveFocus(shift ? -1 : 1);
      return true;
    case kKeyDown:
      MoveFocus(1);
      return true;
    case kKeyUp:
      MoveFocus(-1);
      return true;
    case kKeyEnter:
    case kKeySpace:
      focusVisible = true;
      Activate(focusedId);
      return true;
    case kKeyLeft:
      Step(focusedId, -1);
      return true;
    case kKeyRight:
      Step(focusedId, 1);
      return true;
    case kKeyPageUp:
      ScrollBy(-kPageShare * viewHeight);
      return true;
    case kKeyPageDown:
      ScrollBy(kPageShare * viewHeight);
      return true;
    default:
      return std::nullopt;
  }
}

}  // namespace lumetta
