// Used and total space of the system drive.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/log.h"

namespace lumetta {

struct DiskSample {
  std::uint64_t usedBytes = 0;
  std::uint64_t totalBytes = 0;
  bool valid = false;
};

struct DiskSpace {
  bool ok = false;
  std::uint32_t error = 0;
  std::uint64_t totalBytes = 0;
  std::uint64_t totalFreeBytes = 0;  // of the whole volume, not the caller's quota
};

class DiskSource {
 public:
  virtual ~DiskSource() = default;
  // GetWindowsDirectoryW: the returned length and the characters written.
  virtual std::u16string WindowsDirectory(std::uint32_t* returnedLength) = 0;
  virtual DiskSpace QueryFreeSpace(std::u16string_view drivePath) = 0;
};

// "X:\" of the Windows directory's drive, or "C:\" when it has no drive letter.
[[nodiscard]] std::u16string SystemDriveRoot(std::uint32_t returnedLength,
                                             std::u16string_view windowsDirectory);

class DiskCollector {
 public:
  explicit DiskCollector(DiskSource& source);
  DiskSample Collect();
  [[nodiscard]] const std::u16string& drivePath() const { return drivePath_; }

 private:
  DiskSource& source_;
  std::u16string drivePath_;  // fits the small-string buffer: no allocation
  FailureLatch freeSpaceLatch_;
};

}  // namespace lumetta
