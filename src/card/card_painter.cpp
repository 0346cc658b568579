#include "card/card_painter.h"

#include <algorithm>

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

ColorF ToneColor(const Palette& p, Tone tone) {
  switch (tone) {
    case Tone::Primary:
      return p.textPrimary;
    case Tone::Secondary:
      return p.textSecondary;
    case Tone::Tertiary:
      return p.textTertiary;
    case Tone::Good:
      return p.good;
    case Tone::Warning:
      return p.warning;
    case Tone::Critical:
      return p.critical;
  }
  return p.textPrimary;
}

// The first row of most sections: the title left, the headline right.
void DrawSectionHeader(Renderer& r, float top, const CardSectionView& section, TextStyle valueStyle,
                       float rowHeight) {
  const float w = r.MeasureTextWidth(section.title, TextStyle::BodyStrong);
  r.DrawText(section.title, TextStyle::BodyStrong, Box(kLeft, top, kLeft + w + 1, top + rowHeight),
             ToD2D(r.palette->textSecondary), TextAlign::Leading, false);
  r.DrawText(section.headline, valueStyle, Box(kLeft + w + 8, top, kRight, top + rowHeight),
             ToD2D(ToneColor(*r.palette, section.headlineTone)), TextAlign::Trailing, false);
}

// A dot and a caption; returns where the next item starts.
float DrawLegendItem(Renderer& r, float x, float top, const ColorF& color,
                     std::u16string_view text) {
  const float w = r.MeasureTextWidth(text, TextStyle::Caption);
  r.FillCircle({x + kLegendDot, top + 7}, kLegendDot, ToD2D(color));
  r.DrawText(text, TextStyle::Caption, Box(x + 8, top, std::min(kRight, x + 9 + w), top + 14),
             ToD2D(r.palette->textSecondary), TextAlign::Leading, false);
  return x + 8 + w + 8;
}

void PaintUpdate(Renderer& r, const CardSectionView& update, const LaidOutSection& section) {
  const Palette& p = *r.palette;
  const float top = section.top;
  r.DrawGlyph(Glyph::Warning, Box(12, top, 24, top + 16), ToD2D(p.critical), TextStyle::IconSmall);
  r.DrawText(update.title, TextStyle::BodyStrong,
             Box(28, top, 28 + kUpdateTextWidth, top + section.height), ToD2D(p.critical),
             TextAlign::Leading, true);
  r.DrawGlyph(Glyph::OpenExternal, Box(166, top, 178, top + 16), ToD2D(p.critical),
              TextStyle::IconSmall);
}

void PaintClock(Renderer& r, const CardView& view, float top) {
  const Palette& p = *r.palette;
  const CardSectionView& clock = view[SectionId::Clock];
  r.DrawText(clock.captions[0].text, TextStyle::Body, Box(12, top + 8, 114, top + 26),
             ToD2D(p.textSecondary), TextAlign::Leading, false);
  r.DrawText(clock.headline, TextStyle::Title, Box(12, top, 178, top + 28), ToD2D(p.textPrimary),
             TextAlign::Trailing, false);
  r.DrawBar(Box(12, top + 33, 178, top + 39), view.secondOfMinute, ToD2D(p.accent));
}

void PaintMemory(Renderer& r, const CardSectionView& memory, const MemorySample& m, float top) {
  const Palette& p = *r.palette;
  DrawSectionHeader(r, top, memory, TextStyle::Body, kHeaderHeight);
  if (!m.valid) {
    r.DrawBar(Box(12, top + 21, 178, top + 27), 0, ToD2D(p.accent));
    return;
  }
  const double total = m.totalPhysical == 0 ? 1.0 : static_cast<double>(m.totalPhysical);
  const double fractions[] = {static_cast<double>(m.AppBytes()) / total,
                              static_cast<double>(m.kernel) / total};
  const D2D1_COLOR_F colors[] = {ToD2D(p.accent), ToD2D(p.accentAlt)};
  r.DrawSegmentedBar(Box(12, top + 21, 178, top + 27), fractions, colors);
  const auto& captions = memory.captions;
  const float x = DrawLegendItem(r, 12, top + 32, p.accent, captions[0].text);
  DrawLegendItem(r, x, top + 32, p.accentAlt, captions[1].text);

  const float row = top + 49;
  r.DrawText(captions[2].text, TextStyle::Caption, Box(12, row, 118, row + 14),
             ToD2D(p.textSecondary), TextAlign::Leading, false);
  const CardCaption& pressure = captions[3];
  const float w = r.MeasureTextWidth(pressure.text, TextStyle::Caption);
  r.DrawText(pressure.text, TextStyle::Caption, Box(178 - w - 1, row, 178, row + 14),
             ToD2D(p.textSecondary), TextAlign::Trailing, false);
  r.FillCircle({178 - w - 6, row + 7}, kLegendDot, ToD2D(ToneColor(p, pressure.tone)));
}

