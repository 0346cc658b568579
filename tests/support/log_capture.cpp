#include "support/log_capture.h"

#include <mutex>

#include "app/log.h"

namespace lumetta {
namespace {
std::mutex gCaptureLock;
}

namespace test {
std::vector<CapturedEvent>& CapturedEvents() {
  static std::vector<CapturedEvent> events;
  return events;
}
void ClearCapturedEvents() {
  std::lock_guard lock(gCaptureLock);
  CapturedEvents().clear();
}
std::vector<std::string> CapturedLines() {
  return CapturedLines({});
}

std::vector<std::string> CapturedLines(std::string_view component) {
  std::lock_guard lock(gCaptureLock);
  std::vector<std::string> lines;
  for (const CapturedEvent& e : CapturedEvents()) {
    if (!component.empty() && e.component != component) {
      continue;
    }
    std::string line = std::string(LevelWord(e.level)) + " " + e.component + " " + e.event;
    if (!e.details.empty()) {
      line += " " + e.details;
    }
    lines.push_back(std::move(line));
  }
  return lines;
}
}  // namespace test

void LogEvent(LogLevel level, std::string_view component, std::string_view event,
              std::string_view details) {
  std::lock_guard lock(gCaptureLock);
  test::CapturedEvents().push_back(
      {level, std::string(component), std::string(event), std::string(details)});
}

}  // namespace lumetta
