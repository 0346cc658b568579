#include "support/log_capture.h"

#include <mutex>
#include <utility>

#include "app/log.h"

namespace lumetta {
namespace {
std::mutex gLock;
std::vector<std::pair<std::string, std::string>> gEvents;  // component, line
}  // namespace

void test::ClearCapturedEvents() {
  std::lock_guard lock(gLock);
  gEvents.clear();
}

std::vector<std::string> test::CapturedLines(std::string_view component) {
  std::lock_guard lock(gLock);
  std::vector<std::string> lines;
  for (const auto& [from, line] : gEvents) {
    if (component.empty() || from == component) {
      lines.push_back(line);
    }
  }
  return lines;
}

void LogEvent(LogLevel level, std::string_view component, std::string_view event,
              std::string_view details) {
  std::string line = std::string(LevelWord(level)) + " " + std::string(component) + " " +
                     std::string(event) + (details.empty() ? "" : " ") + std::string(details);
  std::lock_guard lock(gLock);
  gEvents.emplace_back(component, std::move(line));
}

}  // namespace lumetta
