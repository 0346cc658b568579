// A loopback HTTP server for the update check: answers every request on 127.0.0.1 with the
// status and body it was given, on a port of its own.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lumetta::test {

class FeedServer {
 public:
  FeedServer() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;  // any free port
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    listen(listener_, 8);
    thread_ = std::thread([this] { Serve(); });
  }
  ~FeedServer() {
    stopping_ = true;
    closesocket(listener_);
    thread_.join();
    for (SOCKET held : held_) {
      closesocket(held);
    }
    WSACleanup();
  }
  FeedServer(const FeedServer&) = delete;
  FeedServer& operator=(const FeedServer&) = delete;

  void Answer(int status, std::string body) {
    std::lock_guard lock(mutex_);
    status_ = status;
    body_ = std::move(body);
  }
  // From now on requests are read and never answered, as by a server that hangs.
  void Hang() { hanging_ = true; }
  [[nodiscard]] std::wstring Url() const {
    return L"http://127.0.0.1:" + std::to_wstring(port_) + L"/lumettawin/version.json";
  }
  [[nodiscard]] int requests() const { return requests_; }

 private:
  void Serve() {
    while (!stopping_) {
      SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) {
        continue;
      }
      std::string request;
      char buffer[4096];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const int got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) {
          break;
        }
        request.append(buffer, static_cast<std::size_t>(got));
      }
      if (hanging_) {
        held_.push_back(client);
        ++requests_;
        continue;
      }
      std::unique_lock lock(mutex_);
      const std::string response = "HTTP/1.1 " + std::to_string(status_) +
                                   " Status\r\nContent-Length: " + std::to_string(body_.size()) +
                                   "\r\nConnection: close\r\n\r\n" + body_;
      lock.unlock();
      ++requests_;
      send(client, response.data(), static_cast<int>(response.size()), 0);  // blocks till sent
      shutdown(client, SD_SEND);
      closesocket(client);
    }
  }

  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> hanging_{false};
  std::vector<SOCKET> held_;  // the server thread's own until it is joined
  std::atomic<int> requests_{0};
  std::mutex mutex_;
  int status_ = 200;
  std::string body_;
};

}  // namespace lumetta::test
