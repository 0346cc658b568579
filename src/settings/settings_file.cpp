#include "settings/settings_file.h"

#include "app/log.h"
#include "text/utf.h"

namespace lumetta {
namespace {

bool IsMissing(std::uint32_t error) {
  return error == kErrorFileNotFound || error == kErrorPathNotFound;
}

std::u16string BackupPath(const std::u16string& path, int age) {
  std::u16string backup = path + u".bak";
  if (age > 0) {
    backup += u'.';
    backup += static_cast<char16_t>(u'0' + age);
  }
  return backup;
}

// Keeps a file we could not use for the user as the newest backup, ".bak". Older ones age to
// ".bak.1" and ".bak.2" as far as the first free name (oldest first, so that no kept file is
// replaced by a newer one); only with every name taken is the oldest dropped. True when the
// file is out of the way (also when it has gone in the meantime).
bool MoveAside(SettingsFileSystem& files, const std::u16string& path) {
  int free = 0;
  while (free < kSettingsBackups - 1 && files.Exists(BackupPath(path, free))) {
    ++free;
  }
  for (int age = free; age > 0; --age) {
    const std::u16string older = BackupPath(path, age);
    const std::uint32_t aged = files.MoveReplacing(BackupPath(path, age - 1), older, false);
    if (aged == 0) {
      LogEvent(kInfo, "settings", "backup_aged", "backup=" + ToUtf8(older));
    } else if (!IsMissing(aged)) {
      LogEvent(kWarn, "settings", "corrupt_file", "backup_failed " + CodeDetail(aged));
      return false;
    }
  }
  const std::u16string backup = BackupPath(path, 0);
  const std::uint32_t moved = files.MoveReplacing(path, backup, false);
  if (moved == 0) {
    LogEvent(kWarn, "settings", "corrupt_file", "backup=" + ToUtf8(backup));
    return true;
  }
  LogEvent(kWarn, "settings", "corrupt_file", "backup_failed " + CodeDetail(moved));
  return IsMissing(moved);
}

}  // namespace

LoadedSettings LoadSettings(SettingsFileSystem& files, const std::u16string& path) {
  FileRead read = files.ReadFileText(path);
  // Another program holding the file, or a range of it locked, is usually over in a moment.
  const auto held = [](std::uint32_t error) {
    return error == kErrorSharingViolation || error == kErrorLockViolation;
  };
  for (int attempt = 1; attempt < kSettingsReadAttempts && held(read.error); ++attempt) {
    files.Pause(kSettingsReadRetryMs);
    read = files.ReadFileText(path);
  }
  if (!read.content) {
    // No file yet is the first run, not a problem.
    if (IsMissing(read.error)) {
      return {};
    }
    LogEvent(kWarn, "settings", "read_failed", CodeDetail(read.error));
    return {DefaultSettings(), true};
  }
  const SettingsRead parsed = SettingsFromJson(*read.content);
  if (!parsed.unreadable) {
    return {parsed.settings, false};
  }
  // Keep the unreadable file for the user instead of silently overwriting it; one that cannot
  // be moved yet is still the user's, so the first save must move it aside before writing.
  if (!MoveAside(files, path)) {
    return {DefaultSettings(), true};
  }
  return {};
}

bool SaveSettings(SettingsFileSystem& files, const std::u16string& path, const Settings& settings) {
  const std::string text = SettingsToJson(settings);
  const std::u16string temporary = path + u".tmp";
  if (const std::uint32_t error = files.WriteNewFile(temporary, text); error != 0) {
    LogEvent(kError, "settings", "write_failed", CodeDetail(error));
    files.RemoveFile(temporary);
    return false;
  }
  if (const std::uint32_t error = files.MoveReplacing(temporary, path, true); error != 0) {
    LogEvent(kError, "settings", "replace_failed", CodeDetail(error));
    files.RemoveFile(temporary);
    return false;
  }
  const FileRead check = files.ReadFileText(path);
  if (check.content && *check.content == text) {
    return true;
  }
  LogEvent(kError, "settings", "verify_failed", CodeDetail(check.content ? 0 : check.error));
  return false;
}

Settings SettingsStore::Load() {
  if (!path_) {
    return DefaultSettings();
  }
  LoadedSettings loaded = LoadSettings(files_, *path_);
  unread_ = loaded.unread;
  return loaded.settings;
}

bool SettingsStore::Save(const Settings& settings) {
  if (!path_) {
    return false;
  }
  if (unread_) {
    if (!MoveAside(files_, *path_)) {
      return false;
    }
    unread_ = false;
  }
  return SaveSettings(files_, *path_, settings);
}

}  // namespace lumetta
