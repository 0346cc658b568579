#include "card/card_accessibility.h"

#include <string>

namespace lumetta {
namespace {

// Two lines drawn as one sentence.
std::u16string OneLine(std::u16string text) {
  for (char16_t& c : text) {
    if (c == u'\n') {
      c = u' ';
    }
  }
  return text;
}

}  // namespace

A11yTree CardAccessibilityTree(const CardView& view, const SectionLayout& layout) {
  A11yTree tree;
  if (layout.sections.empty()) {
    tree.Add(kCardElementNothingToShow, 0, A11yRole::Text, OneLine(view.nothingToShow),
             {kCardLeft, 12, kCardRight, 44});
  }
  for (const LaidOutSection& section : layout.sections) {
    const RectF bounds{kCardLeft, section.top, kCardRight, section.top + section.height};
    // A Text element has no Value pattern: a reader says its name, so the figures go there.
    // The update line is a notice a reader speaks when it appears.
    const bool update = section.id == SectionId::Update;
    tree.Add(SectionElement(section.id), 0, update ? A11yRole::Link : A11yRole::Text,
             view[section.id].sentence, bounds)
        .live = update;
  }
  // The buttons show only under the pointer, but they are always there to be invoked.
  tree.Add(kCardElementSettings, 0, A11yRole::Button, view.settingsButton, kSettingsButtonBox);
  tree.Add(kCardElementPin, 0, A11yRole::Button, view.pinButton, kPinButtonBox).toggled =
      view.pinned;
  return tree;
}

}  // namespace lumetta
