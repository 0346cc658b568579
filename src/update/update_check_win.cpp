#include "update/update_check_win.h"

#include <winhttp.h>

#include <array>
#include <string>

#include "base/pool_work_win.h"
#include "base/wide.h"

namespace lumetta {
namespace {

constexpr DWORD kTimeoutMs = 15000;
constexpr DWORD kReadChunk = 8192;
constexpr DWORD kFeedVariableBuffer = 2048;

std::uint32_t LastError() {
  return static_cast<std::uint32_t>(GetLastError());
}

// Closes WinHTTP handles in reverse order of opening.
class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET handle = nullptr) : handle_(handle) {}
  ~InternetHandle() {
    if (handle_ != nullptr) {
      WinHttpCloseHandle(handle_);
    }
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  [[nodiscard]] HINTERNET get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HINTERNET handle_;
};

class PoolUpdates final : public UpdatePlatform {
 public:
  PoolUpdates(HWND window, UINT message) : window_(window), message_(message) {}
  ~PoolUpdates() override { CloseWork(); }
  PoolUpdates(const PoolUpdates&) = delete;
  PoolUpdates& operator=(const PoolUpdates&) = delete;

  std::uint32_t CreateWork(std::function<void()> callback) override {
    return work_.Create(std::move(callback));
  }
  void SubmitWork() override { work_.Submit(); }
  void CloseWork() override { work_.Close(); }
  std::u16string FeedUrl() override { return FeedUrlFromEnvironment(); }
  FetchResult Fetch(const std::u16string& url) override { return FetchFeed(url); }
  void NotifyDone() override { PostMessageW(window_, message_, 0, 0); }

 private:
  HWND window_;
  UINT message_;
  PoolWork work_;
};

}  // namespace

std::u16string FeedUrlFromEnvironment() {
  std::array<wchar_t, kFeedVariableBuffer> buffer{};
  const DWORD length = GetEnvironmentVariableW(AsWide(kUpdateFeedVariable.data()), buffer.data(),
                                               kFeedVariableBuffer);
  if (length >= 1 && length < kFeedVariableBuffer) {
    return std::u16string(AsU16(std::wstring_view(buffer.data(), length)));
  }
  return std::u16string(kDefaultFeedUrl);
}

FetchResult FetchFeed(const std::u16string& url) {
  std::array<wchar_t, 256> host{};
  std::array<wchar_t, 2048> path{};
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host.data();
  parts.dwHostNameLength = static_cast<DWORD>(host.size());
  parts.lpszUrlPath = path.data();
  parts.dwUrlPathLength = static_cast<DWORD>(path.size());
  if (!WinHttpCrackUrl(AsWide(url.c_str()), 0, 0, &parts)) {
    return {LastError(), 0, std::nullopt};
  }
  InternetHandle session(WinHttpOpen(L"Lumetta/0.9.0 (Windows)",
                                     WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                     WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) {
    return {LastError(), 0, std::nullopt};
  }
  WinHttpSetTimeouts(session.get(), kTimeoutMs, kTimeoutMs, kTimeoutMs, kTimeoutMs);
  InternetHandle connection(WinHttpConnect(session.get(), host.data(), parts.nPort, 0));
  if (!connection) {
    return {LastError(), 0, std::nullopt};
  }
  const DWORD flags =
      WINHTTP_FLAG_REFRESH | (parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
  InternetHandle request(WinHttpOpenRequest(connection.get(), L"GET", path.data(), nullptr,
                                            WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                            flags));
  if (!request ||
      !WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                          0, 0, 0) ||
      !WinHttpReceiveResponse(request.get(), nullptr)) {
    return {LastError(), 0, std::nullopt};
  }
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
    return {LastError(), 0, std::nullopt};
  }
  if (status != 200) {
    return {0, status, std::nullopt};
  }
  std::string body;
  std::array<char, kReadChunk> chunk{};
  for (;;) {
    DWORD read = 0;
    if (!WinHttpReadData(request.get(), chunk.data(), kReadChunk, &read)) {
      return {LastError(), status, std::nullopt};
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
