#include "card/card_settings.h"

namespace lumetta {

CardSettingsChange MergeCardSettings(const Settings& current, const Settings& next) {
  CardSettingsChange change;
  change.merged = next;
  change.merged.alwaysOnTop = current.alwaysOnTop;
  change.merged.hasWindowPosition = current.hasWindowPosition;
  change.merged.windowX = current.windowX;
  change.merged.windowY = current.windowY;
  change.timersChanged = next.updateIntervalSeconds != current.updateIntervalSeconds ||
                         next.showClock != current.showClock;
  change.snapTurnedOn = next.snapToEdges && !current.snapToEdges;
  change.scaleChanged = next.displayScale != current.displayScale;
  return change;
}

}  // namespace lumetta
