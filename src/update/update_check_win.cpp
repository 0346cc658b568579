#include "update/update_check_win.h"

#include <winhttp.h>

#include <array>
#include <condition_variable>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/build_version.h"
#include "base/pool_work_win.h"
#include "base/wide.h"
#include "base/win_error.h"

namespace lumetta {
namespace {

constexpr DWORD kTimeoutMs = 15000;
constexpr DWORD kReadChunk = 8192;
constexpr DWORD kFeedVariableBuffer = 2048;

// The WinHTTP handles one fetch opened, closed at its end in reverse order, or at once by a
// cancel from another thread.
class FetchScope {
 public:
  explicit FetchScope(FetchCancel& cancel) : cancel_(cancel) {}
  ~FetchScope() { cancel_.CloseHandles(); }
  FetchScope(const FetchScope&) = delete;
  FetchScope& operator=(const FetchScope&) = delete;

  // The handle, kept for closing; null (and closed) when the fetch was cancelled meanwhile.
  HINTERNET Hold(HINTERNET handle) { return cancel_.Hold(handle); }

 private:
  FetchCancel& cancel_;
};

// One fetch on a thread of its own, which the pool's check only waits for until it is done or
// cancelled. Closing the handles ends a blocked WinHTTP call on Windows; where that does not
// (Wine), the cancelled check still returns at once and the abandoned thread, which touches
// nothing but this job, ends with its time-outs or with the process.
struct FetchJob {
  std::mutex mutex;
  std::condition_variable changed;
  bool done = false;
  bool cancelled = false;
  FetchResult result;
  FetchCancel handles;

  void Cancel() {
    {
      std::lock_guard lock(mutex);
      cancelled = true;
    }
    handles.Cancel();
    changed.notify_all();
  }
};

class PoolUpdates final : public PoolJob<UpdatePlatform> {
 public:
  using PoolJob::PoolJob;
  ~PoolUpdates() override { CloseWork(); }
  PoolUpdates(const PoolUpdates&) = delete;
  PoolUpdates& operator=(const PoolUpdates&) = delete;

  void CancelFetch() override {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    if (job_) {
      job_->Cancel();
    }
  }
  std::u16string FeedUrl() override { return FeedUrlFromEnvironment(); }
  FetchResult Fetch(const std::u16string& url) override {
    auto job = std::make_shared<FetchJob>();
    {
      std::lock_guard lock(mutex_);
      if (cancelled_) {
        return {ERROR_WINHTTP_OPERATION_CANCELLED, 0, std::nullopt};
      }
      job_ = job;
    }
    std::thread([job, url] {
      FetchResult result = FetchFeed(url, job->handles);
      {
        std::lock_guard lock(job->mutex);
        job->result = std::move(result);
        job->done = true;
      }
      job->changed.notify_all();
    }).detach();
    std::unique_lock lock(job->mutex);
    job->changed.wait(lock, [&] { return job->done || job->cancelled; });
    FetchResult result =
        job->done ? std::move(job->result) : FetchResult{ERROR_WINHTTP_OPERATION_CANCELLED, 0, {}};
    lock.unlock();
    std::lock_guard own(mutex_);
    job_.reset();
    return result;
  }

 private:
  std::mutex mutex_;
  std::shared_ptr<FetchJob> job_;
  bool cancelled_ = false;
};

}  // namespace

HINTERNET FetchCancel::Hold(HINTERNET handle) {
  std::lock_guard lock(mutex_);
  if (handle != nullptr && cancelled_) {
    WinHttpCloseHandle(handle);
    SetLastError(ERROR_WINHTTP_OPERATION_CANCELLED);
    return nullptr;
  }
  if (handle != nullptr) {
    handles_.push_back(handle);
  }
  return handle;
}

void FetchCancel::CloseHandles() {
  std::lock_guard lock(mutex_);
  while (!handles_.empty()) {
    WinHttpCloseHandle(handles_.back());
    handles_.pop_back();
  }
}

void FetchCancel::Cancel() {
  {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
  }
  // Closing a request handle makes the call blocked on it return at once.
  CloseHandles();
}

std::u16string FeedUrlFromEnvironment() {
  std::array<wchar_t, kFeedVariableBuffer> buffer{};
  const DWORD length = GetEnvironmentVariableW(AsWide(kUpdateFeedVariable.data()), buffer.data(),
                                               kFeedVariableBuffer);
  if (length >= 1 && length < kFeedVariableBuffer) {
    return std::u16string(AsU16(std::wstring_view(buffer.data(), length)));
  }
  return std::u16string(kDefaultFeedUrl);
}

FetchResult FetchFeed(const std::u16string& url, FetchCancel& cancel) {
  std::array<wchar_t, 256> host{};
  std::array<wchar_t, 2048> path{};
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host.data();
  parts.dwHostNameLength = static_cast<DWORD>(host.size());
  parts.lpszUrlPath = path.data();
  parts.dwUrlPathLength = static_cast<DWORD>(path.size());
  if (!WinHttpCrackUrl(AsWide(url.c_str()), 0, 0, &parts)) {
    return {LastErrorCode(), 0, std::nullopt};
  }
  FetchScope scope(cancel);
  const std::wstring userAgent = std::wstring(L"Lumetta/") + kProductVersionWide + L" (Windows)";
  HINTERNET session = scope.Hold(WinHttpOpen(userAgent.c_str(), WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                             WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (session == nullptr) {
    return {LastErrorCode(), 0, std::nullopt};
  }
  WinHttpSetTimeouts(session, kTimeoutMs, kTimeoutMs, kTimeoutMs, kTimeoutMs);
  HINTERNET connection = scope.Hold(WinHttpConnect(session, host.data(), parts.nPort, 0));
  if (connection == nullptr) {
    return {LastErrorCode(), 0, std::nullopt};
  }
  const DWORD flags =
      WINHTTP_FLAG_REFRESH | (parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
  HINTERNET request =
      scope.Hold(WinHttpOpenRequest(connection, L"GET", path.data(), nullptr, WINHTTP_NO_REFERER,
                                    WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
  if (request == nullptr ||
      !WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0,
                          0) ||
      !WinHttpReceiveResponse(request, nullptr)) {
    return {LastErrorCode(), 0, std::nullopt};
  }
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
    return {LastErrorCode(), 0, std::nullopt};
  }
  if (status != 200) {
    return {0, status, std::nullopt};
  }
  std::string body;
  std::array<char, kReadChunk> chunk{};
  for (;;) {
    DWORD read = 0;
    if (!WinHttpReadData(request, chunk.data(), kReadChunk, &read)) {
      return {LastErrorCode(), status, std::nullopt};
    }
    if (read == 0) {
      return {0, status, std::move(body)};
    }
    body.append(chunk.data(), read);
    if (body.size() > kFeedMaxBytes) {
      return {ERROR_FILE_TOO_LARGE, status, std::nullopt};
    }
  }
}

Win32UpdateChecker::Win32UpdateChecker(HWND window, UINT message)
    : platform_(std::make_unique<PoolUpdates>(window, message)),
      checker_(std::make_unique<UpdateChecker>(*platform_)) {}

Win32UpdateChecker::~Win32UpdateChecker() {
  checker_.reset();
  platform_.reset();
}

}  // namespace lumetta
