// Listing a folder of 100,000 rows (read the index, split the rows, sort by date, fill the
// message list the window renders) against GNU `sort` of the same file by its date field,
// run in the same process; peak memory of one listing measured in a fresh process.
// Also start-up (FormCreate) on a store of 20 accounts with 5 folders of 10,000 rows each.
//
//   listing_bench                      the benchmarks
//   listing_bench --listing-once FILE  one listing, for the memory measurement
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/quiet_ui.h"
#include "text/sjis_text.h"
#include "platform/text_file.h"
#include "shell/main_shell.h"
#include "store/folder_index.h"

extern char** environ;

namespace plumex {
namespace {

std::string RandomRow(std::mt19937& rng, int i) {
  std::uniform_int_distribution<int> year(2001, 2024), month(1, 12), day(1, 28), hour(0, 23), minute(0, 59),
      size(300, 900000), mark(1, 7), flag(1, 2);
  char date[32];
  std::snprintf(date, sizeof date, "%04d/%02d/%02d_%02d:%02d:%02d", year(rng), month(rng), day(rng), hour(rng),
                minute(rng), minute(rng));
  return "<" + std::to_string(rng()) + "." + std::to_string(i) + "@mail.example.jp>\t" + Sjis("会議の件について") +
         std::to_string(i) + "\t" + Sjis("山田太郎") + " <yamada@example.jp>\t" + date + "\t" +
         std::to_string(size(rng)) + "\t" + std::to_string(flag(rng)) + "\t" + std::to_string(mark(rng)) + "\t" +
         std::to_string(flag(rng));
}

std::vector<std::string> RandomRows(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::string> rows;
  rows.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) rows.push_back(RandomRow(rng, i));
  return rows;
}

std::filesystem::path BenchDir() {
  static const std::filesystem::path dir = [] {
    auto d = std::filesystem::temp_directory_path() / ("plumex-listing-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(d);
    return d;
  }();
  return dir;
}

const std::filesystem::path& IndexFile() {
  static const std::filesystem::path file = [] {
    auto f = BenchDir() / "MsgID.ini";
    WriteLines(f, RandomRows(100000, 1));
    return f;
  }();
  return file;
}

void ListOnce(const std::filesystem::path& file, const std::filesystem::path& root) {
  bench::QuietUi ui;
  MainShell shell(ui, root);
  FolderIndex index = FolderIndex::LoadIfExists(file);
  shell.ListFolderIndex(index.Rows());
  benchmark::DoNotOptimize(shell.List().Count());
}

int Run(std::vector<std::string> args, const char* out = nullptr, struct rusage* usage = nullptr) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (out) posix_spawn_file_actions_addopen(&actions, 1, out, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  struct rusage ignored;
  wait4(pid, &status, 0, usage ? usage : &ignored);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_ListFolderIndex(benchmark::State& state) {
  const auto& file = IndexFile();
  for (auto _ : state) ListOnce(file, BenchDir());
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_ListFolderIndex)->Unit(benchmark::kMillisecond)->UseRealTime();

// The anchor: GNU sort of the same file by its date field, newest first, in the C locale.
void BM_GnuSortByDate(benchmark::State& state) {
  const auto& file = IndexFile();
  setenv("LC_ALL", "C", 1);
  for (auto _ : state) {
    if (Run({"sort", "-t", "\t", "-k4,4r", "-s", file.string()}, "/dev/null") != 0) state.SkipWithError("sort failed");
  }
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_GnuSortByDate)->Unit(benchmark::kMillisecond)->UseRealTime();

std::string self_exe;

// Peak resident memory of a fresh process that lists the folder once.
void BM_ListingPeakMemory(benchmark::State& state) {
  const auto& file = IndexFile();
  long max_kb = 0;
  for (auto _ : state) {
    struct rusage usage {};
    if (Run({self_exe, "--listing-once", file.string()}, nullptr, &usage) != 0) state.SkipWithError("child failed");
    max_kb = std::max(max_kb, usage.ru_maxrss);
  }
  state.counters["peak_MB"] = static_cast<double>(max_kb) / 1024.0;
}
BENCHMARK(BM_ListingPeakMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// 20 accounts, each with its inbox and 4 folders of 10,000 rows.
const std::filesystem::path& StartupStore() {
  static const std::filesystem::path root = [] {
    auto r = BenchDir() / "store";
    std::vector<std::string> accounts;
    unsigned seed = 7;
    for (int a = 0; a < 20; ++a) {
      std::string name = "account" + std::to_string(a);
      accounts.push_back(name + "\tpop.example.jp\tuser");
      auto dir = r / "受信" / name;  // native names are UTF-8
      for (int f = 0; f < 5; ++f) {
        auto folder = f == 0 ? dir : dir / ("folder" + std::to_string(f));
        std::filesystem::create_directories(folder);
        WriteLines(folder / "MsgID.ini", RandomRows(10000, seed++));
      }
    }
    WriteLines(r / "Account.ini", accounts);
    WriteLines(r / "plumex.ini", {"[CurAccount]", "Position=account0"});
    return r;
  }();
  return root;
}

void BM_StartUp(benchmark::State& state) {
  const auto& root = StartupStore();
  for (auto _ : state) {
    bench::QuietUi ui;
    MainShell shell(ui, root);
    shell.FormCreate();
    benchmark::DoNotOptimize(shell.List().Count());
  }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace plumex

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--listing-once") == 0) {
    plumex::ListOnce(argv[2], std::filesystem::path(argv[2]).parent_path());
    return 0;
  }
  plumex::self_exe = std::filesystem::read_symlink("/proc/self/exe").string();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(plumex::BenchDir());
  return 0;
}
