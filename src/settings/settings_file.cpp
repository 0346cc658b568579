#include "settings/settings_file.h"

#include "app/log.h"
#include "settings/json.h"

namespace lumetta {
namespace {

std::string Code(std::uint32_t code) {
  return "code=" + FormatCode(code);
}

}  // namespace

Settings LoadSettings(SettingsFileSystem& files, const std::u16string& path) {
  const FileRead read = files.ReadFileText(path);
  if (!read.content) {
    // No file yet is the first run, not a problem.
    if (read.error != kErrorFileNotFound && read.error != kErrorPathNotFound) {
      LogEvent(kWarn, "settings", "read_failed", Code(read.error));
    }
    return DefaultSettings();
  }
  const SettingsRead parsed = SettingsFromJson(*read.content);
  if (!parsed.unreadable) {
    return parsed.settings;
  }
  // Keep the unreadable file for the user instead of silently overwriting it.
  const std::u16string backup = path + u".bak";
  const std::uint32_t moved = files.MoveReplacing(path, backup, false);
  if (moved == 0) {
    LogEvent(kWarn, "settings", "corrupt_file", "backup=" + ToUtf8(backup));
  } else {
    LogEvent(kWarn, "settings", "corrupt_file", "backup_failed " + Code(moved));
  }
  return DefaultSettings();
}

bool SaveSettings(SettingsFileSystem& files, const std::u16string& path, const Settings& settings) {
  const std::string text = SettingsToJson(settings);
  const std::u16string temporary = path + u".tmp";
  if (const std::uint32_t error = files.WriteNewFile(temporary, text); error != 0) {
    LogEvent(kError, "settings", "write_failed", Code(error));
    files.RemoveFile(temporary);
    return false;
  }
  if (const std::uint32_t error = files.MoveReplacing(temporary, path, true); error != 0) {
    LogEvent(kError, "settings", "replace_failed", Code(error));
    files.RemoveFile(temporary);
    return false;
  }
  const FileRead check = files.ReadFileText(path);
  if (check.content && *check.content == text) {
    return true;
  }
  LogEvent(kError, "settings", "verify_failed", Code(check.content ? 0 : check.error));
  return false;
}

}  // namespace lumetta
