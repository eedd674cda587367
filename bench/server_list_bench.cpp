// Listing the mailbox on a POP3 server in server delete mode: STAT, UIDL, LIST and the header
// of every message, described as the server list shows it. Run by server_list_vs_script.sh,
// which starts Dovecot, fills the mailbox and times a script sending the same TOP commands in
// one pipelined batch; without PLUMEX_BENCH_POP3_PORT it is skipped.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "bench/quiet_ui.h"
#include "protocol/pop3_client.h"
#include "receive/server_mailbox.h"

namespace {

void BM_ServerListing(benchmark::State& state) {
  const char* port = std::getenv("PLUMEX_BENCH_POP3_PORT");
  const char* user = std::getenv("PLUMEX_BENCH_POP3_USER");
  if (!port || !user) {
    state.SkipWithError("PLUMEX_BENCH_POP3_PORT / PLUMEX_BENCH_POP3_USER not set");
    return;
  }
  plumex::Pop3Client c;
  c.host = "127.0.0.1";
  c.port = std::atoi(port);
  c.user_name = user;
  c.password = "secret";
  plumex::bench::QuietUi ui;
  const bool stop = false;
  const plumex::CandidateTest candidates(plumex::RuleList(), {"spam.example", "mx9.example"});
  size_t listed = 0;
  for (auto _ : state) {
    c.Connect();
    plumex::ServerListing listing = plumex::ListServerMailbox(c, candidates, ui, stop);
    c.Disconnect();
    if (listing.error) {
      state.SkipWithError("listing failed");
      return;
    }
    listed = listing.messages.size();
  }
  state.counters["messages"] = static_cast<double>(listed);
}
BENCHMARK(BM_ServerListing)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
