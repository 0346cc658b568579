#include "card/card_painter.h"

#include <algorithm>

#include "app/strings.h"
#include "app/text_ids.h"
#include "base/wide.h"
#include "card/card_text.h"
#include "draw/renderer.h"

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

void CopyHistory(const HistoryRing& ring, std::vector<double>& out) {
  out.clear();
  for (std::size_t i = 0; i < ring.count(); ++i) {
    out.push_back(ring.at(i));
  }
}

// The first row of most sections: the title left, the value right.
void DrawSectionHeader(Renderer& r, float top, std::u16string_view title, std::u16string_view value,
                       const ColorF& valueColor, TextStyle valueStyle, float rowHeight) {
  const float w = r.MeasureTextWidth(title, TextStyle::BodyStrong);
  r.DrawText(title, TextStyle::BodyStrong, Box(kLeft, top, kLeft + w + 1, top + rowHeight),
             ToD2D(r.palette->TextSecondary), TextAlign::Leading, false);
  r.DrawText(value, valueStyle, Box(kLeft + w + 8, top, kRight, top + rowHeight), ToD2D(valueColor),
             TextAlign::Trailing, false);
}

// The CPU's and GPU's first row: the load in large figures, or a dash.
void DrawLoadHeader(Renderer& r, float top, std::u16string_view title, bool valid, double load) {
  const Palette& p = *r.palette;
  DrawSectionHeader(r, top, title, valid ? FormatPercent(load, 0) : std::u16string(kDash),
                    valid ? p.TextPrimary : p.TextSecondary, TextStyle::Subtitle, kBigHeaderHeight);
}

// A dot and a caption; returns where the next item starts.
float DrawLegendItem(Renderer& r, float x, float top, const ColorF& color,
                     std::u16string_view text) {
  const float w = r.MeasureTextWidth(text, TextStyle::Caption);
  r.FillCircle({x + kLegendDot, top + 7}, kLegendDot, ToD2D(color));
  r.DrawText(text, TextStyle::Caption, Box(x + 8, top, std::min(kRight, x + 9 + w), top + 14),
             ToD2D(r.palette->TextSecondary), TextAlign::Leading, false);
  return x + 8 + w + 8;
}

void PaintUpdate(Renderer& r, const CardView& view, float top) {
  const Palette& p = *r.palette;
  float height = 16;
  for (const LaidOutSection& section : view.layout.sections) {
    height = section.id == SectionId::Update ? section.height : height;
  }
  r.DrawGlyph(Glyph::Warning, Box(12, top, 24, top + 16), ToD2D(p.Critical), TextStyle::IconSmall);
  r.DrawText(FormatText(kTextUpdateRequired, {view.updateVersion}), TextStyle::BodyStrong,
             Box(28, top, 28 + kUpdateTextWidth, top + height), ToD2D(p.Critical),
             TextAlign::Leading, true);
  r.DrawGlyph(Glyph::OpenExternal, Box(166, top, 178, top + 16), ToD2D(p.Critical),
              TextStyle::IconSmall);
}

void PaintClock(Renderer& r, const CardView& view, float top) {
  const Palette& p = *r.palette;
  r.DrawText(DateText(view.now, view.settings.showClockYear), TextStyle::Body,
             Box(12, top + 8, 114, top + 26), ToD2D(p.TextSecondary), TextAlign::Leading, false);
  r.DrawText(ClockTimeText(view.now.wHour, view.now.wMinute), TextStyle::Title,
             Box(12, top, 178, top + 28), ToD2D(p.TextPrimary), TextAlign::Trailing, false);
  r.DrawBar(Box(12, top + 33, 178, top + 39), view.now.wSecond / 60.0, ToD2D(p.Accent));
}

