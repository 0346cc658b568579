// Structured events, one line each, to the debugger output and the rotating app.log.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumetta {

enum class LogLevel : int { Debug = 0, Info = 1, Warn = 2, Error = 3 };
inline constexpr LogLevel kDebug = LogLevel::Debug;
inline constexpr LogLevel kInfo = LogLevel::Info;
inline constexpr LogLevel kWarn = LogLevel::Warn;
inline constexpr LogLevel kError = LogLevel::Error;

// app.log is rotated to one ".1" backup once it reaches this size.
inline constexpr std::uint64_t kLogRotateBytes = 1048576;

struct LogTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int milliseconds = 0;
};

// Exactly five characters; "?????" for an unknown level.
std::string_view LevelWord(LogLevel level);

// One complete line, CR LF included. CR and LF inside details become blanks.
std::string FormatLogLine(const LogTime& time, LogLevel level, std::string_view component,
                          std::string_view event, std::string_view details);

// "0x%08X": always ten characters.
std::string FormatCode(std::uint32_t code);
// "code=0x%08X": the detail of every failure event.
std::string CodeDetail(std::uint32_t code);

// Formats and writes one event. The Windows build writes to the debugger output and the
// open log file; the native test build records the event for tests to read.
void LogEvent(LogLevel level, std::string_view component, std::string_view event,
              std::string_view details = {});

// Keeps a repeating failure to one line per distinct code, and its end to one line.
using FailureLatch = std::optional<std::uint64_t>;

void ReportFailure(FailureLatch& latch, std::string_view component, std::string_view event,
                   std::uint32_t code, LogLevel level = kWarn);
[[nodiscard]] bool TakeRecovered(FailureLatch& latch);

}  // namespace lumetta
