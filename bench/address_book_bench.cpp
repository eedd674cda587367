// Address books: opening a book of 50,000 records (read, sorted in Japanese order without
// regard to letter case, split into records) against GNU `sort -f` of the same file, and
// recipient completion over ten books of 10,000 records against GNU `grep -hF` of the same
// files. Each anchor runs in the same process and run; ratios are taken from the times. On a
// shared machine run them interleaved:
//   address_book_bench --benchmark_repetitions=12 --benchmark_enable_random_interleaving=true
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
#include "shell/app_core.h"

namespace plumex {
namespace {

// Names as a large book holds them: a family name and a given name of two or three parts, in
// kanji, kana or Latin letters, so that few full names repeat (one in about fifteen); addresses made from romanised
// names; a remark in one record of three.
std::string RandomRecord(std::mt19937& rng, int i) {
  static const char* const family[] = {"山田", "佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "中村", "小林", "加藤",
                                       "吉田", "山口", "松本", "井上", "木村", "林",   "清水", "山崎", "森",   "池田",
                                       "やまもと", "いのうえ", "Smith", "brown", "ｷﾑﾗ", "斎藤"};
  static const char* const romaji[] = {"yamada", "sato", "suzuki", "takahashi", "tanaka", "ito", "watanabe",
                                       "nakamura", "kobayashi", "kato", "yoshida", "yamaguchi", "matsumoto",
                                       "inoue", "kimura", "hayashi", "shimizu", "yamazaki", "mori", "ikeda",
                                       "yamamoto", "inoue", "smith", "brown", "kimura", "saito"};
  static const char* const given[] = {"太", "郎", "花", "子", "一", "次", "さ", "く", "ら", "ゆ", "う", "き", "恵",
                                      "健", "美", "和", "直", "樹", "John", "Mary", "真", "由", "香", "翔"};
  static const char* const domains[] = {"example.jp", "mail.example.co.jp", "example.com", "corp.example.ne.jp"};
  static const char* const remarks[] = {"営業部", "取引先", "大学の友人", "総務課 内線1234", "Project X"};
  const size_t f = rng() % 26;
  std::string name = Sjis(family[f]) + " " + Sjis(given[rng() % 24]) + Sjis(given[rng() % 24]);
  if (rng() % 2) name += Sjis(given[rng() % 24]);
  std::string line = name + "\t" + romaji[f] +
                     "." + std::to_string(i) + "@" + domains[rng() % 4] + "\t";
  if (rng() % 3 == 0) line += Sjis(remarks[rng() % 5]);
  return line;
}

struct Fixture {
  std::filesystem::path root;
  std::filesystem::path big_book;
  std::vector<std::string> small_books;
  Fixture() {
    root = std::filesystem::temp_directory_path() / "plumex-bench-address";
    std::filesystem::remove_all(root);
    const auto folder = root / "Address";
    std::filesystem::create_directories(folder);
    std::mt19937 rng(16);
    std::vector<std::string> lines;
    for (int i = 0; i < 50000; ++i) lines.push_back(RandomRecord(rng, i));
    big_book = folder / "big.adr";
    WriteLines(big_book, lines);
    for (int b = 0; b < 10; ++b) {
      lines.clear();
      for (int i = 0; i < 10000; ++i) lines.push_back(RandomRecord(rng, b * 10000 + i));
      const auto file = folder / ("book" + std::to_string(b) + ".adr");
      WriteLines(file, lines);
      small_books.push_back(file.string());
    }
  }
  ~Fixture() { std::filesystem::remove_all(root); }
};

Fixture& Files() {
  static Fixture fixture;
  return fixture;
}

void BM_OpenBook50k(benchmark::State& state) {
  bench::QuietUi ui;
  AppCore core(ui, Files().root);
  for (auto _ : state) {
    core.AddressBooks().OpenBook("big");
    benchmark::DoNotOptimize(core.AddressBooks().Records().data());
  }
  state.counters["records"] = static_cast<double>(core.AddressBooks().Records().size());
}
BENCHMARK(BM_OpenBook50k)->Unit(benchmark::kMillisecond);

void BM_GnuSortIgnoringCase50k(benchmark::State& state) {
  const std::string command = "LC_ALL=C sort -f '" + Files().big_book.string() + "' > /dev/null";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("sort failed");
}
BENCHMARK(BM_GnuSortIgnoringCase50k)->Unit(benchmark::kMillisecond);

// Completion of a typed text: "tanaka" is in one record of 26, ".12345@" in one.
void BM_Complete10x10k(benchmark::State& state, const char* typed) {
  bench::QuietUi ui;
  AppCore core(ui, Files().root);
  const std::string big = (Files().root / "Address" / "big.adr").string();
  std::filesystem::rename(big, big + ".aside");  // ten books only
  size_t items = 0;
  for (auto _ : state) {
    std::string pending;
    items = core.Compose().Complete(typed, pending).size();
  }
  std::filesystem::rename(big + ".aside", big);
  state.counters["items"] = static_cast<double>(items);
}
BENCHMARK_CAPTURE(BM_Complete10x10k, common, "tanaka")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Complete10x10k, rare, ".12345@")->Unit(benchmark::kMillisecond);

void BM_GnuGrep10x10k(benchmark::State& state, const char* typed) {
  std::string command = std::string("LC_ALL=C grep -hF '") + typed + "'";
  for (const auto& file : Files().small_books) command += " '" + file + "'";
  command += " > /dev/null";
  for (auto _ : state) std::system(command.c_str());
}
BENCHMARK_CAPTURE(BM_GnuGrep10x10k, common, "tanaka")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GnuGrep10x10k, rare, ".12345@")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plumex

BENCHMARK_MAIN();