void PaintMemory(Renderer& r, const MemorySample& m, float top) {
  const Palette& p = *r.palette;
  const std::u16string title = LoadText(kTextMemory);
  if (!m.valid) {
    DrawSectionHeader(r, top, title, kDash, p.TextSecondary, TextStyle::Body, kHeaderHeight);
    r.DrawBar(Box(12, top + 21, 178, top + 27), 0, ToD2D(p.Accent));
    return;
  }
  DrawSectionHeader(r, top, title, MemoryUsedText(m), p.TextPrimary, TextStyle::Body,
                    kHeaderHeight);
  const double total = m.totalPhysical == 0 ? 1.0 : static_cast<double>(m.totalPhysical);
  const double app = static_cast<double>(m.appBytes());
  const double fractions[] = {app / total, static_cast<double>(m.kernel) / total};
  const D2D1_COLOR_F colors[] = {ToD2D(p.Accent), ToD2D(p.AccentAlt)};
  r.DrawSegmentedBar(Box(12, top + 21, 178, top + 27), fractions, colors);
  const float x = DrawLegendItem(r, 12, top + 32, p.Accent,
                                 LoadText(kTextApp) + u" " + FormatBytesCompact(app));
  DrawLegendItem(r, x, top + 32, p.AccentAlt,
                 LoadText(kTextKernel) + u" " + FormatBytesCompact(static_cast<double>(m.kernel)));

  const float row = top + 49;
  r.DrawText(LoadText(kTextCommit) + u" " + FormatBytesCompact(static_cast<double>(m.commitUsed)) +
                 u"/" + FormatBytesCompact(static_cast<double>(m.commitLimit)),
             TextStyle::Caption, Box(12, row, 118, row + 14), ToD2D(p.TextSecondary),
             TextAlign::Leading, false);
  const std::u16string word = LoadText(PressureTextId(m.pressure));
  const ColorF color = m.pressure == MemoryPressure::kCritical   ? p.Critical
                       : m.pressure == MemoryPressure::kElevated ? p.Warning
                                                                 : p.Good;
  const float w = r.MeasureTextWidth(word, TextStyle::Caption);
  r.DrawText(word, TextStyle::Caption, Box(178 - w - 1, row, 178, row + 14), ToD2D(p.TextSecondary),
             TextAlign::Trailing, false);
  r.FillCircle({178 - w - 6, row + 7}, kLegendDot, ToD2D(color));
}

void PaintDisk(Renderer& r, const CardView& view, float top) {
  const Palette& p = *r.palette;
  const DiskSample& d = view.snapshot.disk;
  const std::u16string title = LoadText(kTextDisk);
  if (!d.valid) {
    DrawSectionHeader(r, top, title, kDash, p.TextSecondary, TextStyle::Body, kHeaderHeight);
    r.DrawBar(Box(12, top + 21, 178, top + 27), 0, ToD2D(p.Accent));
    return;
  }
  const double used = UsedFraction(d.usedBytes, d.totalBytes);
  const DiskAlert alert = DiskAlertLevel(used, view.settings.diskAlertThreshold);
  const ColorF bar = alert == DiskAlert::None   ? p.Accent
                     : alert == DiskAlert::Near ? p.Warning
                                                : p.Critical;
  const ColorF value = alert == DiskAlert::None ? p.TextPrimary : bar;
  DrawSectionHeader(r, top, title, DiskFreeText(d, ProgramTexts()), value, TextStyle::Body,
                    kHeaderHeight);
  if (alert == DiskAlert::Over) {
    const float w = r.MeasureTextWidth(title, TextStyle::BodyStrong);
    r.DrawGlyph(Glyph::Warning, Box(12 + w + 3, top, 12 + w + 15, top + 16), ToD2D(p.Critical),
                TextStyle::IconSmall);
  }
  r.DrawBar(Box(12, top + 21, 178, top + 27), used, ToD2D(bar));
  if (alert != DiskAlert::Over) {
    r.DrawText(DiskUsedOfText(d, ProgramTexts()), TextStyle::Caption,
               Box(12, top + 32, 178, top + 46), ToD2D(p.TextSecondary), TextAlign::Leading, false);
  } else {
    const std::u16string text = DiskAlertText(view.settings, ProgramTexts());
    const float h = r.MeasureTextHeight(text, TextStyle::Caption, kCardContentWidth);
    r.DrawText(text, TextStyle::Caption, Box(12, top + 32, 178, top + 32 + h), ToD2D(p.Critical),
               TextAlign::Leading, true);
  }
}

