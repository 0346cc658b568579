#include "app/log_win.h"
#include "app/log.h"

#include <windows.h>

#include <string>

namespace lumetta {
namespace {

// Statically initialised so that events before wWinMain are safe.
SRWLOCK gLock = SRWLOCK_INIT;
std::wstring* gPath = nullptr;  // heap-held so that no destructor runs at process exit
HANDLE gFile = INVALID_HANDLE_VALUE;
// Serialises appends and rotation across processes. Windows makes each append-only write
// land whole at the end, but Wine places it at a size read just before, so two processes
// can overwrite each other's lines there.
HANDLE gFileMutex = nullptr;
constexpr wchar_t kFileMutexName[] = L"Local\\com.norvale.lumettawin.log";
// A process stuck inside the section must not stop everyone else's logging.
constexpr DWORD kFileMutexWaitMs = 1000;

class FileMutexLock {
 public:
  FileMutexLock() {
    if (gFileMutex != nullptr) {
      const DWORD wait = WaitForSingleObject(gFileMutex, kFileMutexWaitMs);
      owned_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
  }
  ~FileMutexLock() {
    if (owned_) {
      ReleaseMutex(gFileMutex);
    }
  }
  FileMutexLock(const FileMutexLock&) = delete;
  FileMutexLock& operator=(const FileMutexLock&) = delete;

 private:
  bool owned_ = false;
};

class ExclusiveLock {
 public:
  ExclusiveLock() { AcquireSRWLockExclusive(&gLock); }
  ~ExclusiveLock() { ReleaseSRWLockExclusive(&gLock); }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;
};

// Append-only access: every write lands at the current end, also when another
// process appends to the same file at the same time.
HANDLE OpenForAppend(const std::wstring& path) {
  return CreateFileW(path.c_str(), FILE_APPEND_DATA,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool IsFull(HANDLE file) {
  LARGE_INTEGER size{};
  return file != INVALID_HANDLE_VALUE && GetFileSizeEx(file, &size) &&
         static_cast<std::uint64_t>(size.QuadPart) >= kLogRotateBytes;
}

// Whether the path still names the file the handle writes to. Another process's rotation
// renames the file under our handle; rotating it again would move that process's new, nearly
// empty log over the backup and lose the history in it.
bool PathNamesFile(const std::wstring& path, HANDLE file) {
  BY_HANDLE_FILE_INFORMATION ours{};
  if (!GetFileInformationByHandle(file, &ours)) {
    return true;  // cannot tell: rotate as usual
  }
  HANDLE named = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (named == INVALID_HANDLE_VALUE) {
    return false;
  }
  BY_HANDLE_FILE_INFORMATION theirs{};
  const bool known = GetFileInformationByHandle(named, &theirs) != FALSE;
  CloseHandle(named);
  return !known || (ours.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber &&
                    ours.nFileIndexHigh == theirs.nFileIndexHigh &&
                    ours.nFileIndexLow == theirs.nFileIndexLow);
}

// Caller holds the lock.
void RotateIfFull() {
  if (!IsFull(gFile)) {
    return;
  }
  if (!PathNamesFile(*gPath, gFile)) {
    // Rotated by someone else: follow the path to the new log instead.
    CloseHandle(gFile);
    gFile = OpenForAppend(*gPath);
    if (!IsFull(gFile) || !PathNamesFile(*gPath, gFile)) {
      return;
    }
  }
  CloseHandle(gFile);
  gFile = INVALID_HANDLE_VALUE;
  std::wstring backup = *gPath;
  backup.append(L".1");
  // A failed move reopens the same large file; the next write tries again.
  MoveFileExW(gPath->c_str(), backup.c_str(), MOVEFILE_REPLACE_EXISTING);
  gFile = OpenForAppend(*gPath);
}

}  // namespace

void OpenLog(std::wstring_view path) {
  ExclusiveLock lock;
  if (gFile != INVALID_HANDLE_VALUE) {
    CloseHandle(gFile);
    gFile = INVALID_HANDLE_VALUE;
  }
  if (gPath == nullptr) {
    gPath = new std::wstring();
  }
  gPath->assign(path);
  if (gFileMutex == nullptr) {
    gFileMutex = CreateMutexW(nullptr, FALSE, kFileMutexName);
  }
  FileMutexLock fileLock;
  gFile = OpenForAppend(*gPath);
  RotateIfFull();
}

void LogEvent(LogLevel level, std::string_view component, std::string_view event,
              std::string_view details) {
  SYSTEMTIME now{};
  GetSystemTime(&now);
  const LogTime time{now.wYear,   now.wMonth,  now.wDay,         now.wHour,
                     now.wMinute, now.wSecond, now.wMilliseconds};
  const std::string line = FormatLogLine(time, level, component, event, details);
  OutputDebugStringA(line.c_str());

  ExclusiveLock lock;
  if (gFile != INVALID_HANDLE_VALUE) {
    FileMutexLock fileLock;
    DWORD written = 0;
    WriteFile(gFile, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    RotateIfFull();
  }
}

}  // namespace lumetta
