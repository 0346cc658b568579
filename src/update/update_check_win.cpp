#include "update/update_check_win.h"

#include <winhttp.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "app/build_version.h"
#include "base/owner_win.h"
#include "base/pool_work_win.h"
#include "base/wide.h"
#include "base/win_error.h"

namespace lumetta {

namespace {

constexpr DWORD kTimeoutMs = 15000;
constexpr DWORD kReadChunk = 8192;
constexpr DWORD kFeedVariableBuffer = 2048;

using InternetHandle = UniqueOwner<NullEmptyTraits<HINTERNET, &WinHttpCloseHandle>>;

// What one request shares with WinHTTP's callbacks, guarded by the signal's mutex. WinHTTP
// holds it from binding until the handle's last callback, which may come long after a cancel
// let the fetch return: WinHTTP may still write into the read buffer until then.
struct RequestState {
  std::shared_ptr<FetchCancel::Signal> signal;
  DWORD completion = 0;  // the last completion's status; 0 while one is awaited
  DWORD outcome = 0;     // its error code, or its byte count
  std::array<char, kReadChunk> chunk{};
};
using StateHold = std::shared_ptr<RequestState>;

void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, void* information,
                       DWORD length) noexcept {
  auto* hold = reinterpret_cast<StateHold*>(context);
  if (status == WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING) {
    delete hold;  // the handle's last callback
    return;
  }
  RequestState& state = **hold;
  std::lock_guard lock(state.signal->mutex);
  state.completion = status;
  if (status == WINHTTP_CALLBACK_STATUS_REQUEST_ERROR) {
    state.outcome = static_cast<WINHTTP_ASYNC_RESULT*>(information)->dwError;
  } else if (status == WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE) {
    state.outcome = *static_cast<DWORD*>(information);
  } else {
    state.outcome = length;
  }
  state.signal->changed.notify_all();
}

// One request in WinHTTP's asynchronous mode, driven from the fetching thread alone: the
// callback only records a completion and wakes that thread, as a cancel does. So every WinHTTP
// call on the request, the closing one last, comes from one thread in order.
class AsyncRequest {
 public:
  AsyncRequest(FetchCancel& cancel, HINTERNET handle)
      : handle_(handle), state_(std::make_shared<RequestState>()) {
    state_->signal = cancel.signal();
  }
  // Closing is the documented cancel of an operation in progress, and returns at once; the
  // state stays with WinHTTP until the handle's last callback.
  ~AsyncRequest() { WinHttpCloseHandle(handle_); }
  AsyncRequest(const AsyncRequest&) = delete;
  AsyncRequest& operator=(const AsyncRequest&) = delete;

  [[nodiscard]] DWORD_PTR context() const { return context_; }
  [[nodiscard]] char* chunk() { return state_->chunk.data(); }

  // Routes the request's callbacks to its state; the error code, or 0.
  [[nodiscard]] std::uint32_t Bind() {
    auto hold = std::make_unique<StateHold>(state_);
    DWORD_PTR context = reinterpret_cast<DWORD_PTR>(hold.get());
    if (!WinHttpSetOption(handle_, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context)) {
      return LastErrorCode();
    }
    constexpr DWORD kNotifications =
        WINHTTP_CALLBACK_FLAG_SENDREQUEST_COMPLETE | WINHTTP_CALLBACK_FLAG_HEADERS_AVAILABLE |
        WINHTTP_CALLBACK_FLAG_DATA_AVAILABLE | WINHTTP_CALLBACK_FLAG_READ_COMPLETE |
        WINHTTP_CALLBACK_FLAG_REQUEST_ERROR | WINHTTP_CALLBACK_FLAG_HANDLES;
    if (WinHttpSetStatusCallback(handle_, &OnStatus, kNotifications, 0) ==
        WINHTTP_INVALID_STATUS_CALLBACK) {
      return LastErrorCode();
    }
    context_ = reinterpret_cast<DWORD_PTR>(hold.release());  // WinHTTP's now, to its last callback
    return 0;
  }

