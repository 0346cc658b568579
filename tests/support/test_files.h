// File, process and waiting helpers shared by the Windows test programs.
#pragma once

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace lumetta::test {

// Wine maps the Linux root to drive Z:, so CTest's Linux paths become Windows paths here.
inline std::wstring WindowsPath(std::string_view path) {
  std::wstring result = path.starts_with('/') ? L"Z:" : L"";
  for (char c : path) {
    result.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
  }
  return result;
}

// This test program's own path (short: the build tree is not deep).
inline std::wstring SelfPath() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return self;
}

// Polls `condition` every 20 ms until it holds (true) or `timeoutMs` has passed (false).
template <typename Condition>
bool WaitUntil(Condition&& condition, DWORD timeoutMs = 10000) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!condition()) {
    if (GetTickCount64() >= deadline) {
      return false;
    }
    Sleep(20);
  }
  return true;
}

// The first top-level window of `windowClass` that process `pid` owns, or null: the Wine and
// end-to-end tests share one desktop, where another test's dialog may be open at the same time.
inline HWND FindWindowOf(DWORD pid, const wchar_t* windowClass) {
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, windowClass, nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid) {
      return window;
    }
  }
  return nullptr;
}

// Starts `program` with `arguments`: its process handle, for the caller to close, or null.
inline HANDLE StartProcess(const std::wstring& program, const std::wstring& arguments = {}) {
  std::wstring command = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  // Wine now and then refuses a start while an earlier child is still being torn down.
  for (int attempt = 0; !CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &child);
       ++attempt) {
    if (attempt == 2) {
      std::fprintf(stderr, "CreateProcess failed: %lu\n", GetLastError());
      return nullptr;
    }
    Sleep(200);
  }
  CloseHandle(child.hThread);
  return child.hProcess;
}

// A fresh folder under the temporary folder, removed again with everything in it.
class TempDir {
 public:
  TempDir()
      : path_(std::filesystem::temp_directory_path() /
              (L"lumetta-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(counter++))) {
    std::filesystem::create_directories(path_);
  }
  ~TempDir() { std::filesystem::remove_all(path_, ignored_); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

 private:
  static inline int counter = 0;
  std::filesystem::path path_;
  std::error_code ignored_;
};

// Reads a whole file, sharing it with writers (the log stays open while tests read it).
inline std::string ReadAll(const std::filesystem::path& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return {};
  }
  std::string data;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    data.append(buffer, read);
  }
  CloseHandle(file);
  return data;
}

inline void WriteAll(const std::filesystem::path& path, std::string_view data) {
  std::ofstream(path, std::ios::binary)
      .write(data.data(), static_cast<std::streamsize>(data.size()));
}

// Splits CR LF terminated lines; a trailing piece without CR LF is returned as a line too.
inline std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find("\r\n");
    lines.emplace_back(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 2);
  }
  return lines;
}

// The events a log file holds, each line without its timestamp ("INFO  component event ...").
inline std::vector<std::string> LogEvents(const std::filesystem::path& log) {
  std::vector<std::string> events;
  for (const std::string& line : SplitLines(ReadAll(log))) {
    events.push_back(line.substr(line.find(' ') + 1));
  }
  return events;
}

}  // namespace lumetta::test
