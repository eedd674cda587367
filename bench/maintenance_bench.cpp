// Maintenance over 100 folders of 10,000 rows and their message files, 1 % of the files with
// no row, against the anchor of the same run: `sort -fu` of every index in place, a listing of
// every folder and the first 12 lines of each orphan read by `head`.
#include <fcntl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "store/file_key.h"
#include "store/maintenance.h"

namespace plumex {
namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 100;
constexpr int kRows = 10000;
constexpr int kOrphansPerFolder = kRows / 100;

const fs::path kRoot = fs::temp_directory_path() / "plumex-bench-maintenance";

std::string Id(int folder, int i) { return "<" + std::to_string(folder) + "." + std::to_string(i) + "@mail.example.jp>"; }

// Code page 932, as every message file is.
std::string Header(const std::string& id, int i) {
  return Utf8ToCp932("あて名:me@example.jp\r\nReplyTo:\r\nCCList:\r\nMessage-ID:" + id + "\r\nReferences:\r\n差出人:Yamada "
         "<yamada@example.jp>\r\n件名:subject " + std::to_string(i) + "\r\n日時:2025/10/10_12:34:56\r\nﾌｧｲﾙｻｲｽﾞ:1234\r\n"
         "-------------------\r\n");
}

void WriteSmall(const fs::path& file, const std::string& text) {
  int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) return;
  (void)!::write(fd, text.data(), text.size());
  ::close(fd);
}

std::vector<std::string> RowsOf(int folder) {
  std::vector<std::string> rows;
  for (int i = 0; i < kRows; ++i)
    rows.push_back(Id(folder, i) + "\tsubject " + std::to_string(i) + "\tYamada <yamada@example.jp>\t2025/10/10_12:34:56\t1234\t2\t2\t2");
  // One row in a hundred written twice.
  for (int i = 0; i < kRows; i += 100) rows.push_back(rows[static_cast<size_t>(i)]);
  return rows;
}

fs::path FolderDir(int folder) { return kRoot / "受信" / ("account" + std::to_string(folder / 10)) / ("folder" + std::to_string(folder)); }

// Made once (a million small files); every run starts from the same indexes.
void MakeStore() {
  if (fs::exists(kRoot / "complete")) return;
  fs::remove_all(kRoot);
  for (int f = 0; f < kFolders; ++f) {
    const fs::path dir = FolderDir(f);
    fs::create_directories(dir);
    if (f % 10 == 0) WriteLines(dir.parent_path() / "MsgID.ini", {});
    for (int i = 0; i < kRows + kOrphansPerFolder; ++i) {
      const std::string id = Id(f, i);
      WriteSmall(dir / (MakeFileKey(id) + ".txt"), Header(id, i) + "body\r\n");
    }
  }
  WriteSmall(kRoot / "complete", "");
}

void ResetIndexes() {
  for (int f = 0; f < kFolders; ++f) WriteLines(FolderDir(f) / "MsgID.ini", RowsOf(f));
  // Nothing of the fixture waits to be written back, or the first fsync measured would pay for it.
  ::sync();
}

void BM_Maintenance(benchmark::State& state) {
  MakeStore();
  for (auto _ : state) {
    state.PauseTiming();
    ResetIndexes();
    state.ResumeTiming();
    size_t rebuilt = 0;
    for (const FolderRepair& r : RepairFolders(kRoot / "受信", "x\\", nullptr)) rebuilt += r.rows_rebuilt;
    if (rebuilt != static_cast<size_t>(kFolders * kOrphansPerFolder)) state.SkipWithError("orphans were not rebuilt");
  }
}
BENCHMARK(BM_Maintenance)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_Anchor(benchmark::State& state) {
  MakeStore();
  std::string command = "export LC_ALL=C";
  for (int f = 0; f < kFolders; ++f) {
    const std::string dir = FolderDir(f).string();
    command += " && sort -fu '" + dir + "/MsgID.ini' -o '" + dir + "/MsgID.ini' && ls '" + dir + "' > /dev/null && cd '" +
               dir + "' && head -q -n 12";
    for (int i = kRows; i < kRows + kOrphansPerFolder; ++i) command += " '" + MakeFileKey(Id(f, i)) + ".txt'";
    command += " > /dev/null";
  }
  const fs::path script = kRoot / "anchor.sh";
  WriteSmall(script, command + "\n");
  for (auto _ : state) {
    state.PauseTiming();
    ResetIndexes();
    state.ResumeTiming();
    if (std::system(("sh '" + script.string() + "'").c_str()) != 0) state.SkipWithError("anchor failed");
  }
}
BENCHMARK(BM_Anchor)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plumex

BENCHMARK_MAIN();
