#include "platform/text_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

TEST(SplitLines, AcceptsEveryLineEnd) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR is two line ends
      {"\t\x95\x5C\r\n", {"\t\x95\x5C"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
}

TEST(TextFile, WritesCrLfAndReadsBack) {
  test::TempDir dir;
  auto path = dir.path() / "x.ini";
  WriteLines(path, {"one", "", "\x8e\xf3\x90\x4d"});
  EXPECT_EQ(*ReadFileBytes(path), "one\r\n\r\n\x8e\xf3\x90\x4d\r\n");
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadLines(path, lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "", "\x8e\xf3\x90\x4d"}));
  EXPECT_FALSE(ReadLines(dir.path() / "missing", lines));
  EXPECT_TRUE(lines.empty());
}

TEST(TextFile, WriteIntoMissingDirectoryThrowsAndLeavesNothing) {
  test::TempDir dir;
  EXPECT_THROW(WriteLines(dir.path() / "no" / "x.ini", {"a"}), FileWriteError);
}

// A writer killed at random moments leaves either the old or the new file, never a mixture.
TEST(TextFile, AtomicReplaceSurvivesAKilledWriter) {
  test::TempDir dir;
  auto path = dir.path() / "index.ini";
  const std::string a(200000, 'a');
  const std::string b(300000, 'b');
  WriteFileAtomic(path, a);
  for (int round = 0; round < 20; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) WriteFileAtomic(path, i % 2 ? a : b);
    }
    usleep(2000 + round * 1500);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    auto content = ReadFileBytes(path);
    ASSERT_TRUE(content);
    EXPECT_TRUE(*content == a || *content == b) << "round " << round << " size " << content->size();
  }
}

}  // namespace
}  // namespace plumex
