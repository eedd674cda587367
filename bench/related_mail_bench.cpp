// Related-mail extraction of a folder of 100,000 rows (the groups, sorted in Japanese order,
// and Ref.ini written) against GNU `sort -f` of the same index (the anchor, run in the same
// process).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/quiet_ui.h"
#include "text/sjis_text.h"
#include "platform/text_file.h"
#include "port/ui_port.h"
#include "search/related_mail.h"

namespace plumex {
namespace {

constexpr int kRows = 100000;

// Subjects of 25,000 threads: plain, "Re: ", "Fw: " and "Re: Re: ", Japanese and ASCII.
std::string RandomRow(std::mt19937& rng, int i) {
  static const char* const topics[] = {"見積もり", "議事録", "出張報告", "新製品", "定例会", "Invoice", "meeting", "障害報告"};
  static const char* const prefixes[] = {"", "", "Re: ", "Fw: ", "Re: Re: "};
  std::uniform_int_distribution<int> month(1, 12), day(1, 28), sec(0, 59), thread(0, kRows / 4);
  std::string subject = Sjis(prefixes[rng() % 5]) + Sjis(topics[rng() % 8]) + " " + std::to_string(thread(rng));
  char date[32];
  std::snprintf(date, sizeof date, "2025/%02d/%02d_12:%02d:%02d", month(rng), day(rng), sec(rng), sec(rng));
  return "<" + std::to_string(i) + "@mail.example.jp>\t" + subject + "\t" + Sjis("山田太郎") + " <yamada@example.jp>\t" +
         date + "\t4000\t2\t2\t2";
}

const std::vector<std::string>& Rows() {
  static const std::vector<std::string> rows = [] {
    std::mt19937 rng(42);
    std::vector<std::string> r;
    for (int i = 0; i < kRows; ++i) r.push_back(RandomRow(rng, i));
    return r;
  }();
  return rows;
}

const std::filesystem::path& IndexFile() {
  static const std::filesystem::path file = [] {
    auto path = std::filesystem::temp_directory_path() / "plumex-bench-related-MsgID.ini";
    WriteLines(path, Rows());
    return path;
  }();
  return file;
}

void BM_RelateBySubject(benchmark::State& state) {
  bench::QuietUi ui;
  bool stop = false;
  auto collation = MakeJapaneseCollation();
  auto ref = std::filesystem::temp_directory_path() / "plumex-bench-Ref.ini";
  size_t kept = 0;
  for (auto _ : state) {
    RelatedMail r = RelateBySubject(Rows(), *collation, ui, stop);
    WriteFileAtomic(ref, JoinLines(r.lines), false);  // as the command writes it
    kept = r.lines.size();
  }
  state.counters["kept"] = static_cast<double>(kept);
  std::filesystem::remove(ref);
}
BENCHMARK(BM_RelateBySubject)->Unit(benchmark::kMillisecond);

// The same without writing Ref.ini: what the grouping and sorting cost on their own (the
// replacing rename of a file of some megabytes makes ext4 flush it).
void BM_RelateBySubjectWithoutWrite(benchmark::State& state) {
  bench::QuietUi ui;
  bool stop = false;
  auto collation = MakeJapaneseCollation();
  for (auto _ : state) benchmark::DoNotOptimize(RelateBySubject(Rows(), *collation, ui, stop).lines.data());
}
BENCHMARK(BM_RelateBySubjectWithoutWrite)->Unit(benchmark::kMillisecond);

void BM_GnuSortIgnoringCase(benchmark::State& state) {
  const std::string command = "LC_ALL=C sort -f '" + IndexFile().string() + "' > /dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("sort failed");
  }
}
BENCHMARK(BM_GnuSortIgnoringCase)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plumex

BENCHMARK_MAIN();
