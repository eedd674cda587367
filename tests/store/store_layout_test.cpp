#include "store/store_layout.h"

#include <gtest/gtest.h>

#include "text/sjis_text.h"

namespace plumex {
namespace {

TEST(StoreLayout, FolderNames) {
  const std::string so = Sjis("ソ");  // 0x83 0x5C: its trail byte is a "\"
  for (const std::string& name : {Sjis("仕事"), so, std::string("home"), so + "x", std::string("a b")})
    EXPECT_TRUE(IsFolderName(name)) << name;
  for (const std::string& name : {std::string(), std::string("a\\b"), std::string("a\\"), std::string("\\"),
                                  std::string("a/b"), std::string("a\tb"), std::string("."), std::string(".."),
                                  std::string("Attachment")})
    EXPECT_FALSE(IsFolderName(name)) << name;
}

}  // namespace
}  // namespace plumex
