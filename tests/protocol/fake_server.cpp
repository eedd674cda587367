#include "tests/protocol/fake_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace plumex::test {

int ClosedPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(fd);
  return ntohs(addr.sin_port);
}

FakeServer::FakeServer(std::vector<FakeStep> steps) {
  listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listen_fd_, 1) != 0)
    throw std::runtime_error("fake server: cannot listen");
  socklen_t len = sizeof addr;
  getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  thread_ = std::thread(&FakeServer::Run, this, std::move(steps));
}

FakeServer::~FakeServer() {
  Join();
  if (listen_fd_ >= 0) ::close(listen_fd_);
}

void FakeServer::Join() {
  if (thread_.joinable()) thread_.join();
}

std::vector<std::string> FakeServer::received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

std::vector<std::string> FakeServer::errors() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return errors_;
}

bool FakeServer::ReadLine(int fd, std::string& buffer, std::string& line) {
  for (;;) {
    const size_t nl = buffer.find('\n');
    if (nl != std::string::npos) {
      line = buffer.substr(0, nl);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      buffer.erase(0, nl + 1);
      std::lock_guard<std::mutex> lock(mutex_);
      received_.push_back(line);
      return true;
    }
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 10000) <= 0) return false;
    char chunk[4096];
    const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    if (n <= 0) return false;
    buffer.append(chunk, static_cast<size_t>(n));
  }
}

void FakeServer::Run(std::vector<FakeStep> steps) {
  pollfd p{listen_fd_, POLLIN, 0};
  if (::poll(&p, 1, 10000) <= 0) {
    std::lock_guard<std::mutex> lock(mutex_);
    errors_.push_back("no client connected");
    return;
  }
  const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
  std::string buffer, line;
  bool open = true;
  for (const FakeStep& step : steps) {
    if (step.expect == ".") {
      while ((open = ReadLine(fd, buffer, line)) && line != ".") {
      }
    } else if (!step.expect.empty()) {
      open = ReadLine(fd, buffer, line);
      if (open && line.rfind(step.expect, 0) != 0) {
        std::lock_guard<std::mutex> lock(mutex_);
        errors_.push_back("expected " + step.expect + ", got " + line);
      }
    }
    if (!open) {
      std::lock_guard<std::mutex> lock(mutex_);
      errors_.push_back("client closed before " + step.expect);
      break;
    }
    if (step.delay_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(step.delay_ms));
    if (!step.reply.empty()) ::send(fd, step.reply.data(), step.reply.size(), MSG_NOSIGNAL);
    if (step.close) {
      open = false;
      break;
    }
  }
  // Whatever comes after the script is recorded until the client closes; QUIT is answered
  // by closing, which either client takes as the end.
  while (open && ReadLine(fd, buffer, line) && line != "QUIT") {
  }
  ::close(fd);
}

std::vector<FakeStep> Pop3Login(int count, int size, int delay_ms) {
  std::string sizes;
  for (int n = 1; n <= count; ++n) sizes += std::to_string(n) + " " + std::to_string(size) + "\r\n";
  return {{"", "+OK ready\r\n", delay_ms},
          {"CAPA", "+OK\r\nUSER\r\nTOP\r\n.\r\n", delay_ms},
          {"USER me", "+OK\r\n", delay_ms},
          {"PASS pw", "+OK\r\n", delay_ms},
          {"STAT", "+OK " + std::to_string(count) + " " + std::to_string(count * size) + "\r\n", delay_ms},
          {"LIST", "+OK\r\n" + sizes + ".\r\n", delay_ms}};
}

}  // namespace plumex::test
