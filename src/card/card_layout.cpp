#include "card/card_layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "base/printf.h"
#include "base/rounding.h"

namespace lumetta {
namespace {

constexpr float kUpdateHeight = 16;
constexpr float kClockHeight = 39;
constexpr float kHeaderRow = 24;
constexpr float kDetailLine = 14;
constexpr float kChartGap = 6;
constexpr float kCpuChart = 30;
constexpr float kCoreBars = 26;
constexpr float kGpuChart = 24;
constexpr float kMemoryHeight = 63;
constexpr float kNetworkHeight = 55;
constexpr float kDiskTop = 32;
constexpr float kDiskLine = 14;
constexpr float kSelfHeight = 16;
constexpr float kEdge = 12;
constexpr float kDividerGap = 10;
constexpr float kDividerSpace = 11;

// Divides by 1024 while the value reaches 1000, up to petabytes.
int Scale(double& value) {
  int unit = 0;
  while (value >= 1000 && unit < 5) {
    value /= 1024;
    ++unit;
  }
  return unit;
}

}  // namespace

std::vector<SectionEntry> CardSections(const Settings& s, UpdateState updateState,
                                       std::optional<float> diskAlertTextHeight,
                                       std::optional<float> updateTextHeight) {
  std::vector<SectionEntry> entries;
  if (updateState == UpdateState::Required) {
    entries.push_back({SectionId::Update, std::max(kUpdateHeight, updateTextHeight.value_or(0))});
  }
  if (s.showClock) {
    entries.push_back({SectionId::Clock, kClockHeight});
  }
  const float details = s.showHardwareDetails ? kDetailLine : 0;
  if (s.showCpu) {
    entries.push_back({SectionId::Cpu, kHeaderRow + details + kChartGap + kCpuChart +
                                           (s.showCoreBars ? kCoreBars : 0)});
  }
  if (s.showGpu) {
    entries.push_back({SectionId::Gpu, kHeaderRow + details + kChartGap + kGpuChart});
  }
  if (s.showMemory) {
    entries.push_back({SectionId::Memory, kMemoryHeight});
  }
  if (s.showNetwork) {
    entries.push_back({SectionId::Network, kNetworkHeight});
  }
  if (s.showDisk) {
    entries.push_back(
        {SectionId::Disk, kDiskTop + std::max(kDiskLine, diskAlertTextHeight.value_or(0))});
  }
  if (s.showSelf) {
    entries.push_back({SectionId::Self, kSelfHeight});
  }
  return entries;
}

SectionLayout StackSections(const std::vector<SectionEntry>& entries) {
  SectionLayout layout;
  if (entries.empty()) {
    return layout;
  }
  float y = kEdge;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    float dividerTop = -1;
    if (i > 0) {
      y += kDividerGap;
      dividerTop = y;
      y += kDividerSpace;
    }
    layout.sections.push_back({entries[i].id, y, entries[i].height, dividerTop});
    y += entries[i].height;
  }
  layout.totalHeight = y + kEdge;
  return layout;
}

HoverButton ButtonAt(PointF dip) {
  const auto in = [&](const RectF& box) {
    return dip.x >= box.left && dip.x < box.right && dip.y >= box.top && dip.y < box.bottom;
  };
  if (in(kSettingsButtonBox)) {
    return HoverButton::Settings;
  }
  return in(kPinButtonBox) ? HoverButton::Pin : HoverButton::None;
}

bool OnUpdateLine(const SectionLayout& layout, float y) {
  constexpr float kSlack = 4;
  for (const LaidOutSection& section : layout.sections) {
    if (section.id == SectionId::Update) {
      return y >= section.top - kSlack && y < section.top + section.height + kSlack;
    }
  }
  return false;
}

float CardScale(std::uint32_t dpi, double displayScale) {
  return static_cast<float>(dpi) / 96.0f * static_cast<float>(displayScale);
}

PixelSize CardWindowSize(std::uint32_t dpi, double displayScale, float totalHeight) {
  const float s = CardScale(dpi, displayScale);
  return {static_cast<int>(RoundHalfAway(kCardWidth * s)),
          static_cast<int>(std::ceil(totalHeight * s))};
}

std::u16string FormatBytes(double bytes) {
  static constexpr std::array<const char*, 6> kUnits{"B", "KB", "MB", "GB", "TB", "PB"};
  double value = bytes > 0 ? bytes : 0;
  const int unit = Scale(value);
  const int decimals = unit > 0 && value < 100 ? 1 : 0;
  return AsciiToU16(StringPrintf("%.*f %s", decimals, RoundToDecimals(value, decimals),
                                 kUnits[static_cast<std::size_t>(unit)]));
}

std::u16string FormatBytesCompact(double bytes) {
  static constexpr std::array<char, 6> kUnits{'B', 'K', 'M', 'G', 'T', 'P'};
  double value = bytes > 0 ? bytes : 0;
  const int unit = Scale(value);
  const int decimals = unit > 0 && value < 10 ? 1 : 0;
  return AsciiToU16(StringPrintf("%.*f%c", decimals, RoundToDecimals(value, decimals),
                                 kUnits[static_cast<std::size_t>(unit)]));
}

std::u16string FormatRate(double bytesPerSecond) {
  const double rounded = std::isfinite(bytesPerSecond) ? RoundHalfAway(bytesPerSecond) : 0;
  return FormatBytes(rounded) + u"/s";
}

std::u16string FormatPercent(double fraction, int decimals) {
  return AsciiToU16(StringPrintf("%.*f%%", decimals, RoundToDecimals(fraction * 100, decimals)));
}

DiskAlert DiskAlertLevel(double usedFraction, double threshold) {
  if (usedFraction >= threshold) {
    return DiskAlert::Over;
  }
  return usedFraction >= threshold - 0.1 ? DiskAlert::Near : DiskAlert::None;
}

double UsedFraction(std::uint64_t used, std::uint64_t total) {
  return total == 0 ? 0 : static_cast<double>(used) / static_cast<double>(total);
}

std::uint64_t FreeBytes(std::uint64_t used, std::uint64_t total) {
  return used >= total ? 0 : total - used;
}

}  // namespace lumetta
