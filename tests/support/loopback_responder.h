// An HTTP responder on 127.0.0.1 at a free port. Each Answer() serves one request on a thread
// that gives up by itself when none comes; a connection never accepted stands for a server that
// takes the request and never answers. Not listening, the port refuses every connection.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <thread>

namespace lumetta::test {

class LoopbackResponder {
 public:
  explicit LoopbackResponder(bool listening = true) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    bind(listener_, reinterpret_cast<sockaddr*>(&address), length);  // port 0: any free one
    if (listening) {
      Listen();
    }
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~LoopbackResponder() {
    Join();
    closesocket(listener_);
    WSACleanup();
  }
  LoopbackResponder(const LoopbackResponder&) = delete;
  LoopbackResponder& operator=(const LoopbackResponder&) = delete;

  [[nodiscard]] std::wstring Url() const {
    return L"http://127.0.0.1:" + std::to_wstring(port_) + L"/lumettawin/version.json";
  }
  bool Listen() { return listen(listener_, 4) == 0; }
  // Whether a connection waits to be accepted within `timeoutMs`.
  [[nodiscard]] bool Pending(DWORD timeoutMs) const {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(listener_, &ready);
    timeval wait{static_cast<long>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000) * 1000};
    return select(0, &ready, nullptr, nullptr, &wait) == 1;
  }
  // The next request gets `status` and `body`.
  void Answer(int status, const std::string& body) {
    Join();
    std::string response = "HTTP/1.1 " + std::to_string(status) +
                           " Status\r\nContent-Length: " + std::to_string(body.size()) +
                           "\r\nConnection: close\r\n\r\n" + body;
    thread_ = std::thread([this, response = std::move(response)] {
      if (!Pending(kWaitMs)) {
        return;
      }
      const SOCKET client = accept(listener_, nullptr, nullptr);
      for (const int option : {SO_RCVTIMEO, SO_SNDTIMEO}) {
        setsockopt(client, SOL_SOCKET, option, reinterpret_cast<const char*>(&kWaitMs),
                   sizeof kWaitMs);
      }
      std::string request;
      char buffer[1024];
      for (int got = 1; got > 0 && request.find("\r\n\r\n") == std::string::npos;) {
        got = recv(client, buffer, sizeof buffer, 0);
        request.append(buffer, static_cast<std::size_t>(std::max(got, 0)));
      }
      send(client, response.data(), static_cast<int>(response.size()), 0);
      shutdown(client, SD_SEND);
      closesocket(client);
    });
  }

 private:
  void Join() {
    if (thread_.joinable()) {
      thread_.join();
    }
  }

  static constexpr DWORD kWaitMs = 10000;
  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  std::thread thread_;
};

}  // namespace lumetta::test
