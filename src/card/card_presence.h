// When the card measures and where it stands in the z-order. The window reports what happened
// (a session lock, a display-state change, the desktop in the foreground, a reveal); this says
// what follows and logs the pauses.
#pragma once

#include <cstdint>

namespace lumetta {

inline constexpr std::uint32_t kSessionLock = 7;    // WTS_SESSION_LOCK
inline constexpr std::uint32_t kSessionUnlock = 8;  // WTS_SESSION_UNLOCK

class CardPresence {
 public:
  // True when measuring may resume now (the session was unlocked).
  bool OnSessionChange(std::uint32_t code);
  // The console display state: 0 off, 1 on, 2 dimmed (on). True when the display came back.
  bool OnDisplayState(std::uint32_t state);
  // Locked or with the display off; minimised and cloaked are the window's to see.
  [[nodiscard]] bool Paused() const { return sessionLocked_ || displayOff_; }

  // Unpinned, the card stays at the bottom except while the desktop itself is in the
  // foreground or a reveal lasts.
  bool desktopInForeground = false;
  bool revealActive = false;
  [[nodiscard]] bool Topmost(bool pinned) const {
    return pinned || desktopInForeground || revealActive;
  }

 private:
  bool sessionLocked_ = false;
  bool displayOff_ = false;
};

}  // namespace lumetta
