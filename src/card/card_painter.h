// What the card draws: every section from the snapshot and the settings, the dividers, the
// empty-card text and the hover buttons. It sees nothing of the window but this view.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "card/card_layout.h"
#include "metrics/snapshot.h"
#include "settings/settings.h"

namespace lumetta {

class Renderer;

// The clock's date in the chosen language, with or without the year; empty when it cannot be
// formatted.
[[nodiscard]] std::u16string DateText(const SYSTEMTIME& now, bool withYear);

struct CardView {
  const Snapshot& snapshot;
  const Settings& settings;
  const SectionLayout& layout;
  std::u16string_view updateVersion;  // the required version the update line names
  bool hovering = false;              // the hover buttons show
  HoverButton hoveredButton = HoverButton::None;
  SYSTEMTIME now{};  // local time, for the clock
};

class CardPainter {
 public:
  void Paint(Renderer& renderer, const CardView& view);

  // The disk alert text's wrapped height when the disk is in the alert state: the one text
  // the layout measures.
  [[nodiscard]] static std::optional<float> DiskAlertTextHeight(Renderer& renderer,
                                                                const Snapshot& snapshot,
                                                                const Settings& settings);
  // The update line's wrapped height: a long version takes a second line.
  [[nodiscard]] static float UpdateTextHeight(Renderer& renderer, std::u16string_view version);

 private:
  void PaintSection(Renderer& r, const CardView& view, SectionId id, float top);
  void PaintCpu(Renderer& r, const CardView& view, float top);
  void PaintGpu(Renderer& r, const CardView& view, float top);
  void PaintNetwork(Renderer& r, const CardView& view, float top);

  std::vector<double> history_;  // reused for each chart's values: no allocation per frame
};

}  // namespace lumetta
