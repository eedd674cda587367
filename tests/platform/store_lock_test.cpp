// One writer per store: a second holder waits, then gives up; the lock goes with its holder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/store_lock.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

TEST(StoreLock, ASecondWriterWaitsThenGivesUpAndTheLockGoesWithItsHolder) {
  test::TempDir root;
  std::optional<StoreLock> first = StoreLock::Acquire(root.path(), std::chrono::milliseconds(0));
  ASSERT_TRUE(first);
  EXPECT_FALSE(StoreLock::Acquire(root.path(), std::chrono::milliseconds(200)));
  first.reset();
  EXPECT_TRUE(StoreLock::Acquire(root.path(), std::chrono::milliseconds(0)));
  struct stat st {};
  ASSERT_EQ(::stat((root.path() / kStoreLockName).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

}  // namespace
}  // namespace plumex
