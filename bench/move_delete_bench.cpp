// Moving and deleting 1,000 rows of a folder of 100,000 with their message files and
// attachment directories, against the anchor of the same run: `mv` (or `rm -r`) of the same
// files and directories plus `sort -f` of both index files in place.
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/text_file.h"
#include "store/file_key.h"
#include "store/folder_index.h"
#include "store/received_id_list.h"
#include "store/row_delete.h"
#include "store/row_move.h"
#include "store/sorted_line_list.h"

namespace plumex {
namespace {

namespace fs = std::filesystem;

constexpr int kRows = 100000;
constexpr int kChosen = 1000;

std::string Id(int i) { return "<" + std::to_string(1000000 + i * 7919 % 1000003) + "." + std::to_string(i) + "@mail.example.jp>"; }

std::string RowOf(int i) {
  return Id(i) + "\tsubject " + std::to_string(i) + "\tYamada <yamada@example.jp>\t2025/10/10_12:34:56\t" +
         std::to_string(1000 + i) + "\t1\t2\t2";
}

struct Store {
  fs::path root = fs::temp_directory_path() / "plumex-bench-move";
  fs::path src = root / "A", dst = root / "B";
  std::vector<std::string> chosen_rows;
  std::vector<std::string> names;  // the files and directories a move or delete takes, relative to src

  // A source folder of 100,000 rows and ids, the 1,000 chosen ones with a message file and an
  // attachment directory; an empty target of another account.
  void Make() {
    fs::remove_all(root);
    fs::create_directories(src / "Attachment");
    fs::create_directories(dst / "Attachment");
    std::vector<std::string> rows, ids;
    chosen_rows.clear();
    names.clear();
    for (int i = 0; i < kRows; ++i) {
      rows.push_back(RowOf(i));
      ids.push_back(Id(i));
      if (i % (kRows / kChosen) != 0) continue;
      chosen_rows.push_back(rows.back());
      const std::string key = MakeFileKey(Id(i));
      std::ofstream(src / (key + ".txt")) << "Message-ID:" << Id(i) << "\r\n-------------------\r\nbody\r\n";
      fs::create_directories(src / "Attachment" / key);
      std::ofstream(src / "Attachment" / key / "file.pdf") << "pdf";
      names.push_back(key + ".txt");
      names.push_back("Attachment/" + key);
    }
    // Sorted, as the store writes every index and id list.
    WriteLines(src / "MsgID.ini", SortedLineList(std::move(rows)).Lines());
    WriteLines(src / "AlreadMsgID.ini", SortedLineList(std::move(ids)).Lines());
    WriteLines(dst / "MsgID.ini", {});
    WriteLines(dst / "AlreadMsgID.ini", {});
    // Nothing of the fixture waits to be written back, or the first fsync measured would pay for it.
    ::sync();
  }
};

void BM_MoveRows(benchmark::State& state) {
  const bool across_accounts = state.range(0) != 0;
  Store store;
  for (auto _ : state) {
    state.PauseTiming();
    store.Make();
    state.ResumeTiming();
    FolderIndex index = FolderIndex::Open(store.src / "MsgID.ini");
    ReceivedIdList from_ids = ReceivedIdList::Open(store.src / "AlreadMsgID.ini");
    ReceivedIdList to_ids = ReceivedIdList::Open(store.dst / "AlreadMsgID.ini");
    MoveSource source{&index.Rows(), store.src / "MsgID.ini", store.src, &from_ids, store.src / "AlreadMsgID.ini"};
    MoveTarget target{store.dst / "MsgID.ini", store.dst, &to_ids, store.dst / "AlreadMsgID.ini"};
    MoveOptions options;
    options.same_account = !across_accounts;
    MoveResult result = MoveRows(store.chosen_rows, source, target, options);
    if (result.moved_ids.size() != kChosen) state.SkipWithError("rows did not move");
  }
  fs::remove_all(store.root);
}
BENCHMARK(BM_MoveRows)->Arg(0)->Arg(1)->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_DeleteRows(benchmark::State& state) {
  Store store;
  for (auto _ : state) {
    state.PauseTiming();
    store.Make();
    state.ResumeTiming();
    FolderIndex index = FolderIndex::Open(store.src / "MsgID.ini");
    ReceivedIdList ids = ReceivedIdList::Open(store.src / "AlreadMsgID.ini");
    DeletePlace place;
    place.index = &index.Rows();
    place.index_file = store.src / "MsgID.ini";
    place.dir = store.src;
    place.ids = &ids;
    place.ids_file = store.src / "AlreadMsgID.ini";
    place.ref_lines = true;
    DeleteResult result = DeleteRows(store.chosen_rows, place);
    if (result.deleted_ids.size() != kChosen) state.SkipWithError("rows were not deleted");
  }
  fs::remove_all(store.root);
}
BENCHMARK(BM_DeleteRows)->Iterations(5)->Unit(benchmark::kMillisecond);

// The anchor: the same files and directories moved (range 1) or removed (range 0) by the
// shell's tools, and both index files sorted in place by GNU sort.
void BM_Anchor(benchmark::State& state) {
  const bool move = state.range(0) != 0;
  Store store;
  for (auto _ : state) {
    state.PauseTiming();
    store.Make();
    const fs::path list = store.root / "names";
    {
      std::ofstream out(list);
      for (const auto& n : store.names) out << n << '\0';
    }
    const std::string files = "cd '" + store.src.string() + "' && xargs -0 " +
                              (move ? "mv -t '" + store.dst.string() + "/x' " : "rm -r ") + "< '" + list.string() + "'";
    // mv takes every name to one directory: a rename each, as the store's move does.
    const std::string command = (move ? "mkdir -p '" + store.dst.string() + "/x' && " : std::string()) +
                                files + " && LC_ALL=C sort -f '" + (store.src / "MsgID.ini").string() + "' -o '" +
                                (store.src / "MsgID.ini").string() + "' && LC_ALL=C sort -f '" +
                                (move ? store.dst / "MsgID.ini" : store.src / "AlreadMsgID.ini").string() + "' -o '" +
                                (move ? store.dst / "MsgID.ini" : store.src / "AlreadMsgID.ini").string() + "'";
    state.ResumeTiming();
    if (std::system(command.c_str()) != 0) state.SkipWithError("anchor failed");
  }
  fs::remove_all(store.root);
}
BENCHMARK(BM_Anchor)->Arg(1)->Arg(0)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plumex

BENCHMARK_MAIN();
