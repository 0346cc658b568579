#include "dialogs/settings_window.h"

#include "app/strings.h"
#include "app/text_ids.h"
#include "settings/login_item.h"

namespace lumetta {
namespace {

constexpr float kW = kPanelWidth;

}  // namespace

SettingsWindow::SettingsWindow(ID2D1Factory* factory, IDWriteFactory* writeFactory,
                               std::function<void(const Settings&)> onChanged)
    : DialogWindow(factory, writeFactory),
      onChanged_(std::move(onChanged)),
      panel_({[this](const Settings& s) {
                if (onChanged_) {
                  onChanged_(s);
                }
              },
              [](bool enable) { return SetLoginItem(enable); },
              [] { OpenStartupAppsSettings(); }}) {}

std::u16string SettingsWindow::WindowTitle() const {
  return LoadText(kTextSettingsTitle);
}

void SettingsWindow::Open(HWND ownerWindow, const Settings& settings) {
  panel_.settings = settings;
  panel_.CancelInput();
  panel_.loginState = GetLoginItemState();
  Show(ownerWindow);
  RECT client{};
  if (hwnd() != nullptr && GetClientRect(hwnd(), &client)) {
    panel_.viewHeight = static_cast<float>(client.bottom) * 96.0f / Dpi();
  }
  Invalidate();
}

void SettingsWindow::SetSettings(const Settings& settings) {
  panel_.settings = settings;
  AccessibilityChanged();
  Invalidate();
}

void SettingsWindow::SetSaveFailed(bool failed, bool noDataFolder) {
  if (panel_.saveFailed != failed || panel_.noDataFolder != noDataFolder) {
    panel_.saveFailed = failed;
    panel_.noDataFolder = noDataFolder;
    AccessibilityChanged();
    Invalidate();
  }
}

A11yTree SettingsWindow::BuildAccessibilityTree() {
  BuildRows();
  return panel_.AccessibilityTree(ProgramTexts());
}

A11yOutcome SettingsWindow::OnAccessibilityRequest(const A11yRequest& request) {
  BuildRows();
  const A11yOutcome outcome = panel_.Request(request);
  if (outcome == A11yOutcome::Done && request.verb == A11yVerb::Focus) {
    SetForegroundWindow(hwnd());
  }
  return outcome;
}

void SettingsWindow::BuildRows() {
  panel_.BuildRows([this](std::uint32_t textId, TextStyle style, float width) {
    return renderer().MeasureTextHeight(LoadText(textId), style, width);
  });
  panel_.ClampScroll();
}

void SettingsWindow::OnMouseMove(float x, float y) {
  BuildRows();
  if (panel_.MouseMove(x, y)) {
    Invalidate();
  }
}

void SettingsWindow::OnMouseLeave() {
  if (panel_.MouseLeave()) {
    Invalidate();
  }
}

void SettingsWindow::OnMouseDown(float x, float y) {
  BuildRows();
  panel_.MouseDown(x, y);
  Invalidate();
}

void SettingsWindow::OnMouseUp(float x, float y) {
  BuildRows();
  panel_.MouseUp(x, y);
  Invalidate();
}

void SettingsWindow::OnMouseWheel(float notches) {
  BuildRows();
  panel_.Wheel(notches);
  Invalidate();
}

bool SettingsWindow::OnKeyDown(WPARAM key) {
  BuildRows();
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  if (!panel_.KeyDown(static_cast<std::uint32_t>(key), shift).has_value()) {
    return false;
  }
  Invalidate();
  return true;
}

void SettingsWindow::Paint(Renderer& r, float width, float height) {
  const Palette& p = *r.palette;
  panel_.viewHeight = height;
  BuildRows();
  for (const SettingsRow& row : panel_.rows) {
    const float top = row.y - panel_.scrollOffset;
    const float bottom = top + row.height;
    if (bottom < 0 || top > height) {
      continue;
    }
    PaintRow(r, row, top, bottom);
  }
  if (const auto thumb =
          ComputeScrollThumb(panel_.contentHeight, panel_.viewHeight, panel_.scrollOffset)) {
    r.FillRect({width - 6, thumb->top, width - 3, thumb->top + thumb->height},
               ToD2D(p.textTertiary), 1.5f);
  }
}

void SettingsWindow::PaintRow(Renderer& r, const SettingsRow& row, float top, float bottom) {
  const Palette& p = *r.palette;
  const std::u16string text = LoadText(row.textId);
  const bool on = row.enabled;
  // A label too long for one line wraps; the row has grown to hold it.
  const RowLabel label = LabelOf(row);
  const D2D1_RECT_F labelBox{label.box.left, top + label.box.top, label.box.right,
                             top + label.box.bottom + row.labelGrowth};
  switch (row.kind) {
    case RowKind::Header:
      r.DrawText(text, label.style, labelBox, ToD2D(p.textSecondary), TextAlign::Leading, true);
      return;
    case RowKind::Notice:
    case RowKind::Hint:
      r.DrawText(text, label.style, labelBox,
                 ToD2D(row.kind == RowKind::Notice ? p.warning : p.textSecondary),
                 TextAlign::Leading, true);
      return;
    default:
      break;
  }
  // Greyed out when disabled; in high contrast, the system's gray text.
  const auto dim = [&p, on](const ColorF& color) {
    return ToD2D(on ? color : DisabledColor(p, color));
  };
  const D2D1_RECT_F card{16, top, kW - 16, bottom};
  const bool hovered = row.id == panel_.hoveredId && on;
  r.FillRect(card, ToD2D(p.panel), 6);
  if (p.highContrast) {
    r.StrokeRoundedRect(card, ToD2D(hovered ? p.accent : p.divider), 6, 1);
  } else if (hovered) {
    r.FillRect(card, ToD2D(p.hoverFill), 6);
  }
  if (panel_.focusVisible && row.id != 0 && row.id == panel_.focusedId) {
    r.StrokeRoundedRect(card, ToD2D(p.textPrimary), 6, 2);
  }
  const float cy = (top + bottom) / 2;
  switch (row.kind) {
    case RowKind::Switch: {
      r.DrawText(text, label.style, labelBox, dim(p.textPrimary), TextAlign::Leading, true);
      const D2D1_RECT_F track{kW - 72, cy - 10, kW - 32, cy + 10};
      const bool value = panel_.SwitchValue(row.id);
      if (value) {
        r.FillRect(track, dim(p.accent), 10);
        r.FillCircle({kW - 42, cy}, 6, on || p.highContrast ? ToD2D(p.onAccent) : dim(p.onAccent));
      } else {
        r.StrokeRoundedRect(track, dim(p.textSecondary), 10, 1);
        r.FillCircle({kW - 62, cy}, 5, dim(p.textSecondary));
      }
      return;
    }
    case RowKind::Link:
      r.DrawText(text, label.style, labelBox, ToD2D(p.accent), TextAlign::Leading, true);
      r.DrawGlyph(Glyph::OpenExternal, {kW - 52, top, kW - 28, bottom}, ToD2D(p.accent),
                  TextStyle::Icon);
      return;
    case RowKind::Slider: {
      const double threshold = panel_.settings.diskAlertThreshold;
      r.DrawText(text, label.style, labelBox, dim(p.textPrimary), TextAlign::Leading, true);
      top += row.labelGrowth;  // the rest of the row lies below the label
      r.DrawText(SettingsPanel::PercentLabel(threshold), TextStyle::BodyStrong,
                 {kW - 86, top + 8, kW - 30, top + 32}, ToD2D(p.textPrimary), TextAlign::Trailing,
                 false);
      const float t = SettingsPanel::SliderPosition(threshold);
      r.DrawBar({32, top + 44, kW - 32, top + 48}, t, ToD2D(p.accent));
      const D2D1_POINT_2F thumb{32 + (kW - 64) * t, top + 46};
      r.FillCircle(thumb, 9, ToD2D(p.controlFill));
      r.FillCircle(thumb, 8, ToD2D(p.knob));
      r.FillCircle(thumb, 4, ToD2D(p.accent));
      r.DrawText(u"50%", TextStyle::Caption, {28, top + 50, 72, bottom - 2}, ToD2D(p.textTertiary),
                 TextAlign::Leading, false);
      r.DrawText(u"95%", TextStyle::Caption, {kW - 72, top + 50, kW - 28, bottom - 2},
                 ToD2D(p.textTertiary), TextAlign::Trailing, false);
      return;
    }
    case RowKind::Choice: {
      r.DrawText(text, label.style, labelBox, dim(p.textPrimary), TextAlign::Leading, true);
      const float optionsTop = top + row.labelGrowth;
      r.StrokeRoundedRect({28, optionsTop + 32, kW - 28, optionsTop + 60}, ToD2D(p.controlFill), 5,
                          1);
      const std::vector<double> options = SettingsPanel::Options(row.id);
      const std::optional<std::size_t> selected = panel_.SelectedOption(row.id);
      for (std::size_t i = 0; i < options.size(); ++i) {
        const D2D1_RECT_F box = ToD2D(SettingsPanel::OptionBox(row, top, i, options.size()));
        const bool chosen = selected == i;
        if (chosen) {
          r.FillRect(box, ToD2D(p.accent), 4);
        }
        r.DrawText(SettingsPanel::OptionLabel(row.id, options[i], ProgramTexts()), TextStyle::Body,
                   box, ToD2D(chosen ? p.onAccent : p.textPrimary), TextAlign::Center, false);
      }
      return;
    }
    default:
      return;
  }
}

}  // namespace lumetta
