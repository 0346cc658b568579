// An HTTP server on 127.0.0.1 at a free port that answers one request at a time, on the
// caller's thread. A connection it never accepts is a server that takes the request and never
// answers: the system completes the handshake and holds what the client sends. Not listening,
// the port refuses every connection.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>

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
    (void)bind(listener_, reinterpret_cast<sockaddr*>(&address), length);  // port 0: any free one
    if (listening) {
      Listen();
    }
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~LoopbackResponder() {
    closesocket(held_);
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
  [[nodiscard]] bool Pending(long timeoutMs) const {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(listener_, &ready);
    timeval wait{timeoutMs / 1000, timeoutMs % 1000 * 1000};
    return select(0, &ready, nullptr, nullptr, &wait) == 1;
  }
  // Reads the next request, within 10 s, and answers it with `status` and `body`, leaving out the
  // body's last `missing` bytes. The connection stays open until the next one or the end.
  bool Serve(int status, const std::string& body, std::size_t missing = 0) {
    if (!Pending(10000)) {
      return false;
    }
    const SOCKET client = accept(listener_, nullptr, nullptr);
    const DWORD waitMs = 10000;  // a client that never sends must not hold the test
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&waitMs),
               sizeof waitMs);
    std::string request;
    char buffer[1024];
    for (int got = 1; got > 0 && request.find("\r\n\r\n") == std::string::npos;) {
      got = recv(client, buffer, sizeof buffer, 0);
      request.append(buffer, static_cast<std::size_t>(std::max(got, 0)));
    }
    const std::string response = "HTTP/1.1 " + std::to_string(status) +
                                 " Status\r\nContent-Length: " + std::to_string(body.size()) +
                                 "\r\nConnection: close\r\n\r\n" + body;
    send(client, response.data(), static_cast<int>(response.size() - missing), 0);
    closesocket(std::exchange(held_, client));
    return true;
  }

 private:
  SOCKET listener_ = INVALID_SOCKET;
  SOCKET held_ = INVALID_SOCKET;
  unsigned short port_ = 0;
};

}  // namespace lumetta::test