void PaintSelf(Renderer& r, const SelfSample& self, float top) {
  const std::u16string value = self.valid ? SelfText(self) : std::u16string(kDash);
  DrawSectionHeader(r, top, u"Lumetta", value, r.palette->TextSecondary, TextStyle::Body,
                    kHeaderHeight);
}

void PaintHoverButtons(Renderer& r, const CardView& view) {
  const Palette& p = *r.palette;
  const struct {
    HoverButton id;
    RectF box;
    Glyph glyph;
  } buttons[] = {
      {HoverButton::Settings, kSettingsButtonBox, Glyph::Settings},
      {HoverButton::Pin, kPinButtonBox,
       view.settings.alwaysOnTop ? Glyph::Pinned : Glyph::Unpinned},
  };
  for (const auto& button : buttons) {
    const bool hovered = button.id == view.hoveredButton;
    r.FillRect(ToD2D(button.box), ToD2D(p.ButtonFace), 4);
    if (p.highContrast) {
      // Outlined, and in the highlight colour under the pointer: no tint of our own.
      r.StrokeRoundedRect(ToD2D(button.box), ToD2D(hovered ? p.Accent : p.TextSecondary), 4,
                          hovered ? 2.0f : 1.0f);
    } else if (hovered) {
      r.FillRect(ToD2D(button.box), ToD2D(p.HoverFill), 4);
    }
    r.DrawGlyph(button.glyph, ToD2D(button.box), ToD2D(p.TextSecondary), TextStyle::IconSmall);
  }
}

}  // namespace

std::u16string DateText(const SYSTEMTIME& now, bool withYear) {
  const std::u16string picture = LoadText(withYear ? kTextDatePatternYear : kTextDatePattern);
  wchar_t date[64] = {};
  if (GetDateFormatEx(AsWide(LocaleName().data()), 0, &now, AsWide(picture.c_str()), date, 64,
                      nullptr) == 0) {
    return {};
  }
  return std::u16string(AsU16(date));
}

std::optional<float> CardPainter::DiskAlertTextHeight(Renderer& renderer, const Snapshot& snapshot,
                                                      const Settings& settings) {
  const DiskSample& disk = snapshot.disk;
  if (!disk.valid || DiskAlertLevel(UsedFraction(disk.usedBytes, disk.totalBytes),
                                    settings.diskAlertThreshold) != DiskAlert::Over) {
    return std::nullopt;
  }
  return renderer.MeasureTextHeight(DiskAlertText(settings, ProgramTexts()), TextStyle::Caption,
                                    kCardContentWidth);
}

float CardPainter::UpdateTextHeight(Renderer& renderer, std::u16string_view version) {
  return renderer.MeasureTextHeight(FormatText(kTextUpdateRequired, {version}),
                                    TextStyle::BodyStrong, kUpdateTextWidth);
}

void CardPainter::Paint(Renderer& r, const CardView& view) {
  const Palette& p = *r.palette;
  if (view.layout.sections.empty()) {
    r.DrawText(LoadText(kTextNothingToShow), TextStyle::Body, Box(kLeft, 12, kRight, 44),
               ToD2D(p.TextSecondary), TextAlign::Center, true);
  }
  for (const LaidOutSection& section : view.layout.sections) {
    if (section.dividerTop >= 0) {
      r.FillRect(Box(kLeft, section.dividerTop, kRight, section.dividerTop + 1), ToD2D(p.Divider),
                 0);
    }
    PaintSection(r, view, section.id, section.top);
  }
  if (view.hovering) {
    PaintHoverButtons(r, view);
  }
}

