// ConvertCode JIS -> Shift_JIS and Shift_JIS -> JIS on 50 MB of mixed Japanese text, against
// iconv doing the same conversions in the same run; DetectCode over growing lengths.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <random>
#include <string>

#include "codecs/jconvert.h"
#include "text/code_page.h"

namespace plumex {
namespace {

constexpr size_t kSize = 50 * 1024 * 1024;

// Shift_JIS text of kanji, kana, punctuation and ASCII in lines.
const std::string& SjisText() {
  static const std::string text = [] {
    const std::string pieces_utf8[] = {"会議", "の", "資料", "を", "お送りします", "。", "よろしく", "お願いします",
                                       "明日", "午後", "カタカナ", "、", "「確認」", "2026年", " mail ", "ok"};
    std::vector<std::string> pieces;
    for (const auto& p : pieces_utf8) pieces.push_back(Utf8ToCp932(p));
    std::mt19937 rng(5);
    std::string out;
    out.reserve(kSize + 256);
    size_t line = 0;
    while (out.size() < kSize) {
      const std::string& p = pieces[rng() % pieces.size()];
      out += p;
      line += p.size();
      if (line > 70) {
        out += "\r\n";
        line = 0;
      }
    }
    return out;
  }();
  return text;
}

const std::string& JisText() {
  static const std::string text = SjisToJis(SjisText());
  return text;
}

std::string Iconv(const char* from, const char* to, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  std::string out(in.size() * 2 + 64, '\0');
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  char* dst = out.data();
  size_t dst_left = out.size();
  iconv(cd, &src, &src_left, &dst, &dst_left);
  iconv(cd, nullptr, nullptr, &dst, &dst_left);
  iconv_close(cd);
  out.resize(out.size() - dst_left);
  return out;
}

void BM_ConvertCodeJisToSjis(benchmark::State& state) {
  const std::string& in = JisText();
  for (auto _ : state) benchmark::DoNotOptimize(ConvertCode(in, CodeSjis));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_ConvertCodeJisToSjis)->Unit(benchmark::kMillisecond);

void BM_IconvJisToSjis(benchmark::State& state) {
  const std::string& in = JisText();
  for (auto _ : state) benchmark::DoNotOptimize(Iconv("ISO-2022-JP", "CP932", in));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_IconvJisToSjis)->Unit(benchmark::kMillisecond);

void BM_ConvertCodeSjisToJis(benchmark::State& state) {
  const std::string& in = SjisText();
  for (auto _ : state) benchmark::DoNotOptimize(ConvertCode(in, CodeJis));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_ConvertCodeSjisToJis)->Unit(benchmark::kMillisecond);

void BM_IconvSjisToJis(benchmark::State& state) {
  const std::string& in = SjisText();
  for (auto _ : state) benchmark::DoNotOptimize(Iconv("CP932", "ISO-2022-JP", in));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_IconvSjisToJis)->Unit(benchmark::kMillisecond);

void BM_DetectCode(benchmark::State& state) {
  // Undecided EUC-or-Shift_JIS bytes keep the scan going to the end.
  const std::string in(static_cast<size_t>(state.range(0)), '\xB0');
  for (auto _ : state) benchmark::DoNotOptimize(DetectCode(in));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_DetectCode)->RangeMultiplier(4)->Range(1 << 20, 64 << 20)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plumex

BENCHMARK_MAIN();