void PaintDisk(Renderer& r, const CardView& view, float top) {
  const Palette& p = *r.palette;
  const CardSectionView& disk = view[SectionId::Disk];
  DrawSectionHeader(r, top, disk, TextStyle::Body, kHeaderHeight);
  const auto drawLine = [&](const CardCaption& line, float y) {
    r.DrawText(line.text, TextStyle::Caption, Box(12, y, 178, y + 14),
               ToD2D(ToneColor(p, line.tone)), TextAlign::Leading, false);
  };
  if (!view.diskMeasured) {
    r.DrawBar(Box(12, top + 21, 178, top + 27), 0, ToD2D(p.accent));
    if (disk.captions.size() > 1) {
      drawLine(disk.captions[1], top + 46);
    }
    return;
  }
  const ColorF bar = view.diskAlert == DiskAlert::None ? p.accent : ToneColor(p, disk.headlineTone);
  if (view.diskAlert == DiskAlert::Over) {
    const float w = r.MeasureTextWidth(disk.title, TextStyle::BodyStrong);
    r.DrawGlyph(Glyph::Warning, Box(12 + w + 3, top, 12 + w + 15, top + 16), ToD2D(p.critical),
                TextStyle::IconSmall);
  }
  r.DrawBar(Box(12, top + 21, 178, top + 27), view.diskUsed, ToD2D(bar));
  const CardCaption& line = disk.captions[0];
  float below = top + 46;
  if (view.diskAlert != DiskAlert::Over) {
    drawLine(line, top + 32);
  } else {
    const float h = r.MeasureTextHeight(line.text, TextStyle::Caption, kCardContentWidth);
    r.DrawText(line.text, TextStyle::Caption, Box(12, top + 32, 178, top + 32 + h),
               ToD2D(ToneColor(p, line.tone)), TextAlign::Leading, true);
    below = std::max(below, top + 32 + h);
  }
  if (disk.captions.size() > 1) {  // the activity
    drawLine(disk.captions[1], below);
  }
}

void PaintBattery(Renderer& r, const CardSectionView& battery, float top) {
  DrawSectionHeader(r, top, battery, TextStyle::Body, kHeaderHeight);
  const CardCaption& state = battery.captions[0];
  r.DrawText(state.text, TextStyle::Caption, Box(12, top + 20, 178, top + 34),
             ToD2D(ToneColor(*r.palette, state.tone)), TextAlign::Leading, false);
}

// Each line a name, and its figure at the end in a column of its own; the lists' headers in
// the quieter colour.
void PaintProcesses(Renderer& r, const CardSectionView& processes, float top) {
  constexpr float kFigureColumn = 40;  // "100%", "1023M"
  const Palette& p = *r.palette;
  DrawSectionHeader(r, top, processes, TextStyle::Body, kHeaderHeight);
  float y = top + 20;
  for (const CardCaption& line : processes.captions) {
    r.DrawText(line.text, TextStyle::Caption, Box(12, y, 178 - kFigureColumn - 4, y + 14),
               ToD2D(ToneColor(p, line.tone)), TextAlign::Leading, false);
    r.DrawText(line.figure, TextStyle::Caption, Box(178 - kFigureColumn, y, 178, y + 14),
               ToD2D(p.textPrimary), TextAlign::Trailing, false);
    y += 14;
  }
}

void PaintHoverButtons(Renderer& r, const CardFrame& frame) {
  const Palette& p = *r.palette;
  const struct {
    HoverButton id;
    RectF box;
    Glyph glyph;
  } buttons[] = {
      {HoverButton::Settings, kSettingsButtonBox, Glyph::Settings},
      {HoverButton::Pin, kPinButtonBox, frame.view.pinned ? Glyph::Pinned : Glyph::Unpinned},
  };
  for (const auto& button : buttons) {
    const bool hovered = button.id == frame.hoveredButton;
    r.FillRect(ToD2D(button.box), ToD2D(p.buttonFace), 4);
    if (p.highContrast) {
      // Outlined, and in the highlight colour under the pointer: no tint of our own.
      r.StrokeRoundedRect(ToD2D(button.box), ToD2D(hovered ? p.accent : p.textSecondary), 4,
                          hovered ? 2.0f : 1.0f);
    } else if (hovered) {
      r.FillRect(ToD2D(button.box), ToD2D(p.hoverFill), 4);
    }
    r.DrawGlyph(button.glyph, ToD2D(button.box), ToD2D(p.textSecondary), TextStyle::IconSmall);
  }
}

}  // namespace

std::optional<float> CardPainter::DiskAlertTextHeight(Renderer& renderer, const CardView& view) {
  const CardSectionView& disk = view[SectionId::Disk];
  if (view.diskAlert != DiskAlert::Over || disk.captions.empty()) {
    return std::nullopt;
  }
  return renderer.MeasureTextHeight(disk.captions[0].text, TextStyle::Caption, kCardContentWidth);
}

