#include "metrics/disk.h"

namespace lumetta {

std::u16string SystemDriveRoot(std::uint32_t returnedLength, std::u16string_view windowsDirectory) {
  constexpr std::uint32_t kBufferLength = 260;
  std::u16string root = u"C:\\";
  if (returnedLength >= 2 && returnedLength < kBufferLength && windowsDirectory.size() >= 2 &&
      windowsDirectory[1] == u':') {
    root[0] = windowsDirectory[0];
  }
  return root;
}

DiskCollector::DiskCollector(DiskSource& source) : source_(source) {
  std::uint32_t length = 0;
  const std::u16string directory = source_.WindowsDirectory(&length);
  drivePath_ = SystemDriveRoot(length, directory);
}

DiskSample DiskCollector::Collect() {
  const DiskSpace space = source_.QueryFreeSpace(drivePath_);
  if (!space.ok) {
    ReportFailure(freeSpaceLatch_, "disk", "free_space_failed", space.error);
    return {};
  }
  if (TakeRecovered(freeSpaceLatch_)) {
    LogEvent(kInfo, "disk", "recovered");
  }
  return {space.totalBytes - space.totalFreeBytes, space.totalBytes, true};
}

}  // namespace lumetta
