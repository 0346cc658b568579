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
}  // namespace test

void LogEvent(int level, std::string_view component, std::string_view event,
              std::string_view details) {
  std::lock_guard lock(gCaptureLock);
  test::CapturedEvents().push_back(
      {level, std::string(component), std::string(event), std::string(details)});
}

}  // namespace lumetta
