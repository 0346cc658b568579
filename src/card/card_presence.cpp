#include "card/card_presence.h"

#include "app/log.h"

namespace lumetta {

bool CardPresence::OnSessionChange(std::uint32_t code) {
  if (code == kSessionLock) {
    sessionLocked_ = true;
    LogEvent(kDebug, "window", "paused", "reason=session_lock");
  } else if (code == kSessionUnlock) {
    sessionLocked_ = false;
    LogEvent(kDebug, "window", "resumed", "reason=session_unlock");
    return true;
  }
  return false;
}

bool CardPresence::OnDisplayState(std::uint32_t state) {
  const bool off = state == 0;
  if (off == displayOff_) {
    return false;
  }
  displayOff_ = off;
  LogEvent(kDebug, "window", off ? "paused" : "resumed", "reason=display");
  return !off;
}

}  // namespace lumetta
