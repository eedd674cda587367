#include "search/related_mail.h"

#include <algorithm>
#include <numeric>

#include "platform/ascii_case.h"
#include "search/subject_key.h"
#include "store/index_row.h"
#include "store/tab_line.h"

namespace plumex {

RelatedMail RelateBySubject(const std::vector<std::string>& rows, const TextCollation& collation, UiPort& ui,
                            const bool& stop_requested, std::chrono::milliseconds pump_interval) {
  RelatedMail result;
  WalkPacer pacer(ui, stop_requested, pump_interval);
  struct Working {
    std::string line;
    std::string date;
    std::string key;
    std::string order;  // collation key of `key`
  };
  std::vector<Working> work;
  work.reserve(rows.size());
  const int total = static_cast<int>(std::min<size_t>(rows.size(), 0x7FFFFFFF));
  for (size_t i = 0; i < rows.size(); ++i) {
    if (pacer.Stop(static_cast<int>(i), total)) {
      result.stopped = true;
      break;
    }
    std::string subject = FieldOf(rows[i], IndexRow::kSubject);
    if (subject.empty()) continue;
    Working w;
    w.key = SubjectKey(subject);
    w.line = rows[i] + "\t" + w.key;
    w.date = FieldOf(rows[i], IndexRow::kDate);
    work.push_back(std::move(w));
  }
  ui.SetProgress(0, 0);
  result.any_subject = !work.empty();
  if (work.empty()) return result;

  // Date order first, so that equal keys keep it when the second sort brings them together.
  std::vector<uint32_t> order(work.size());
  std::iota(order.begin(), order.end(), 0u);
  for (Working& w : work) w.date = FoldCase(w.date);
  std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return work[a].date < work[b].date; });
  for (Working& w : work) w.order = collation.SortKey(w.key);
  std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return work[a].order < work[b].order; });

  for (size_t i = 1; i < order.size(); ++i) {
    const Working& before = work[order[i - 1]];
    Working& now = work[order[i]];
    if (now.key != before.key) continue;
    if (i < 2 || work[order[i - 2]].key != before.key) {
      result.lines.push_back(before.line);
      result.starts_group.push_back(true);
    }
    result.lines.push_back(now.line);
    result.starts_group.push_back(false);
  }
  return result;
}

}  // namespace plumex
