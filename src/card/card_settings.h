// What a settings record handed to the card means for it: the card keeps its own pin state and
// position (they change only through the card), and some changes need more than a repaint.
#pragma once

#include "settings/settings.h"

namespace lumetta {

struct CardSettingsChange {
  Settings merged;
  bool timersChanged = false;  // the interval or the clock: the timers start again
  bool snapTurnedOn = false;   // the card snaps at once
  bool scaleChanged = false;   // the card is resized, kept anchored and saved where it rests
};

[[nodiscard]] CardSettingsChange MergeCardSettings(const Settings& current, const Settings& next);

}  // namespace lumetta
