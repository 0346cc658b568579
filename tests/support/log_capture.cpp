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
  // The file's line without its time stamp and line end, as the Windows tests read the log.
  const std::string full = FormatLogLine(LogTime{}, level, component, event, details);
  const std::size_t from = full.find(' ') + 1;
  std::string line = full.substr(from, full.size() - 2 - from);
  std::lock_guard lock(gLock);
  gEvents.emplace_back(component, std::move(line));
}

}  // namespace lumetta
