// settings.json: read once at start-up, corrupt files moved aside, saves that never leave a
// half-written file (temporary file, write-through, flush, replace, read-back).
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
inline constexpr std::uint32_t kErrorFileTooLarge = 223;

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
};

// Never fails: problems are logged and the defaults used.
[[nodiscard]] Settings LoadSettings(SettingsFileSystem& files, const std::u16string& path);
// True when the file on disk now holds exactly the record's text.
[[nodiscard]] bool SaveSettings(SettingsFileSystem& files, const std::u16string& path,
                                const Settings& settings);

// Windows build: the real file system.
[[nodiscard]] SettingsFileSystem& Win32Files();

}  // namespace lumetta
