// Read and write rates of all physical disks together.
#pragma once

namespace lumetta {

struct DiskActivitySample {
  double readBytesPerSecond = 0;
  double writeBytesPerSecond = 0;
  bool valid = false;
};

}  // namespace lumetta
