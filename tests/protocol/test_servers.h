// The real servers of tests/servers, as the CTest fixture "mail_servers" started them.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace plumex::test {

class TestServers {
 public:
  // The servers of $PLUMEX_TEST_SERVERS, or nothing when the variable is unset.
  static std::optional<TestServers> Find();

  std::string Get(const std::string& key) const;
  int Port(const std::string& key) const { return std::stoi(Get(key)); }

  // Creates (or empties) the POP3 mailbox of user and fills it with the messages, in order.
  void MakeMailbox(const std::string& user, const std::vector<std::string>& messages) const;

  // The delivered message whose header holds `needle` (a unique Message-ID, say), waiting
  // up to timeout_seconds for the queue to deliver it; empty path when none came.
  std::filesystem::path WaitForDelivered(const std::string& needle, int timeout_seconds = 20) const;

 private:
  std::map<std::string, std::string> values_;
};

}  // namespace plumex::test