void CardPainter::PaintSection(Renderer& r, const CardView& view, SectionId id, float top) {
  switch (id) {
    case SectionId::Update:
      PaintUpdate(r, view, top);
      return;
    case SectionId::Clock:
      PaintClock(r, view, top);
      return;
    case SectionId::Cpu:
      PaintCpu(r, view, top);
      return;
    case SectionId::Gpu:
      PaintGpu(r, view, top);
      return;
    case SectionId::Memory:
      PaintMemory(r, view.snapshot.memory, top);
      return;
    case SectionId::Network:
      PaintNetwork(r, view, top);
      return;
    case SectionId::Disk:
      PaintDisk(r, view, top);
      return;
    case SectionId::Self:
      PaintSelf(r, view.snapshot.self, top);
      return;
  }
}

void CardPainter::PaintCpu(Renderer& r, const CardView& view, float top) {
  const Palette& p = *r.palette;
  const Snapshot& s = view.snapshot;
  DrawLoadHeader(r, top, u"CPU", s.cpuValid, s.cpuTotal);
  float y = top + kBigHeaderHeight;
  if (view.settings.showHardwareDetails) {
    r.DrawText(CpuDetailText(s), TextStyle::Caption, Box(12, y, 178, y + 14), ToD2D(p.TextTertiary),
               TextAlign::Leading, false);
    y += 14;
  }
  CopyHistory(s.cpuHistory, history_);
  r.DrawHistoryChart(Box(12, y + 6, 178, y + 36), history_, 1.0, ToD2D(p.Accent));
  if (view.settings.showCoreBars && s.cpuValid) {
    r.DrawCoreBars(Box(12, y + 42, 178, y + 62), s.cpuCores, ToD2D(p.Accent));
  }
}

void CardPainter::PaintGpu(Renderer& r, const CardView& view, float top) {
  const Palette& p = *r.palette;
  const Snapshot& s = view.snapshot;
  DrawLoadHeader(r, top, u"GPU", s.gpuValid, s.gpuBusy);
  float y = top + kBigHeaderHeight;
  if (view.settings.showHardwareDetails) {
    r.DrawText(JoinNames(s.gpuVendor, s.gpuModel), TextStyle::Caption, Box(12, y, 178, y + 14),
               ToD2D(p.TextTertiary), TextAlign::Leading, false);
    y += 14;
  }
  CopyHistory(s.gpuHistory, history_);
  r.DrawHistoryChart(Box(12, y + 6, 178, y + 30), history_, 1.0, ToD2D(p.Accent));
}

void CardPainter::PaintNetwork(Renderer& r, const CardView& view, float top) {
  const Palette& p = *r.palette;
  const Snapshot& s = view.snapshot;
  DrawSectionHeader(r, top, LoadText(kTextNetwork), s.netLabel ? *s.netLabel : std::u16string(),
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
    const float y = row.row;
    r.DrawGlyph(row.glyph, Box(12, y, 22, y + 16), ToD2D(row.color), TextStyle::IconSmall);
    if (s.netRatesValid) {
      r.DrawText(FormatRate(row.value), TextStyle::Body, Box(26, y, 96, y + 16),
                 ToD2D(p.TextPrimary), TextAlign::Leading, false);
    } else {
      r.DrawText(kDash, TextStyle::Body, Box(26, y, 96, y + 16), ToD2D(p.TextSecondary),
                 TextAlign::Leading, false);
    }
    CopyHistory(row.history, history_);
    double maximum = kNetworkChartFloor;
    for (double value : history_) {
      maximum = std::max(maximum, value);
    }
    r.DrawHistoryChart(Box(98, y + 1, 178, y + 15), history_, maximum, ToD2D(row.color));
  }
}

}  // namespace lumetta
