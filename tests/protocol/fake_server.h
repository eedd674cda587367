// A scripted server on a loopback port, for what real servers will not do on demand:
// "-ERR" at a chosen command, a connection dropped half-way, slowness, garbage.
// It serves one connection on a thread of its own, step by step.
#pragma once

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace plumex::test {

struct FakeStep {
  std::string expect;     // prefix of the next line the client must send; "" = read nothing;
                          // "." = read message data up to the line "."
  std::string reply;      // bytes sent after that (may be several lines, or none)
  int delay_ms = 0;       // pause before replying
  bool close = false;     // close the connection after replying
};

// A POP3 log-in of user "me" with password "pw" to a mailbox of `count` messages of `size`
// bytes each: greeting, CAPA (USER, TOP), USER, PASS, STAT and LIST, each reply after delay_ms.
std::vector<FakeStep> Pop3Login(int count, int size = 100, int delay_ms = 0);

// A loopback port that was free a moment ago: nobody listens there, so a connection is refused.
int ClosedPort();

class FakeServer {
 public:
  explicit FakeServer(std::vector<FakeStep> steps);
  ~FakeServer();  // waits for the script to end (the client must have closed or finished)

  int port() const { return port_; }
  // Every line the client sent (message data included), and script mismatches.
  std::vector<std::string> received() const;
  std::vector<std::string> errors() const;
  // Waits until the script has ended.
  void Join();

 private:
  void Run(std::vector<FakeStep> steps);
  bool ReadLine(int fd, std::string& buffer, std::string& line);

  int listen_fd_ = -1;
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::string> received_;
  std::vector<std::string> errors_;
};

}  // namespace plumex::test
