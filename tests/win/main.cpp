// Win32 adapter tests under Wine; also the child processes of the log and settings-file tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "app/log.h"
#include "app/log_win.h"
#include "base/wide.h"
#include "settings/settings_file.h"
#include "support/test_files.h"
#include "support/test_window.h"

namespace lumetta::test {
namespace {

// --log-child=PATH TAG COUNT GATE: open the log at PATH, signal the event GATE-TAG, wait for
// the event GATE, then append COUNT numbered lines.
int RunLogChild(const char* path, const char* tag, int count, const char* gate) {
  OpenLog(WindowsPath(path));
  SetEvent(
      OpenEventW(EVENT_MODIFY_STATE, FALSE, WindowsPath(std::string(gate) + "-" + tag).c_str()));
  WaitForSingleObject(OpenEventW(SYNCHRONIZE, FALSE, WindowsPath(gate).c_str()), 30000);
  for (int i = 0; i < count; ++i) {
    LogEvent(kInfo, "child", "line", std::string("tag=") + tag + " n=" + std::to_string(i));
  }
  return 0;
}

// --save-loop=PATH EVENT: save two records in turn until killed; EVENT is set once saving.
int RunSaveLoop(const char* path, const char* readyEvent) {
  const std::u16string settingsPath(AsU16(WindowsPath(path)));
  Settings records[2];
  records[1].showClock = false;
  records[1].hasWindowPosition = true;
  records[1].windowX = 123;
  records[1].windowY = 456;
  for (unsigned i = 0; SaveSettings(Win32Files(), settingsPath, records[i % 2]); ++i) {
    if (i == 0) {
      SetEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, WindowsPath(readyEvent).c_str()));
    }
  }
  return 1;
}

thread_local long gAllocationsToFailure = -1;  // -2: it has failed

}  // namespace

void FailAllocation(long nth) {
  gAllocationsToFailure = nth;
}
bool AllocationFailed() {
  return gAllocationsToFailure == -2;
}

}  // namespace lumetta::test

void* operator new(std::size_t size) {
  long& left = lumetta::test::gAllocationsToFailure;
  if (left >= 0 && left-- == 0) {
    left = -2;
    throw std::bad_alloc();
  }
  if (void* memory = std::malloc(size == 0 ? 1 : size)) {
    return memory;
  }
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}

int main(int argc, char** argv) {
  const auto flag = [&](std::string_view name) {
    return argc > 1 && std::string_view(argv[1]).starts_with(name) ? argv[1] + name.size()
                                                                   : nullptr;
  };
  if (const char* path = flag("--log-child="); path != nullptr && argc == 5) {
    return lumetta::test::RunLogChild(path, argv[2], std::atoi(argv[3]), argv[4]);
  }
  if (const char* path = flag("--save-loop="); path != nullptr && argc == 3) {
    return lumetta::test::RunSaveLoop(path, argv[2]);
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
