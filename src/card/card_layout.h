// What the card shows and where: its sections, their heights and stacking, the window size,
// and the number formats of its values. DIPs throughout, except the window size in pixels.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/fixed_list.h"
#include "base/geometry.h"
#include "settings/settings.h"
#include "update/update_info.h"

namespace lumetta {

enum class SectionId : std::uint32_t {
  Update = 0,
  Clock = 1,
  Cpu = 2,
  Gpu = 3,
  Memory = 4,
  Network = 5,
  Disk = 6,
  Self = 7,
  Battery = 8,
  Processes = 9,
};
inline constexpr std::size_t kSectionCount = 10;

inline constexpr float kCardWidth = 190;
inline constexpr float kCardLeft = 12;
inline constexpr float kCardRight = 178;
inline constexpr float kCardContentWidth = kCardRight - kCardLeft;
// Between the update line's warning and link glyphs.
inline constexpr float kUpdateTextWidth = 134;
inline constexpr float kEmptyCardHeight = 56;

struct LaidOutSection {
  SectionId id;
  float top;
  float height;
  float dividerTop;  // -1 for the first section
};

// Fixed lists: laying the card out at every tick allocates nothing.
struct SectionLayout {
  FixedList<LaidOutSection, kSectionCount> sections;
  float totalHeight = kEmptyCardHeight;
};

struct SectionEntry {
  SectionId id;
  float height;
};
using SectionEntries = FixedList<SectionEntry, kSectionCount>;

// The present sections, top to bottom, with their heights. `diskAlertTextHeight` is the
// wrapped height of the alert text, or nothing when the disk is not in the alert state.
// The disk alert's and the update line's texts wrap: their measured heights, where shown.
// The battery's section shows only where the system has a battery.
[[nodiscard]] SectionEntries CardSections(const Settings& settings, UpdateState updateState,
                                          std::optional<float> diskAlertTextHeight,
                                          std::optional<float> updateTextHeight = std::nullopt,
                                          bool battery = false);
[[nodiscard]] SectionLayout StackSections(const SectionEntries& entries);

// The two buttons shown while the pointer is over the card, in card DIPs.
enum class HoverButton : std::uint32_t { None = 0, Settings = 1, Pin = 2 };
inline constexpr RectF kSettingsButtonBox{147, 5, 165, 23};
inline constexpr RectF kPinButtonBox{167, 5, 185, 23};
// Left and top edges belong to a button, right and bottom ones do not.
[[nodiscard]] HoverButton ButtonAt(PointF dip);
// Whether a point at `y` DIPs is on the update line (4 DIPs of slack above and below it).
[[nodiscard]] bool OnUpdateLine(const SectionLayout& layout, float y);

struct PixelSize {
  int width;
  int height;
  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};
// Width rounded to the nearest pixel, height rounded up, at s = dpi / 96 × displayScale.
[[nodiscard]] PixelSize CardWindowSize(std::uint32_t dpi, double displayScale, float totalHeight);
[[nodiscard]] float CardScale(std::uint32_t dpi, double displayScale);

// "999 B", "1.0 KB", "16.0 GB", "512 GB".
[[nodiscard]] std::u16string FormatBytes(double bytes);
// "8.2G", "512M", "640B".
[[nodiscard]] std::u16string FormatBytesCompact(double bytes);
// "0 B/s", "1.5 MB/s"; in bits, "0 b/s", "12.0 Mb/s" (steps of 1000, as links are rated); a
// value that is not finite counts as 0.
[[nodiscard]] std::u16string FormatRate(double bytesPerSecond, bool bits = false);
// "37%" with 0 decimals, "0.4%" with 1.
[[nodiscard]] std::u16string FormatPercent(double fraction, int decimals);
// The same texts appended to `out`: a tick that formats into strings with room allocates nothing.
void AppendBytes(std::u16string& out, double bytes);
void AppendBytesCompact(std::u16string& out, double bytes);
void AppendRate(std::u16string& out, double bytesPerSecond, bool bits = false);
void AppendPercent(std::u16string& out, double fraction, int decimals);
inline constexpr std::u16string_view kDash = u"\u2014";

enum class DiskAlert {
  None = 0,
  Near = 1,  // within 0.1 below the threshold
  Over = 2,  // at or above it
};
[[nodiscard]] DiskAlert DiskAlertLevel(double usedFraction, double threshold);
[[nodiscard]] double UsedFraction(std::uint64_t used, std::uint64_t total);
[[nodiscard]] std::uint64_t FreeBytes(std::uint64_t used, std::uint64_t total);

}  // namespace lumetta