  // Starts one operation with `start` and waits for its completion or a cancel: the error code,
  // or 0 with the completion's byte count in `bytes`. Nothing starts once cancelled.
  template <typename Start>
  [[nodiscard]] std::uint32_t Await(Start start, DWORD* bytes = nullptr) {
    FetchCancel::Signal& signal = *state_->signal;
    {
      std::lock_guard lock(signal.mutex);
      if (signal.cancelled) {
        return ERROR_WINHTTP_OPERATION_CANCELLED;
      }
      state_->completion = 0;  // before the start: the callback may come within it
    }
    if (!start()) {
      return LastErrorCode();
    }
    std::unique_lock lock(signal.mutex);
    signal.changed.wait(lock, [&] { return signal.cancelled || state_->completion != 0; });
    if (signal.cancelled) {
      return ERROR_WINHTTP_OPERATION_CANCELLED;
    }
    if (state_->completion == WINHTTP_CALLBACK_STATUS_REQUEST_ERROR) {
      return state_->outcome != 0 ? state_->outcome : static_cast<std::uint32_t>(E_FAIL);
    }
    if (bytes != nullptr) {
      *bytes = state_->outcome;
    }
    return 0;
  }

 private:
  HINTERNET handle_;
  StateHold state_;
  DWORD_PTR context_ = 0;
};

class PoolUpdates final : public PoolJob<UpdatePlatform> {
 public:
  using PoolJob::PoolJob;
  ~PoolUpdates() override { CloseWork(); }
  PoolUpdates(const PoolUpdates&) = delete;
  PoolUpdates& operator=(const PoolUpdates&) = delete;

  void CancelFetch() override { cancel_.Cancel(); }
  std::u16string FeedUrl() override { return FeedUrlFromEnvironment(); }
  // On the pool's thread, which the fetch holds: a cancel wakes it, so no thread of its own.
  FetchResult Fetch(const std::u16string& url) override { return FetchFeed(url, cancel_); }

 private:
  FetchCancel cancel_;
};

}  // namespace

void FetchCancel::Cancel() {
  std::lock_guard lock(signal_->mutex);
  signal_->cancelled = true;
  signal_->changed.notify_all();
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
  const std::wstring userAgent = std::wstring(L"Lumetta/") + kProductVersionWide + L" (Windows)";
  const InternetHandle session(WinHttpOpen(userAgent.c_str(), WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                           WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS,
                                           WINHTTP_FLAG_ASYNC));
  if (!session) {
    return {LastErrorCode(), 0, std::nullopt};
  }
  WinHttpSetTimeouts(session.get(), kTimeoutMs, kTimeoutMs, kTimeoutMs, kTimeoutMs);
  const InternetHandle connection(WinHttpConnect(session.get(), host.data(), parts.nPort, 0));
  if (!connection) {
    return {LastErrorCode(), 0, std::nullopt};
  }
  const DWORD flags =
      WINHTTP_FLAG_REFRESH | (parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
  HINTERNET handle = WinHttpOpenRequest(connection.get(), L"GET", path.data(), nullptr,
                                        WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags);
  if (handle == nullptr) {
    return {LastErrorCode(), 0, std::nullopt};
  }
  AsyncRequest request(cancel, handle);  // closed first, before its connection and session
  std::uint32_t error = request.Bind();
  if (error == 0) {
    // The context again: the send sets the one the request's callbacks carry.
    error = request.Await([&] {
      return WinHttpSendRequest(handle, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                                0, 0, request.context());
    });
  }
  if (error == 0) {
    error = request.Await([&] { return WinHttpReceiveResponse(handle, nullptr); });
  }
  if (error != 0) {
    return {error, 0, std::nullopt};
  }
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!WinHttpQueryHeaders(handle, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
    return {LastErrorCode(), 0, std::nullopt};
  }
  if (status != HTTP_STATUS_OK) {
    return {0, status, std::nullopt};
  }
  // Asking what is there first and reading no more than that: a read of more may wait on the
  // calling thread for the rest, where a cancel cannot reach it.
  std::string body;
  for (;;) {
    DWORD available = 0;
    error = request.Await([&] { return WinHttpQueryDataAvailable(handle, nullptr); }, &available);
    if (error != 0) {
      return {error, 0, std::nullopt};
    }
    if (available == 0) {
      return {0, status, std::move(body)};
    }
    DWORD read = 0;
    error = request.Await(
        [&] {
          return WinHttpReadData(handle, request.chunk(), std::min(available, kReadChunk), nullptr);
        },
        &read);
    if (error != 0) {
      return {error, 0, std::nullopt};
    }
    body.append(request.chunk(), read);
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