float CardPainter::UpdateTextHeight(Renderer& renderer, const CardView& view) {
  return renderer.MeasureTextHeight(view[SectionId::Update].title, TextStyle::BodyStrong,
                                    kUpdateTextWidth);
}

void CardPainter::Paint(Renderer& r, const CardFrame& frame) {
  const Palette& p = *r.palette;
  if (frame.layout.sections.empty()) {
    r.DrawText(frame.view.nothingToShow, TextStyle::Body, Box(kLeft, 12, kRight, 44),
               ToD2D(p.textSecondary), TextAlign::Center, true);
  }
  for (const LaidOutSection& section : frame.layout.sections) {
    if (section.dividerTop >= 0) {
      r.FillRect(Box(kLeft, section.dividerTop, kRight, section.dividerTop + 1), ToD2D(p.divider),
                 0);
    }
    PaintSection(r, frame, section);
  }
  if (frame.hovering) {
    PaintHoverButtons(r, frame);
  }
}

void CardPainter::PaintSection(Renderer& r, const CardFrame& frame, const LaidOutSection& section) {
  const CardView& view = frame.view;
  const float top = section.top;
  switch (section.id) {
    case SectionId::Update:
      PaintUpdate(r, view[SectionId::Update], section);
      return;
    case SectionId::Clock:
      PaintClock(r, view, top);
      return;
    case SectionId::Cpu:
    case SectionId::Gpu:
      PaintLoad(r, frame, section.id, top);
      return;
    case SectionId::Memory:
      PaintMemory(r, view[SectionId::Memory], frame.snapshot.memory, top);
      return;
    case SectionId::Network:
      PaintNetwork(r, frame, top);
      return;
    case SectionId::Disk:
      PaintDisk(r, view, top);
      return;
    case SectionId::Battery:
      PaintBattery(r, view[SectionId::Battery], top);
      return;
    case SectionId::Processes:
      PaintProcesses(r, view[SectionId::Processes], top);
      return;
    case SectionId::Self:
      DrawSectionHeader(r, top, view[SectionId::Self], TextStyle::Body, kHeaderHeight);
      return;
  }
}

// The CPU's and GPU's load in large figures, the hardware's names and the history; the CPU's
// cores below.
void CardPainter::PaintLoad(Renderer& r, const CardFrame& frame, SectionId id, float top) {
  const Palette& p = *r.palette;
  const Snapshot& s = frame.snapshot;
  const CardSectionView& section = frame.view[id];
  const bool cpu = id == SectionId::Cpu;
  DrawSectionHeader(r, top, section, TextStyle::Subtitle, kBigHeaderHeight);
  float y = top + kBigHeaderHeight;
  for (const CardCaption& detail : section.captions) {
    r.DrawText(detail.text, TextStyle::Caption, Box(12, y, 178, y + 14),
               ToD2D(ToneColor(p, detail.tone)), TextAlign::Leading, false);
    y += 14;
  }
  CopyHistory(cpu ? s.cpuHistory : s.gpuHistory, history_);
  r.DrawHistoryChart(Box(12, y + 6, 178, y + (cpu ? 36.0f : 30.0f)), history_, 1.0,
                     ToD2D(p.accent));
  if (cpu && frame.view.coreBars && s.cpuValid) {
    r.DrawCoreBars(Box(12, y + 42, 178, y + 62), s.cpuCores, ToD2D(p.accent));
  }
}

void CardPainter::PaintNetwork(Renderer& r, const CardFrame& frame, float top) {
  const Palette& p = *r.palette;
  const Snapshot& s = frame.snapshot;
  const CardSectionView& network = frame.view[SectionId::Network];
  DrawSectionHeader(r, top, network, TextStyle::Caption, kHeaderHeight);
  const struct {
    float row;
    Glyph glyph;
    ColorF color;
    const CardCaption& rate;
    const HistoryRing& history;
  } rows[] = {
      {top + 20, Glyph::Down, p.accent, network.captions[0], s.netReceiveHistory},
      {top + 39, Glyph::Up, p.warning, network.captions[1], s.netSendHistory},
  };
  for (const auto& row : rows) {
    const float y = row.row;
    r.DrawGlyph(row.glyph, Box(12, y, 22, y + 16), ToD2D(row.color), TextStyle::IconSmall);
    r.DrawText(row.rate.text, TextStyle::Body, Box(26, y, 96, y + 16),
               ToD2D(ToneColor(p, row.rate.tone)), TextAlign::Leading, false);
    CopyHistory(row.history, history_);
    double maximum = kNetworkChartFloor;
    for (double value : history_) {
      maximum = std::max(maximum, value);
    }
    r.DrawHistoryChart(Box(98, y + 1, 178, y + 15), history_, maximum, ToD2D(row.color));
  }
}

}  // namespace lumetta
