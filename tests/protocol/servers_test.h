// A GoogleTest fixture on the real servers of tests/servers, as the CTest fixture
// "mail_servers" started them: without them (a test binary run by hand) every test is skipped.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/text_file.h"
#include "tests/protocol/test_servers.h"

namespace plumex::test {

class ServersTest : public ::testing::Test {
 protected:
  // A fixture with a SetUp of its own calls this first and returns when IsSkipped().
  void SetUp() override {
    servers = TestServers::Find();
    if (!servers) GTEST_SKIP() << "PLUMEX_TEST_SERVERS is not set (run through ctest)";
  }

  std::optional<TestServers> servers;
};

#ifdef PLUMEX_PARSE_SENT_MAIL
// The "key: JSON value" lines the independent parser (Python's email package) prints for a
// delivered message.
inline std::vector<std::string> ParseSentMail(const std::filesystem::path& file) {
  const std::string command = std::string("/usr/bin/python3 '") + PLUMEX_PARSE_SENT_MAIL + "' '" + file.string() + "'";
  FILE* p = popen(command.c_str(), "r");
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  EXPECT_EQ(pclose(p), 0) << out;
  return SplitLines(out);
}
#endif

}  // namespace plumex::test
