// What the card draws: every section of the card view, the dividers, the empty-card text and
// the hover buttons. It sees nothing of the window but its frame.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "card/card_layout.h"
#include "card/card_view.h"
#include "metrics/snapshot.h"

namespace lumetta {

class Renderer;

// One frame of the card: the view's words, and the snapshot's histories and shares for the
// charts and bars.
struct CardFrame {
  const CardView& view;
  const Snapshot& snapshot;
  const SectionLayout& layout;
  bool hovering = false;  // the hover buttons show
  HoverButton hoveredButton = HoverButton::None;
};

class CardPainter {
 public:
  CardPainter() { history_.reserve(HistoryRing::kCapacity); }
  void Paint(Renderer& renderer, const CardFrame& frame);

  // The disk alert text's wrapped height when the disk is shown in the alert state.
  [[nodiscard]] static std::optional<float> DiskAlertTextHeight(Renderer& renderer,
                                                                const CardView& view);
  // The update line's wrapped height: a long version takes a second line.
  [[nodiscard]] static float UpdateTextHeight(Renderer& renderer, const CardView& view);

 private:
  void PaintSection(Renderer& r, const CardFrame& frame, const LaidOutSection& section);
  void PaintLoad(Renderer& r, const CardFrame& frame, SectionId id, float top);
  void PaintNetwork(Renderer& r, const CardFrame& frame, float top);

  std::vector<double> history_;  // reused for each chart's values: no allocation per frame
};

}  // namespace lumetta
