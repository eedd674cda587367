// Times what "...参照" costs for one merge sheet file: reading it, checking its rows and showing
// it in the sheet window's grid (the view painted once). Prints the best of N runs in seconds.
// Usage: sheet_grid_timing SHEET.csv [RUNS]   (QT_QPA_PLATFORM=offscreen works)
#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "ui/app_windows.h"
#include "ui/frm_insert.h"
#include "ui/frm_main.h"

namespace {

// Messages go to standard error instead of a dialog nobody answers.
class QuietPort : public plumex::QtUiPort {
 public:
  plumex::MsgAnswer MessageBox(const std::string& text, plumex::MsgIcon, plumex::MsgButtons) override {
    std::fprintf(stderr, "%s\n", text.c_str());
    return plumex::MsgAnswer::Ok;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: sheet_grid_timing SHEET.csv [RUNS]\n");
    return 2;
  }
  QApplication app(argc, argv);
  QTemporaryDir store;
  plumex::AppWindows windows(store.path().toStdString(), std::make_unique<QuietPort>());
  plumex::TfrmInsert* sheet = windows.frmInsert.get();
  sheet->ShowSheet();
  QApplication::processEvents();
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    sheet->LoadFile(argv[1]);
    sheet->StringGrid1()->viewport()->repaint();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    best = std::min(best, seconds);
  }
  std::printf("%d rows %.4f\n", sheet->StringGrid1()->model()->rowCount(), best);
  return 0;
}
