// The store's files and folders are private whatever the umask, and a failed write leaves
// neither a temporary file nor an open descriptor behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "text/code_page.h"
#include "platform/directories.h"
#include "platform/text_file.h"
#include "platform/unique_fd.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace plumex {
namespace {

class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : old_(::umask(mask)) {}
  ~ScopedUmask() { ::umask(old_); }

 private:
  mode_t old_;
};

// Files may grow to `bytes` only; a write beyond fails with EFBIG instead of a signal.
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_limit_);
    old_handler_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_limit_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~ScopedFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_limit_);
    ::signal(SIGXFSZ, old_handler_);
  }

 private:
  rlimit old_limit_{};
  sighandler_t old_handler_;
};

mode_t ModeOf(const fs::path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

std::vector<std::string> Entries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

size_t OpenDescriptors() {
  return static_cast<size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

constexpr mode_t kUmasks[] = {0000, 0022, 0277};

TEST(PrivateFiles, FilesAre0600AfterCreateReplaceAndAppend) {
  for (mode_t mask : kUmasks) {
    test::TempDir dir;
    ScopedUmask umask(mask);
    SCOPED_TRACE(mask);

    const auto created = dir.path() / "new.ini";
    WriteFileAtomic(created, "a");
    EXPECT_EQ(ModeOf(created), 0600u);

    // A save makes the file private again, whatever a user or an older version left.
    const auto replaced = dir.path() / "Account.ini";
    WriteFileAtomic(replaced, "old");
    ASSERT_EQ(::chmod(replaced.c_str(), 0644), 0);
    WriteFileAtomic(replaced, "new");
    EXPECT_EQ(ModeOf(replaced), 0600u);
    EXPECT_EQ(*ReadFileBytes(replaced), "new");

    const auto appended = dir.path() / "log.txt";
    AppendToFile(appended, "x");
    EXPECT_EQ(ModeOf(appended), 0600u);
    ASSERT_EQ(::chmod(appended.c_str(), 0644), 0);
    AppendToFile(appended, "y");
    EXPECT_EQ(ModeOf(appended), 0600u);
    EXPECT_EQ(*ReadFileBytes(appended), "xy");
  }
}

TEST(PrivateFiles, DirectoriesAre0700AndParentsThatWereThereKeepTheirMode) {
  for (mode_t mask : kUmasks) {
    test::TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    ScopedUmask umask(mask);
    SCOPED_TRACE(mask);

    ASSERT_TRUE(EnsureDirectory(dir.path() / "a" / "b" / "c"));
    for (const auto& made : {dir.path() / "a", dir.path() / "a" / "b", dir.path() / "a" / "b" / "c"})
      EXPECT_EQ(ModeOf(made), 0700u) << made;
    EXPECT_EQ(ModeOf(dir.path()), 0755u);
  }
}

TEST(PrivateFiles, CopiedTreeIsPrivateWithTheSameContent) {
  test::TempDir dir;
  ScopedUmask umask(0022);
  const auto source = dir.path() / "source";
  ASSERT_EQ(::mkdir(source.c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((source / "添付").c_str(), 0755), 0);
  for (const auto& [file, bytes] : {std::pair{source / "MsgID.ini", std::string("row\r\n")},
                                    std::pair{source / "添付" / "a.bin", std::string("\0\x81\xff", 3)}}) {
    UniqueFd fd(::open(file.c_str(), O_WRONLY | O_CREAT, 0644));
    ASSERT_TRUE(fd);
    ASSERT_EQ(::write(fd.get(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  const auto target = dir.path() / "x" / "copy";
  ASSERT_TRUE(CopyDirectory(source, target));

  EXPECT_EQ(ModeOf(dir.path() / "x"), 0700u);
  EXPECT_EQ(ModeOf(target), 0700u);
  EXPECT_EQ(ModeOf(target / "添付"), 0700u);
  EXPECT_EQ(ModeOf(target / "MsgID.ini"), 0600u);
  EXPECT_EQ(ModeOf(target / "添付" / "a.bin"), 0600u);
  EXPECT_EQ(*ReadFileBytes(target / "MsgID.ini"), "row\r\n");
  EXPECT_EQ(*ReadFileBytes(target / "添付" / "a.bin"), std::string("\0\x81\xff", 3));
}

// Each fault strikes at a different step: creating the temporary file, writing it, renaming it.
TEST(PrivateFiles, FailedWriteLeavesNoTemporaryFileNoDescriptorAndTheOldFile) {
  test::TempDir dir;
  const auto existing = dir.path() / "受信.ini";
  WriteFileAtomic(existing, "old\r\n");
  ASSERT_TRUE(EnsureDirectory(dir.path() / "folder.ini"));
  const std::string big(64 * 1024, 'x');

  struct Fault {
    const char* name;
    fs::path target;
    std::function<void()> write;
  };
  const Fault faults[] = {
      {"parent is a regular file", existing / "x.ini", [&] { WriteFileAtomic(existing / "x.ini", "new"); }},
      {"target is a directory", dir.path() / "folder.ini", [&] { WriteFileAtomic(dir.path() / "folder.ini", "new"); }},
      {"file size limit on replace", existing,
       [&] {
         ScopedFileSizeLimit limit(4096);
         WriteFileAtomic(existing, big);
       }},
      {"file size limit on append", existing,
       [&] {
         ScopedFileSizeLimit limit(4096);
         AppendToFile(existing, big);
       }},
      {"append to a directory", dir.path() / "folder.ini", [&] { AppendToFile(dir.path() / "folder.ini", "row\r\n"); }},
  };
  for (const auto& fault : faults) {
    SCOPED_TRACE(fault.name);
    const auto entries = Entries(dir.path());
    const size_t descriptors = OpenDescriptors();
    try {
      fault.write();
      ADD_FAILURE() << "no error";
    } catch (const FileWriteError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::LocalFile);
      EXPECT_EQ(e.text(), Utf8ToCp932("ファイルに書き込めませんでした: " + fault.target.string()));
    }
    EXPECT_EQ(Entries(dir.path()), entries);
    EXPECT_EQ(OpenDescriptors(), descriptors);
    EXPECT_EQ(*ReadFileBytes(existing), "old\r\n");
  }
}

TEST(UniqueFd, ClosesOnceWhenItsLastOwnerGoes) {
  int raw = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  ASSERT_GE(raw, 0);
  {
    UniqueFd first(raw);
    UniqueFd second(std::move(first));
    EXPECT_FALSE(first);
    UniqueFd third;
    third = std::move(second);
    EXPECT_EQ(third.get(), raw);
    EXPECT_NE(::fcntl(raw, F_GETFD), -1);
  }
  EXPECT_EQ(::fcntl(raw, F_GETFD), -1);

  UniqueFd kept(::open("/dev/null", O_RDONLY | O_CLOEXEC));
  const int released = kept.release();
  EXPECT_FALSE(kept);
  EXPECT_NE(::fcntl(released, F_GETFD), -1);
  EXPECT_EQ(::close(released), 0);
}

}  // namespace
}  // namespace plumex
