#include "app/log.h"

#include <cstdio>

namespace lumetta {

std::string_view LevelWord(int level) {
  switch (level) {
    case kDebug:
      return "DEBUG";
    case kInfo:
      return "INFO ";
    case kWarn:
      return "WARN ";
    case kError:
      return "ERROR";
    default:
      return "?????";
  }
}

std::string FormatLogLine(const LogTime& time, int level, std::string_view component,
                          std::string_view event, std::string_view details) {
  char prefix[48];
  const std::string_view word = LevelWord(level);
  const int length =
      std::snprintf(prefix, sizeof prefix, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ %.*s ", time.year,
                    time.month, time.day, time.hour, time.minute, time.second, time.milliseconds,
                    static_cast<int>(word.size()), word.data());
  std::string line;
  line.reserve(static_cast<std::size_t>(length) + component.size() + event.size() + details.size() +
               4);
  line.append(prefix, static_cast<std::size_t>(length));
  line.append(component);
  line.push_back(' ');
  line.append(event);
  if (!details.empty()) {
    line.push_back(' ');
    for (char c : details) {
      line.push_back(c == '\r' || c == '\n' ? ' ' : c);
    }
  }
  line.append("\r\n");
  return line;
}

std::string FormatCode(std::uint32_t code) {
  char text[16];
  const int length = std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
  return std::string(text, static_cast<std::size_t>(length));
}

void ReportFailure(FailureLatch& latch, std::string_view component, std::string_view event,
                   std::uint32_t code) {
  const bool repeated = latch.has_value() && *latch == code;
  latch = code;
  if (!repeated) {
    LogEvent(kWarn, component, event, "code=" + FormatCode(code));
  }
}

bool TakeRecovered(FailureLatch& latch) {
  const bool held = latch.has_value();
  latch.reset();
  return held;
}

}  // namespace lumetta
