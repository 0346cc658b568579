// The card as a screen reader reads it: one element per section, named by its title, whose
// value is the section's figures as one sentence; the Settings and pin buttons; the update
// line as a link. Built when asked, never per tick: a reader asks for values when it wants them.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/strings.h"
#include "card/card_layout.h"
#include "metrics/snapshot.h"
#include "settings/settings.h"
#include "window/accessibility.h"

namespace lumetta {

enum CardElement : std::uint32_t {
  kCardElementSettings = 100,
  kCardElementPin = 101,
  kCardElementNothingToShow = 102,
};
// Sections are elements 1 to 8.
[[nodiscard]] constexpr std::uint32_t SectionElement(SectionId id) {
  return static_cast<std::uint32_t>(id) + 1;
}

struct CardFacts {
  const Snapshot& snapshot;
  const Settings& settings;
  const SectionLayout& layout;
  std::u16string_view updateVersion;  // the version the update line names
  std::u16string_view date;           // the clock's texts as drawn
  std::u16string_view time;
};

[[nodiscard]] A11yTree CardAccessibilityTree(const CardFacts& facts, const TextSource& texts);

}  // namespace lumetta
