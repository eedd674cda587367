// Related-mail extraction ("関連付け抽出"): the rows of a folder index that share a SubjectKey
// with another row, grouped, each group in date order.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "port/ui_port.h"
#include "search/text_collation.h"
#include "search/walk_pacer.h"

namespace plumex {

struct RelatedMail {
  // The kept rows: the index row, TAB, its SubjectKey (the lines of Ref.ini).
  std::vector<std::string> lines;
  std::vector<bool> starts_group;  // per line: the first row of its group
  bool any_subject = false;        // some row had a subject
  bool stopped = false;
};

// rows: the index rows in index order. Rows without a subject take no part. The rows are
// ordered by date (ASCII letters folded), then stably by SubjectKey in the collation's order;
// a run of rows whose keys are byte for byte equal makes a group, and only groups of two or
// more are kept. So keys that differ only in letter case stand together but are not grouped.
RelatedMail RelateBySubject(const std::vector<std::string>& rows, const TextCollation& collation, UiPort& ui,
                            const bool& stop_requested, std::chrono::milliseconds pump_interval = kPumpInterval);

}  // namespace plumex
