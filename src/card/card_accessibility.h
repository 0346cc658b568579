// The card as a screen reader reads it: one element per section, named by its sentence; the
// Settings and pin buttons; the update line as a link. Made from the card view, so a reader
// hears what is drawn.
#pragma once

#include <cstdint>

#include "card/card_layout.h"
#include "card/card_view.h"
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

[[nodiscard]] A11yTree CardAccessibilityTree(const CardView& view, const SectionLayout& layout);

}  // namespace lumetta
