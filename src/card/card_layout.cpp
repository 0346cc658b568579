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
constexpr float kBatteryHeight = 34;
constexpr float kProcessesHeight = 20 + 8 * 14;  // two headed lists of three
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

SectionEntries CardSections(const Settings& s, UpdateState updateState,
                            std::optional<float> diskAlertTextHeight,
                            std::optional<float> updateTextHeight, bool battery) {
  SectionEntries entries;
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
    entries.push_back({SectionId::Gpu, kHeaderRow + details + (s.showGpuDetails ? kDetailLine : 0) +
                                           kChartGap + kGpuChart});
  }
  if (s.showMemory) {
    entries.push_back({SectionId::Memory, kMemoryHeight});
  }
  if (s.showNetwork) {
    entries.push_back({SectionId::Network, kNetworkHeight});
  }
  if (s.showDisk) {
    entries.push_back({SectionId::Disk, kDiskTop +
                                            std::max(kDiskLine, diskAlertTextHeight.value_or(0)) +
                                            (s.showDiskActivity ? kDiskLine : 0)});
  }
  if (s.showBattery && battery) {
    entries.push_back({SectionId::Battery, kBatteryHeight});
  }
  if (s.showProcesses) {
    entries.push_back({SectionId::Processes, kProcessesHeight});
  }
  if (s.showSelf) {
    entries.push_back({SectionId::Self, kSelfHeight});
  }
  return entries;
}

SectionLayout StackSections(const SectionEntries& entries) {
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

void AppendBytes(std::u16string& out, double bytes) {
  static constexpr std::array<const char*, 6> kUnits{"B", "KB", "MB", "GB", "TB", "PB"};
  double value = bytes > 0 ? bytes : 0;
  const int unit = Scale(value);
  const int decimals = unit > 0 && value < 100 ? 1 : 0;
  AppendPrintf(out, "%.*f %s", decimals, RoundToDecimals(value, decimals),
               kUnits[static_cast<std::size_t>(unit)]);
}

void AppendBytesCompact(std::u16string& out, double bytes) {
  static constexpr std::array<char, 6> kUnits{'B', 'K', 'M', 'G', 'T', 'P'};
  double value = bytes > 0 ? bytes : 0;
  const int unit = Scale(value);
  const int decimals = unit > 0 && value < 10 ? 1 : 0;
  AppendPrintf(out, "%.*f%c", decimals, RoundToDecimals(value, decimals),
               kUnits[static_cast<std::size_t>(unit)]);
}

void AppendRate(std::u16string& out, double bytesPerSecond, bool bits) {
  if (!bits) {
    AppendBytes(out, std::isfinite(bytesPerSecond) ? RoundHalfAway(bytesPerSecond) : 0);
    out += u"/s";
    return;
  }
  static constexpr std::array<const char*, 5> kUnits{"b/s", "kb/s", "Mb/s", "Gb/s", "Tb/s"};
  double value =
      std::isfinite(bytesPerSecond) && bytesPerSecond > 0 ? RoundHalfAway(bytesPerSecond * 8) : 0;
  std::size_t unit = 0;
  // From 999.5 a unit would print as "1000": it is shown as 1.0 of the next.
  while (unit + 1 < kUnits.size() && value >= 999.5) {
    value /= 1000;
    ++unit;
  }
  const int decimals = unit > 0 && value < 99.95 ? 1 : 0;
  AppendPrintf(out, "%.*f %s", decimals, RoundToDecimals(value, decimals), kUnits[unit]);
}

void AppendPercent(std::u16string& out, double fraction, int decimals) {
  AppendPrintf(out, "%.*f%%", decimals, RoundToDecimals(fraction * 100, decimals));
}

std::u16string FormatBytes(double bytes) {
  std::u16string text;
  AppendBytes(text, bytes);
  return text;
}

std::u16string FormatBytesCompact(double bytes) {
  std::u16string text;
  AppendBytesCompact(text, bytes);
  return text;
}

std::u16string FormatRate(double bytesPerSecond, bool bits) {
  std::u16string text;
  AppendRate(text, bytesPerSecond, bits);
  return text;
}

std::u16string FormatPercent(double fraction, int decimals) {
  std::u16string text;
  AppendPercent(text, fraction, decimals);
  return text;
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
