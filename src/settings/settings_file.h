// settings.json: read once at start-up, unreadable and corrupt files moved aside before they
// could be overwritten, saves that never leave a half-written file (temporary file,
// write-through, flush, replace, read-back).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace lumetta {

inline constexpr std::uint64_t kSettingsFileMaxBytes = 65536;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorPathNotFound = 3;
inline constexpr std::uint32_t kErrorSharingViolation = 32;
inline constexpr std::uint32_t kErrorLockViolation = 33;
inline constexpr std::uint32_t kErrorFileTooLarge = 223;
// A file another program holds (an antivirus, a backup tool) is read again a few times at
// start, this far apart.
inline constexpr int kSettingsReadAttempts = 5;
inline constexpr std::uint32_t kSettingsReadRetryMs = 100;
// Files moved aside are kept, newest first, as ".bak", ".bak.1" and ".bak.2".
inline constexpr int kSettingsBackups = 3;

struct FileRead {
  std::optional<std::string> content;
  std::uint32_t error = 0;  // a Windows error code; 0 when there is none
};

// The file operations the protocol needs; Windows error codes, 0 for success.
class SettingsFileSystem {
 public:
  virtual ~SettingsFileSystem() = default;
  // The whole file when it holds at most kSettingsFileMaxBytes.
  virtual FileRead ReadFileText(const std::u16string& path) = 0;
  // Creates or truncates the file with write-through, writes all of `text`, flushes, closes.
  virtual std::uint32_t WriteNewFile(const std::u16string& path, std::string_view text) = 0;
  // Moves `from` over `to`, replacing it.
  virtual std::uint32_t MoveReplacing(const std::u16string& from, const std::u16string& to,
                                      bool writeThrough) = 0;
  virtual void RemoveFile(const std::u16string& path) = 0;
  // False only when there is no such file.
  virtual bool Exists(const std::u16string& path) = 0;
  virtual void Pause(std::uint32_t milliseconds) = 0;
};

struct LoadedSettings {
  Settings settings;
  // The file exists but could not be read, or could not be moved aside: it must not be
  // overwritten unseen.
  bool unread = false;
};

// Never fails: problems are logged and the defaults used.
[[nodiscard]] LoadedSettings LoadSettings(SettingsFileSystem& files, const std::u16string& path);
// True when the file on disk now holds exactly the record's text.
[[nodiscard]] bool SaveSettings(SettingsFileSystem& files, const std::u16string& path,
                                const Settings& settings);

// The settings file of one run. Without a path (no data folder) nothing is loaded and every
// save fails, so that the user is told the changes are not kept.
class SettingsStore {
 public:
  SettingsStore(SettingsFileSystem& files, std::optional<std::u16string> path)
      : files_(files), path_(std::move(path)) {}

  [[nodiscard]] Settings Load();
  // An unread file is moved to the backup first; if it cannot be, nothing is written.
  [[nodiscard]] bool Save(const Settings& settings);
  [[nodiscard]] bool HasFolder() const { return path_.has_value(); }

 private:
  SettingsFileSystem& files_;
  std::optional<std::u16string> path_;
  bool unread_ = false;
};

// Windows build: the real file system.
[[nodiscard]] SettingsFileSystem& Win32Files();

}  // namespace lumetta
