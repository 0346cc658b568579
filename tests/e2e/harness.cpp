#include "e2e/harness.h"

#include <knownfolders.h>
#include <shlobj.h>

#include "probe/probe.h"
#include "support/test_files.h"

namespace lumetta::e2e {
namespace {
std::wstring gLumettaExe;
}

const std::wstring& LumettaExe() {
  return gLumettaExe;
}
void SetLumettaExe(std::wstring path) {
  gLumettaExe = std::move(path);
}

std::filesystem::path DataFolder() {
  PWSTR known = nullptr;
  std::filesystem::path folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known))) {
    folder = std::filesystem::path(known) / L"Lumetta";
  }
  CoTaskMemFree(known);
  return folder;
}

std::filesystem::path LogFile() {
  return DataFolder() / L"Logs" / L"app.log";
}

void CleanDataFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(DataFolder(), ignored);
}

std::vector<std::string> LogLines() {
  return test::SplitLines(test::ReadAll(LogFile()));
}

int CountLogLines(const std::string& text) {
  int count = 0;
  for (const std::string& line : LogLines()) {
    count += line.find(text) != std::string::npos ? 1 : 0;
  }
  return count;
}

bool WaitForLogLine(const std::string& text, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  do {
    for (const std::string& line : LogLines()) {
      if (line.find(text) != std::string::npos) {
        return true;
      }
    }
    Sleep(20);
  } while (GetTickCount64() < deadline);
  return false;
}

Lumetta::Lumetta(const wchar_t* lang) {
  SetEnvironmentVariableW(L"LUMETTA_LANG", lang);
  std::wstring command = L"\"" + gLumettaExe + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (CreateProcessW(gLumettaExe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     nullptr, &startup, &info)) {
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
  }
  SetEnvironmentVariableW(L"LUMETTA_LANG", nullptr);
}

Lumetta::~Lumetta() {
  // Never leave a card behind for the next test.
  if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
    if (HWND card = FindWindowW(L"LumettaMonitorWindow", nullptr)) {
      probe::PostClose(card);
    }
    if (WaitForSingleObject(process_.get(), 5000) != WAIT_OBJECT_0) {
      TerminateProcess(process_.get(), 99);
      WaitForSingleObject(process_.get(), 5000);
    }
  }
}

std::optional<DWORD> Lumetta::WaitForExit(DWORD timeoutMs) const {
  return probe::WaitForExit(process_.get(), timeoutMs);
}

RECT WorkArea() {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

void E2eTest::SetUp() {
  ASSERT_FALSE(LumettaExe().empty()) << "run with --lumetta-exe=PATH";
  // A card left over from an earlier run would answer for the one under test.
  if (HWND stale = FindWindowW(L"LumettaMonitorWindow", nullptr)) {
    UniqueHandle owner = probe::OpenOwner(stale);
    probe::PostClose(stale);
    ASSERT_TRUE(owner && probe::WaitForExit(owner.get(), 10000)) << "a card is stuck";
  }
  CleanDataFolder();
}

}  // namespace lumetta::e2e
