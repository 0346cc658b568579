// Win32 adapter tests under Wine. Also the child process of the concurrent-append test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/log.h"
#include "app/log_win.h"
#include "base/wide.h"
#include "settings/settings_file.h"
#include "support/test_files.h"
#include "win/test_main.h"

namespace lumetta::test {
namespace {
std::wstring gProbeExe;

// --log-child=PATH TAG COUNT GATE: open the log at PATH, signal the event GATE-TAG, wait for
// the event GATE, then append COUNT numbered lines.
int RunLogChild(const char* path, const char* tag, int count, const char* gate) {
  OpenLog(WindowsPath(path));
  const std::wstring ready = WindowsPath(std::string(gate) + "-" + tag);
  SetEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, ready.c_str()));
  WaitForSingleObject(OpenEventW(SYNCHRONIZE, FALSE, WindowsPath(gate).c_str()), 30000);
  for (int i = 0; i < count; ++i) {
    LogEvent(kInfo, "child", "line", std::string("tag=") + tag + " n=" + std::to_string(i));
  }
  return 0;
}
// --save-loop=PATH EVENT: save two records in turn until killed; EVENT is set once saving.
int RunSaveLoop(const char* path, const char* readyEvent) {
  const std::wstring widePath = WindowsPath(path);
  const std::wstring eventName = WindowsPath(readyEvent);
  Settings records[2];
  records[1].showClock = false;
  records[1].hasWindowPosition = true;
  records[1].windowX = 123;
  records[1].windowY = 456;
  const std::u16string settingsPath(AsU16(widePath));
  if (!SaveSettings(Win32Files(), settingsPath, records[0])) {
    return 1;
  }
  HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName.c_str());
  SetEvent(ready);
  for (unsigned i = 1;; ++i) {
    if (!SaveSettings(Win32Files(), settingsPath, records[i % 2])) {
      return 1;
    }
  }
}
}  // namespace

const std::wstring& ProbeExe() {
  return gProbeExe;
}

}  // namespace lumetta::test

int main(int argc, char** argv) {
  constexpr std::string_view kChild = "--log-child=";
  if (argc == 5 && std::string_view(argv[1]).starts_with(kChild)) {
    return lumetta::test::RunLogChild(argv[1] + kChild.size(), argv[2], std::atoi(argv[3]),
                                      argv[4]);
  }
  constexpr std::string_view kSaveLoop = "--save-loop=";
  if (argc == 3 && std::string_view(argv[1]).starts_with(kSaveLoop)) {
    return lumetta::test::RunSaveLoop(argv[1] + kSaveLoop.size(), argv[2]);
  }
  testing::InitGoogleTest(&argc, argv);
  constexpr std::string_view kProbe = "--probe-exe=";
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]).starts_with(kProbe)) {
      lumetta::test::gProbeExe = lumetta::test::WindowsPath(argv[i] + kProbe.size());
    }
  }
  return RUN_ALL_TESTS();
}
