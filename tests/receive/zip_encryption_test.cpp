// Password-protected ZIP attachments are told by their headers alone; nothing is extracted.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "receive/zip_encryption.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

std::string Le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string Le32(unsigned long v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

// A one-entry stored archive; local_flags and central_flags set the general-purpose bits.
std::string Zip(unsigned local_flags, unsigned central_flags) {
  const std::string name = "a.txt", data = "hello";
  std::string local = std::string("PK\x03\x04", 4) + Le16(20) + Le16(local_flags) + Le16(0) + Le32(0) + Le32(0) +
                      Le32(data.size()) + Le32(data.size()) + Le16(name.size()) + Le16(0) + name + data;
  std::string central = std::string("PK\x01\x02", 4) + Le16(20) + Le16(20) + Le16(central_flags) + Le16(0) + Le32(0) +
                        Le32(0) + Le32(data.size()) + Le32(data.size()) + Le16(name.size()) + Le16(0) + Le16(0) +
                        Le16(0) + Le16(0) + Le32(0) + Le32(0) + name;
  std::string end = std::string("PK\x05\x06", 4) + Le16(0) + Le16(0) + Le16(1) + Le16(1) + Le32(central.size()) +
                    Le32(local.size()) + Le16(0);
  return local + central + end;
}

TEST(ZipEncryption, TheEncryptionBitOfLocalHeaderOrCentralDirectory) {
  const std::tuple<const char*, std::string, bool> cases[] = {
      {"plain archive", Zip(0, 0), false},
      {"encrypted entry", Zip(1, 1), true},
      {"bit in the central directory only (data descriptor archives)", Zip(0, 1), true},
      {"other bits only", Zip(8, 8 | 0x800), false},
      {"no archive", "PKthis is text", false},
      {"empty", "", false},
      {"truncated end record", Zip(0, 1).substr(0, Zip(0, 1).size() - 10), false},
  };
  test::TempDir dir;
  for (const auto& [name, bytes, encrypted] : cases) {
    const auto file = dir.path() / "x.zip";
    std::ofstream(file, std::ios::binary) << bytes;
    EXPECT_EQ(IsEncryptedZip(file), encrypted) << name;
  }
  EXPECT_FALSE(IsEncryptedZip(dir.path() / "missing.zip"));
}

TEST(ZipEncryption, ArchivesMadeByTheZipTool) {
  if (std::system("command -v zip >/dev/null 2>&1") != 0) GTEST_SKIP() << "zip is not installed";
  test::TempDir dir;
  const std::string d = dir.path().string();
  std::ofstream(dir.path() / "見積.txt") << "秘密";
  ASSERT_EQ(std::system(("cd '" + d + "' && zip -q -P secret locked.zip 見積.txt && zip -q open.zip 見積.txt").c_str()), 0);
  EXPECT_TRUE(IsEncryptedZip(dir.path() / "locked.zip"));
  EXPECT_FALSE(IsEncryptedZip(dir.path() / "open.zip"));
}

}  // namespace
}  // namespace plumex
