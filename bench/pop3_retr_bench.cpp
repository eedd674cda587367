// RETR of a whole mailbox from a POP3 server into the parsed message object, message after
// message, as a receive run does. Run by pop3_retr_vs_mpop.sh, which starts Dovecot, fills the
// mailbox and times mpop on the same mailbox; without PLUMEX_BENCH_POP3_PORT it is skipped.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "protocol/parsed_message.h"
#include "protocol/pop3_client.h"

namespace {

bool Configure(plumex::Pop3Client& c, benchmark::State& state) {
  const char* port = std::getenv("PLUMEX_BENCH_POP3_PORT");
  const char* user = std::getenv("PLUMEX_BENCH_POP3_USER");
  if (!port || !user) {
    state.SkipWithError("PLUMEX_BENCH_POP3_PORT / PLUMEX_BENCH_POP3_USER not set");
    return false;
  }
  c.host = "127.0.0.1";
  c.port = std::atoi(port);
  c.user_name = user;
  c.password = "secret";
  return true;
}

void BM_Pop3RetrParsed(benchmark::State& state) {
  plumex::Pop3Client c;
  if (!Configure(c, state)) return;
  plumex::ParsedMessage m;
  size_t bytes = 0;
  for (auto _ : state) {
    c.Connect();
    const int count = c.Stat();
    for (int n = 1; n <= count; ++n) {
      c.Retrieve(n, m);
      bytes += m.RawSize();
      benchmark::DoNotOptimize(m.HeaderValue("Subject"));
    }
    c.Disconnect();
    state.counters["messages"] = count;
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_Pop3RetrParsed)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_Pop3RetrRawLines(benchmark::State& state) {
  plumex::Pop3Client c;
  if (!Configure(c, state)) return;
  std::vector<std::string> lines;
  for (auto _ : state) {
    c.Connect();
    const int count = c.Stat();
    for (int n = 1; n <= count; ++n) c.RetrieveRaw(n, lines);
    c.Disconnect();
  }
}
BENCHMARK(BM_Pop3RetrRawLines)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
