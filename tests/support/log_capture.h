// The native build's event sink: records every event so tests can read what was logged.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/log.h"

namespace lumetta::test {

struct CapturedEvent {
  LogLevel level;
  std::string component;
  std::string event;
  std::string details;
};

std::vector<CapturedEvent>& CapturedEvents();
void ClearCapturedEvents();
// The captured events as "LEVEL component event details" (level word as in the log file).
std::vector<std::string> CapturedLines();
// Only the events of one component.
std::vector<std::string> CapturedLines(std::string_view component);

}  // namespace lumetta::test
