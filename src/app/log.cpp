#include "app/log.h"

#include "base/printf.h"

namespace lumetta {

std::string_view LevelWord(LogLevel level) {
  switch (level) {
    case LogLevel::Debug:
      return "DEBUG";
    case LogLevel::Info:
      return "INFO ";
    case LogLevel::Warn:
      return "WARN ";
    case LogLevel::Error:
      return "ERROR";
  }
  return "?????";
}

std::string FormatLogLine(const LogTime& time, LogLevel level, std::string_view component,
                          std::string_view event, std::string_view details) {
  const std::string_view word = LevelWord(level);
  std::string line = StringPrintf("%04d-%02d-%02dT%02d:%02d:%02d.%03dZ %.*s ", time.year,
                                  time.month, time.day, time.hour, time.minute, time.second,
                                  time.milliseconds, static_cast<int>(word.size()), word.data());
  line.reserve(line.size() + component.size() + event.size() + details.size() + 4);
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
  return StringPrintf("0x%08X", static_cast<unsigned>(code));
}

std::string CodeDetail(std::uint32_t code) {
  return "code=" + FormatCode(code);
}

void ReportFailure(FailureLatch& latch, std::string_view component, std::string_view event,
                   std::uint32_t code, LogLevel level) {
  const bool repeated = latch.has_value() && *latch == code;
  latch = code;
  if (!repeated) {
    LogEvent(level, component, event, CodeDetail(code));
  }
}

bool TakeRecovered(FailureLatch& latch) {
  const bool held = latch.has_value();
  latch.reset();
  return held;
}

}  // namespace lumetta
