// Filing one message with 30,000 attachments that all have one name (each gets "(2)", "(3)"...)
// against the anchor of the same message whose attachments all have distinct names, in the
// same run. The ratio same / distinct shows whether the renaming stays linear (goal: near 1).
// PLUMEX_BENCH_ATTACHMENTS sets the count.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "platform/directories.h"
#include "platform/store_path.h"
#include "protocol/parsed_message.h"
#include "receive/filing.h"
#include "store/store_layout.h"

namespace {

namespace fs = std::filesystem;

int Count() {
  const char* env = std::getenv("PLUMEX_BENCH_ATTACHMENTS");
  return env ? std::atoi(env) : 30000;
}

std::string MessageText(int count, bool same_name) {
  std::string text =
      "From: a@example.com\r\nSubject: many\r\nMessage-ID: <many@example.com>\r\n"
      "Date: Tue, 08 Sep 2009 12:34:56 +0900\r\nMIME-Version: 1.0\r\n"
      "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\nContent-Type: text/plain\r\n\r\nbody\r\n";
  for (int i = 0; i < count; ++i) {
    const std::string name = same_name ? "report.pdf" : "report" + std::to_string(i) + ".pdf";
    text += "--b\r\nContent-Type: application/pdf\r\nContent-Disposition: attachment; filename=\"" + name +
            "\"\r\nContent-Transfer-Encoding: base64\r\n\r\nJVBERg==\r\n";
  }
  return text + "--b--\r\n";
}

std::map<bool, double> seconds;  // same_name -> seconds of the last run

void FileOnce(benchmark::State& state) {
  const bool same_name = state.range(0) != 0;
  const std::string text = MessageText(Count(), same_name);
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path root = fs::temp_directory_path() / ("plumex-names-bench-" + std::to_string(getpid()));
    fs::remove_all(root);
    const std::string folder = plumex::AccountFolderPath("bench");
    plumex::EnsureDirectory(plumex::ToNativePath(root, folder));
    plumex::FolderIndex index;
    plumex::ReceivedIdList ids;
    plumex::FilingContext context;
    context.mail_root = root;
    context.current_folder_path = folder;
    context.current_account = "bench";
    context.current_index = &index;
    context.received_ids = &ids;
    plumex::ParsedMessage message;
    message.Parse(text);
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(plumex::FileMessageFromFile(message, context));
    seconds[same_name] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.PauseTiming();
    fs::remove_all(root);
    state.ResumeTiming();
  }
  state.counters["attachments"] = Count();
}

BENCHMARK(FileOnce)->Arg(0)->Arg(1)->ArgName("same_name")->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (seconds.count(false) && seconds.count(true) && seconds[false] > 0)
    std::printf("same name %.2f s, distinct names (anchor) %.2f s, ratio %.2f\n", seconds[true], seconds[false],
                seconds[true] / seconds[false]);
  return 0;
}
