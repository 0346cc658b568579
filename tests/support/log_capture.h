// The native build's event sink: records every event so tests can read what was logged.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumetta::test {

void ClearCapturedEvents();
// The captured events as "LEVEL component event details" (the level word as in the log file),
// of one component or of all.
std::vector<std::string> CapturedLines(std::string_view component = {});

}  // namespace lumetta::test
