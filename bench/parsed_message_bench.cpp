// Parsing a 50 MB message whose attachment is 40 MB of base64, from its file: the parse, the
// text part and the attachment written out. The peak memory of the whole job is measured in a
// child process and reported against the message size (goal: under 4x).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "protocol/parsed_message.h"

namespace {

namespace fs = std::filesystem;

struct BigMessage {
  fs::path dir;
  fs::path file;
  size_t size = 0;
  BigMessage() {
    dir = fs::temp_directory_path() / ("plumex-parse-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    file = dir / "big.eml";
    std::ofstream out(file, std::ios::binary);
    out << "From: a@example.com\r\nSubject: big\r\nMessage-ID: <big@example.com>\r\n"
           "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\n"
           "--b\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n\r\n";
    const std::string text_line = "The quick brown fox jumps over the lazy dog, again and again.\r\n";
    for (size_t written = 0; written < 10 * 1000 * 1000; written += text_line.size()) out << text_line;
    out << "--b\r\nContent-Type: application/octet-stream; name=\"big.bin\"\r\n"
           "Content-Transfer-Encoding: base64\r\n"
           "Content-Disposition: attachment; filename=\"big.bin\"\r\n\r\n";
    static const char* const kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::mt19937 rng(1);
    std::string line(76, 'A');
    for (size_t written = 0; written < 40 * 1000 * 1000; written += 78) {
      for (char& c : line) c = kAlphabet[rng() & 63];
      out << line << "\r\n";
    }
    out << "--b--\r\n";
    out.close();
    size = fs::file_size(file);
  }
  ~BigMessage() { fs::remove_all(dir); }
};

size_t ParseAll(const BigMessage& big) {
  plumex::ParsedMessage m;
  m.ParseFile(big.file);
  size_t n = m.Parts().at(0).Text().size();
  m.Parts().at(1).WriteDecodedContent(big.dir / "big.bin");
  n += fs::file_size(big.dir / "big.bin");
  return n;
}

void BM_ParseFiftyMegabyteMessage(benchmark::State& state) {
  static BigMessage big;
  for (auto _ : state) benchmark::DoNotOptimize(ParseAll(big));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * big.size));

  // Peak resident memory of the same job in a fresh child, beyond what it started with.
  const pid_t pid = fork();
  if (pid == 0) {
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    ParseAll(big);
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    // Exit code carries the growth in MB (kept below 256).
    _exit(static_cast<int>(std::min<long>(255, (after.ru_maxrss - before.ru_maxrss) / 1024)));
  }
  int status = 0;
  rusage child{};
  wait4(pid, &status, 0, &child);
  const double growth_mb = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  state.counters["message_MB"] = static_cast<double>(big.size) / 1e6;
  state.counters["peak_growth_MB"] = growth_mb;
  state.counters["peak_total_MB"] = static_cast<double>(child.ru_maxrss) / 1024;
  state.counters["peak_growth_per_message_size"] = growth_mb * 1024 * 1024 / static_cast<double>(big.size);
}
BENCHMARK(BM_ParseFiftyMegabyteMessage)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
