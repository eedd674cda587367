// FolderIndex of 100,000 rows: load-and-sort against GNU `sort -f` of the same file (the
// anchor, run in the same process), then 1,000 inserts and the write back.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "text/sjis_text.h"
#include "platform/text_file.h"
#include "store/folder_index.h"

namespace plumex {
namespace {

constexpr int kRows = 100000;

std::string RandomRow(std::mt19937& rng, int i) {
  std::uniform_int_distribution<int> day(1, 28), sec(0, 59), size(500, 90000), mark(1, 7);
  std::string id = "<" + std::to_string(rng()) + "." + std::to_string(i) + "@mail.example.jp>";
  return id + "\t" + Sjis("会議の件について") + std::to_string(i) + "\t" + Sjis("山田太郎") + " <yamada@example.jp>\t2025/" +
         "10/" + std::to_string(10 + day(rng) % 18) + "_12:" + std::to_string(10 + sec(rng) % 50) + ":" +
         std::to_string(10 + sec(rng) % 50) + "\t" + std::to_string(size(rng)) + "\t2\t" + std::to_string(mark(rng)) +
         "\t2";
}

const std::filesystem::path& Fixture() {
  static const std::filesystem::path file = [] {
    auto path = std::filesystem::temp_directory_path() / "plumex-bench-MsgID.ini";
    std::mt19937 rng(42);
    std::vector<std::string> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i) rows.push_back(RandomRow(rng, i));
    WriteLines(path, rows);
    return path;
  }();
  return file;
}

void BM_LoadAndSort(benchmark::State& state) {
  const auto& file = Fixture();
  for (auto _ : state) {
    FolderIndex index = FolderIndex::Open(file);
    benchmark::DoNotOptimize(index.Rows().Lines().data());
  }
}
BENCHMARK(BM_LoadAndSort)->Unit(benchmark::kMillisecond);

void BM_GnuSortIgnoringCase(benchmark::State& state) {
  const std::string command = "LC_ALL=C sort -f '" + Fixture().string() + "' > /dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("sort failed");
  }
}
BENCHMARK(BM_GnuSortIgnoringCase)->Unit(benchmark::kMillisecond);

void BM_Insert1000(benchmark::State& state) {
  std::mt19937 rng(7);
  std::vector<std::string> extra;
  for (int i = 0; i < 1000; ++i) extra.push_back(RandomRow(rng, kRows + i));
  FolderIndex loaded = FolderIndex::Open(Fixture());
  for (auto _ : state) {
    state.PauseTiming();
    FolderIndex index = loaded;
    state.ResumeTiming();
    for (const auto& row : extra) index.Add(row);
    benchmark::DoNotOptimize(index.Rows().Lines().data());
  }
}
BENCHMARK(BM_Insert1000)->Unit(benchmark::kMillisecond);

void BM_Write(benchmark::State& state) {
  FolderIndex index = FolderIndex::Open(Fixture());
  auto out = std::filesystem::temp_directory_path() / "plumex-bench-out.ini";
  for (auto _ : state) index.Save(out);
  std::filesystem::remove(out);
}
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plumex

BENCHMARK_MAIN();
