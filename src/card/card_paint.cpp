// The card's sections: their layout, the window size that follows, and one painter each.
#include "app/strings.h"
#include "app/text_ids.h"
#include "base/printf.h"
#include "base/wide.h"
#include "card/monitor_window.h"
#include "metrics/hardware_names.h"

namespace lumetta {
namespace {

constexpr float kLeft = kCardLeft;
constexpr float kRight = kCardRight;
constexpr float kHeaderHeight = 16;
constexpr float kBigHeaderHeight = 24;
constexpr float kLegendDot = 2.5f;
constexpr double kNetworkChartFloor = 10240;  // bytes per second

D2D1_RECT_F Box(float left, float top, float right, float bottom) {
  return {left, top, right, bottom};
}

// "vendor model" with empty parts left out.
std::u16string JoinNames(const std::u16string& vendor, const std::u16string& model) {
  if (vendor.empty() || model.empty()) {
    return vendor + model;
  }
  return vendor + u" " + model;
}

template <std::size_t N>
void CopyHistory(const Ring<double, N>& ring, std::vector<double>& out) {
  out.clear();
  for (std::size_t i = 0; i < ring.count(); ++i) {
    out.push_back(ring.at(i));
  }
}

}  // namespace

std::u16string MonitorWindow::DiskAlertText() const {
  return FormatText(kTextUsageAbove, {FormatPercent(settings_.diskAlertThreshold, 0)});
}

std::optional<float> MonitorWindow::DiskAlertTextHeight() {
  const DiskSample& disk = sampler_->snapshot().disk;
  if (!disk.valid || DiskAlertLevel(UsedFraction(disk.usedBytes, disk.totalBytes),
                                    settings_.diskAlertThreshold) != 2) {
    return std::nullopt;
  }
  return renderer_.MeasureTextHeight(DiskAlertText(), TextStyle::Caption, kCardContentWidth);
}

void MonitorWindow::Relayout() {
  sectionLayout_ = StackSections(CardSections(settings_, update_.state(), DiskAlertTextHeight()));
  const PixelSize size =
      CardWindowSize(GetDpiForWindow(hwnd_), settings_.displayScale, sectionLayout_.totalHeight);
  RECT client{};
  if (GetClientRect(hwnd_, &client) &&
      (client.right != size.width || client.bottom != size.height)) {
    SetWindowPos(hwnd_, nullptr, 0, 0, size.width, size.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void MonitorWindow::PaintCard() {
  if (!sampler_ || !renderer_.BeginFrame()) {
    return;
  }
  const Palette& p = *renderer_.palette;
  if (plainBackdrop_) {
    renderer_.FillRect(Box(0, 0, kCardWidth, sectionLayout_.totalHeight), ToD2D(BackdropStandIn(p)),
                       0);
  }
  if (sectionLayout_.sections.empty()) {
    renderer_.DrawText(LoadText(kTextNothingToShow), TextStyle::Body, Box(kLeft, 12, kRight, 44),
                       ToD2D(p.TextSecondary), TextAlign::Center, true);
  }
  for (const LaidOutSection& section : sectionLayout_.sections) {
    if (section.dividerTop >= 0) {
      renderer_.FillRect(Box(kLeft, section.dividerTop, kRight, section.dividerTop + 1),
                         ToD2D(p.Divider), 0);
    }
    switch (section.id) {
      case SectionId::Update:
        PaintUpdate(section.top);
        break;
      case SectionId::Clock:
        PaintClock(section.top);
        break;
      case SectionId::Cpu:
        PaintCpu(section.top);
        break;
      case SectionId::Gpu:
        PaintGpu(section.top);
        break;
      case SectionId::Memory:
        PaintMemory(section.top);
        break;
      case SectionId::Network:
        PaintNetwork(section.top);
        break;
      case SectionId::Disk:
        PaintDisk(section.top);
        break;
      case SectionId::Self:
        PaintSelf(section.top);
        break;
    }
  }
  if (hovering_) {
    PaintHoverButtons();
  }
  renderer_.EndFrame();
}

void MonitorWindow::PaintHoverButtons() {
  const Palette& p = *renderer_.palette;
  const D2D1_COLOR_F face =
      p.dark ? D2D1_COLOR_F{0.15f, 0.15f, 0.15f, 0.9f} : D2D1_COLOR_F{0.97f, 0.97f, 0.97f, 0.9f};
  const struct {
    std::uint32_t id;
    D2D1_RECT_F box;
    Glyph glyph;
  } buttons[] = {
      {kSettingsButton, Box(147, 5, 165, 23), Glyph::Settings},
      {kPinButton, Box(167, 5, 185, 23), settings_.alwaysOnTop ? Glyph::Pinned : Glyph::Unpinned},
  };
  for (const auto& button : buttons) {
    renderer_.FillRect(button.box, face, 4);
    if (button.id == hoveredButton_) {
      renderer_.FillRect(button.box, ToD2D(p.HoverFill), 4);
    }
    renderer_.DrawGlyph(button.glyph, button.box, ToD2D(p.TextSecondary), TextStyle::IconSmall);
  }
}

void MonitorWindow::DrawSectionHeader(float top, std::u16string_view title,
                                      std::u16string_view value, const ColorF& valueColor,
                                      TextStyle valueStyle, float rowHeight) {
  const Palette& p = *renderer_.palette;
  const float w = renderer_.MeasureTextWidth(title, TextStyle::BodyStrong);
  renderer_.DrawText(title, TextStyle::BodyStrong, Box(kLeft, top, kLeft + w + 1, top + rowHeight),
                     ToD2D(p.TextSecondary), TextAlign::Leading, false);
  renderer_.DrawText(value, valueStyle, Box(kLeft + w + 8, top, kRight, top + rowHeight),
                     ToD2D(valueColor), TextAlign::Trailing, false);
}

float MonitorWindow::DrawLegendItem(float x, float top, const ColorF& color,
                                    std::u16string_view text) {
  const Palette& p = *renderer_.palette;
  const float w = renderer_.MeasureTextWidth(text, TextStyle::Caption);
  renderer_.FillCircle({x + kLegendDot, top + 7}, kLegendDot, ToD2D(color));
  renderer_.DrawText(text, TextStyle::Caption,
                     Box(x + 8, top, std::min(kRight, x + 9 + w), top + 14), ToD2D(p.TextSecondary),
                     TextAlign::Leading, false);
  return x + 8 + w + 8;
}

void MonitorWindow::PaintUpdate(float top) {
  const Palette& p = *renderer_.palette;
  const std::u16string version = update_.info() ? update_.info()->latestVersion : std::u16string();
  renderer_.DrawGlyph(Glyph::Warning, Box(12, top, 24, top + 16), ToD2D(p.Critical),
                      TextStyle::IconSmall);
  renderer_.DrawText(FormatText(kTextUpdateRequired, {version}), TextStyle::BodyStrong,
                     Box(28, top, 162, top + 16), ToD2D(p.Critical), TextAlign::Leading, false);
  renderer_.DrawGlyph(Glyph::OpenExternal, Box(166, top, 178, top + 16), ToD2D(p.Critical),
                      TextStyle::IconSmall);
}

void MonitorWindow::PaintClock(float top) {
  const Palette& p = *renderer_.palette;
  SYSTEMTIME now{};
  GetLocalTime(&now);
  const std::u16string picture =
      LoadText(settings_.showClockYear ? kTextDatePatternYear : kTextDatePattern);
  wchar_t date[64] = {};
  if (GetDateFormatEx(AsWide(LocaleName().data()), 0, &now, AsWide(picture.c_str()), date, 64,
                      nullptr) == 0) {
    date[0] = L'\0';
  }
  renderer_.DrawText(AsU16(date), TextStyle::Body, Box(12, top + 8, 114, top + 26),
                     ToD2D(p.TextSecondary), TextAlign::Leading, false);
  renderer_.DrawText(AsciiToU16(StringPrintf("%d:%02d", now.wHour, now.wMinute)), TextStyle::Title,
                     Box(12, top, 178, top + 28), ToD2D(p.TextPrimary), TextAlign::Trailing, false);
  renderer_.DrawBar(Box(12, top + 33, 178, top + 39), now.wSecond / 60.0, ToD2D(p.Accent));
}

void MonitorWindow::PaintCpu(float top) {
  const Palette& p = *renderer_.palette;
  const Snapshot& s = sampler_->snapshot();
  if (s.cpuValid) {
    DrawSectionHeader(top, u"CPU", FormatPercent(s.cpuTotal, 0), p.TextPrimary, TextStyle::Subtitle,
                      kBigHeaderHeight);
  } else {
    DrawSectionHeader(top, u"CPU", kDash, p.TextSecondary, TextStyle::Subtitle, kBigHeaderHeight);
  }
  float y = top + kBigHeaderHeight;
  if (settings_.showHardwareDetails) {
    std::u16string detail = JoinNames(s.cpuVendor, s.cpuModel);
    if (s.cpuClockValid) {
      detail += u" \u00B7 " + clockText(s.cpuClockMhz);
    }
    renderer_.DrawText(detail, TextStyle::Caption, Box(12, y, 178, y + 14), ToD2D(p.TextTertiary),
                       TextAlign::Leading, false);
    y += 14;
  }
  CopyHistory(s.cpuHistory, historyScratch_);
  renderer_.DrawHistoryChart(Box(12, y + 6, 178, y + 36), historyScratch_, 1.0, ToD2D(p.Accent));
  if (settings_.showCoreBars && s.cpuValid) {
    renderer_.DrawCoreBars(Box(12, y + 42, 178, y + 62), s.cpuCores, ToD2D(p.Accent));
  }
}

void MonitorWindow::PaintGpu(float top) {
  const Palette& p = *renderer_.palette;
  const Snapshot& s = sampler_->snapshot();
  if (s.gpuValid) {
    DrawSectionHeader(top, u"GPU", FormatPercent(s.gpuBusy, 0), p.TextPrimary, TextStyle::Subtitle,
                      kBigHeaderHeight);
  } else {
    DrawSectionHeader(top, u"GPU", kDash, p.TextSecondary, TextStyle::Subtitle, kBigHeaderHeight);
  }
  float y = top + kBigHeaderHeight;
  if (settings_.showHardwareDetails) {
    renderer_.DrawText(JoinNames(s.gpuVendor, s.gpuModel), TextStyle::Caption,
                       Box(12, y, 178, y + 14), ToD2D(p.TextTertiary), TextAlign::Leading, false);
    y += 14;
  }
  CopyHistory(s.gpuHistory, historyScratch_);
  renderer_.DrawHistoryChart(Box(12, y + 6, 178, y + 30), historyScratch_, 1.0, ToD2D(p.Accent));
}

void MonitorWindow::PaintMemory(float top) {
  const Palette& p = *renderer_.palette;
  const MemorySample& m = sampler_->snapshot().memory;
  const std::u16string title = LoadText(kTextMemory);
  if (!m.valid) {
    DrawSectionHeader(top, title, kDash, p.TextSecondary, TextStyle::Body, kHeaderHeight);
    renderer_.DrawBar(Box(12, top + 21, 178, top + 27), 0, ToD2D(p.Accent));
    return;
  }
  DrawSectionHeader(top, title,
                    FormatBytes(static_cast<double>(m.usedPhysical)) + u" / " +
                        FormatBytes(static_cast<double>(m.totalPhysical)),
                    p.TextPrimary, TextStyle::Body, kHeaderHeight);
  const double total = m.totalPhysical == 0 ? 1.0 : static_cast<double>(m.totalPhysical);
  const double app = static_cast<double>(m.appBytes());
  const double fractions[] = {app / total, static_cast<double>(m.kernel) / total};
  const D2D1_COLOR_F colors[] = {ToD2D(p.Accent), ToD2D(p.AccentAlt)};
  renderer_.DrawSegmentedBar(Box(12, top + 21, 178, top + 27), fractions, colors);
  const float x =
      DrawLegendItem(12, top + 32, p.Accent, LoadText(kTextApp) + u" " + FormatBytesCompact(app));
  DrawLegendItem(x, top + 32, p.AccentAlt,
                 LoadText(kTextKernel) + u" " + FormatBytesCompact(static_cast<double>(m.kernel)));

  const float r = top + 49;
  renderer_.DrawText(LoadText(kTextCommit) + u" " +
                         FormatBytesCompact(static_cast<double>(m.commitUsed)) + u"/" +
                         FormatBytesCompact(static_cast<double>(m.commitLimit)),
                     TextStyle::Caption, Box(12, r, 118, r + 14), ToD2D(p.TextSecondary),
                     TextAlign::Leading, false);
  std::u16string word;
  ColorF color = p.TextSecondary;
  switch (m.pressure) {
    case MemoryPressure::kNormal:
      word = LoadText(kTextPressureNormal);
      color = p.Good;
      break;
    case MemoryPressure::kElevated:
      word = LoadText(kTextPressureElevated);
      color = p.Warning;
      break;
    case MemoryPressure::kCritical:
      word = LoadText(kTextPressureCritical);
      color = p.Critical;
      break;
  }
  const float w = renderer_.MeasureTextWidth(word, TextStyle::Caption);
  renderer_.DrawText(word, TextStyle::Caption, Box(178 - w - 1, r, 178, r + 14),
                     ToD2D(p.TextSecondary), TextAlign::Trailing, false);
  renderer_.FillCircle({178 - w - 6, r + 7}, kLegendDot, ToD2D(color));
}

void MonitorWindow::PaintNetwork(float top) {
  const Palette& p = *renderer_.palette;
  const Snapshot& s = sampler_->snapshot();
  DrawSectionHeader(top, LoadText(kTextNetwork), s.netLabel ? *s.netLabel : std::u16string(),
                    p.TextSecondary, TextStyle::Caption, kHeaderHeight);
  const struct {
    float row;
    Glyph glyph;
    ColorF color;
    double value;
    const HistoryRing& history;
  } rows[] = {
      {top + 20, Glyph::Down, p.Accent, s.netReceive, s.netReceiveHistory},
      {top + 39, Glyph::Up, p.Warning, s.netSend, s.netSendHistory},
  };
  for (const auto& row : rows) {
    const float r = row.row;
    renderer_.DrawGlyph(row.glyph, Box(12, r, 22, r + 16), ToD2D(row.color), TextStyle::IconSmall);
    if (s.netRatesValid) {
      renderer_.DrawText(FormatRate(row.value), TextStyle::Body, Box(26, r, 96, r + 16),
                         ToD2D(p.TextPrimary), TextAlign::Leading, false);
    } else {
      renderer_.DrawText(kDash, TextStyle::Body, Box(26, r, 96, r + 16), ToD2D(p.TextSecondary),
                         TextAlign::Leading, false);
    }
    CopyHistory(row.history, historyScratch_);
    double maximum = kNetworkChartFloor;
    for (double value : historyScratch_) {
      maximum = std::max(maximum, value);
    }
    renderer_.DrawHistoryChart(Box(98, r + 1, 178, r + 15), historyScratch_, maximum,
                               ToD2D(row.color));
  }
}

void MonitorWindow::PaintDisk(float top) {
  const Palette& p = *renderer_.palette;
  const DiskSample& d = sampler_->snapshot().disk;
  const std::u16string title = LoadText(kTextDisk);
  if (!d.valid) {
    DrawSectionHeader(top, title, kDash, p.TextSecondary, TextStyle::Body, kHeaderHeight);
    renderer_.DrawBar(Box(12, top + 21, 178, top + 27), 0, ToD2D(p.Accent));
    return;
  }
  const double used = UsedFraction(d.usedBytes, d.totalBytes);
  const int level = DiskAlertLevel(used, settings_.diskAlertThreshold);
  const ColorF bar = level == 0 ? p.Accent : level == 1 ? p.Warning : p.Critical;
  const ColorF value = level == 0 ? p.TextPrimary : bar;
  DrawSectionHeader(
      top, title,
      FormatText(kTextFree,
                 {FormatBytes(static_cast<double>(FreeBytes(d.usedBytes, d.totalBytes)))}),
      value, TextStyle::Body, kHeaderHeight);
  if (level == 2) {
    const float w = renderer_.MeasureTextWidth(title, TextStyle::BodyStrong);
    renderer_.DrawGlyph(Glyph::Warning, Box(12 + w + 3, top, 12 + w + 15, top + 16),
                        ToD2D(p.Critical), TextStyle::IconSmall);
  }
  renderer_.DrawBar(Box(12, top + 21, 178, top + 27), used, ToD2D(bar));
  if (level < 2) {
    renderer_.DrawText(FormatText(kTextUsedOf, {FormatBytes(static_cast<double>(d.usedBytes)),
                                                FormatBytes(static_cast<double>(d.totalBytes))}),
                       TextStyle::Caption, Box(12, top + 32, 178, top + 46), ToD2D(p.TextSecondary),
                       TextAlign::Leading, false);
  } else {
    const std::u16string alert = DiskAlertText();
    const float h = renderer_.MeasureTextHeight(alert, TextStyle::Caption, kCardContentWidth);
    renderer_.DrawText(alert, TextStyle::Caption, Box(12, top + 32, 178, top + 32 + h),
                       ToD2D(p.Critical), TextAlign::Leading, true);
  }
}

void MonitorWindow::PaintSelf(float top) {
  const Palette& p = *renderer_.palette;
  const SelfSample& self = sampler_->snapshot().self;
  const std::u16string value = self.valid
                                   ? u"CPU " + FormatPercent(self.cpuShare, 1) + u" \u00B7 " +
                                         FormatBytes(static_cast<double>(self.privateWorkingSet))
                                   : std::u16string(kDash);
  DrawSectionHeader(top, u"Lumetta", value, p.TextSecondary, TextStyle::Body, kHeaderHeight);
}

}  // namespace lumetta
