// A web server on 127.0.0.1 for the update checks of end-to-end tests.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "win32/text.h"

namespace hx::e2e {

// A web server on 127.0.0.1 that answers every request with what the test
// set (after the redirects it was told to give first), one request at a
// time. While held, a request waits for Release (or for the server's end: a
// site that never answers). A trickling server sends its answer one byte a
// second, headers included: no single receive waits long, yet the answer
// takes minutes.
class VersionServer {
 public:
  VersionServer() {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 8);
    int length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~VersionServer() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    released_.notify_all();
    thread_.join();
    closesocket(listener_);
    WSACleanup();
  }

  std::wstring Address(const std::string& host = "127.0.0.1",
                       const std::string& path = "/update/horavex-kt.txt") const {
    return L"http://" + win::Widen(host) + L":" + std::to_wstring(port_) + win::Widen(path);
  }
  void Answer(const std::string& body, const std::string& status = "200 OK") {
    std::lock_guard lock(mutex_);
    response_ = "HTTP/1.0 " + status + "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
                std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
  }
  void RedirectOnce(const std::wstring& location) {
    std::lock_guard lock(mutex_);
    redirects_.push_back("HTTP/1.0 302 Found\r\nLocation: " + win::Narrow(location) +
                         "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
  }
  void Hold() {
    std::lock_guard lock(mutex_);
    held_ = true;
  }
  void Trickle() {
    std::lock_guard lock(mutex_);
    trickle_ = true;
  }
  void Release() {
    {
      std::lock_guard lock(mutex_);
      held_ = false;
    }
    released_.notify_all();
  }
  int Requests() const { return requests_; }
  // Bytes of the last answer sent so far, and whether all of it went.
  size_t Sent() const { return sent_; }
  bool SentInFull() const { return sentInFull_; }
  std::string LastRequest() const {
    std::lock_guard lock(mutex_);
    return lastRequest_;
  }

  // An address where nothing listens.
  static std::wstring ClosedAddress() {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    closesocket(s);
    return L"http://127.0.0.1:" + std::to_wstring(ntohs(address.sin_port)) + L"/update/horavex-kt.txt";
  }

 private:
  void Serve() {
    while (true) {
      {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
      }
      fd_set ready;
      FD_ZERO(&ready);
      FD_SET(listener_, &ready);
      timeval wait{0, 100000};
      if (select(0, &ready, nullptr, nullptr, &wait) <= 0) continue;
      SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) continue;
      Handle(client);
      closesocket(client);
    }
  }

  void Handle(SOCKET client) {
    DWORD timeout = 10000;
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    std::string request;
    char buffer[1024];
    while (request.find("\r\n\r\n") == std::string::npos) {
      const int n = recv(client, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      request.append(buffer, static_cast<size_t>(n));
    }
    std::string response;
    bool trickle = false;
    {
      std::unique_lock lock(mutex_);
      lastRequest_ = request;
      ++requests_;
      released_.wait(lock, [&] { return !held_ || stopping_; });
      if (stopping_) return;
      response = response_;
      if (!redirects_.empty()) {
        response = redirects_.front();
        redirects_.erase(redirects_.begin());
      }
      trickle = trickle_;
      sent_ = 0;
      sentInFull_ = false;
    }
    size_t sent = 0;
    while (sent < response.size()) {
      const int n = send(client, response.data() + sent, trickle ? 1 : static_cast<int>(response.size() - sent), 0);
      if (n <= 0) break;
      sent_ = sent += static_cast<size_t>(n);
      if (!trickle || sent == response.size()) continue;
      std::unique_lock lock(mutex_);
      if (released_.wait_for(lock, 1s, [&] { return stopping_; })) return;
    }
    sentInFull_ = sent == response.size();
    shutdown(client, SD_SEND);
  }

  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::condition_variable released_;
  bool stopping_ = false;
  bool held_ = false;
  bool trickle_ = false;
  std::string response_;
  std::vector<std::string> redirects_;
  std::string lastRequest_;
  std::atomic<int> requests_{0};
  std::atomic<size_t> sent_{0};
  std::atomic<bool> sentInFull_{false};
};

}  // namespace hx::e2e
