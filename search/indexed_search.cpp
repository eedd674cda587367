#include "search/indexed_search.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "text/sjis_text.h"
#include "platform/unique_fd.h"
#include "search/folded_match.h"
#include "search/index_text.h"
#include "search/search_texts.h"
#include "search/text_index.h"

namespace plumex {
namespace {

// The candidates' files through the matcher; nothing when a stop ended it.
ExtractionResult Verify(const std::vector<IndexCandidate>& candidates, const std::string& key, UiPort& ui,
                        const bool& stop_requested, std::chrono::milliseconds pump_interval) {
  ExtractionResult result;
  WalkPacer pacer(ui, stop_requested, pump_interval);
  FoldedKey folded(key);
  const int total = static_cast<int>(std::min<size_t>(candidates.size(), 0x7FFFFFFF));
  std::string text, scratch;
  for (size_t i = 0; i < candidates.size(); ++i) {
    if (pacer.Stop(static_cast<int>(i), total)) {
      result.stopped = true;
      return result;
    }
    ++result.files_tested;
    if (!ReadIndexedFile(candidates[i].file, text)) continue;
    if (folded.FoundIn(text, scratch)) result.rows.push_back(ExtractionRow(text, candidates[i].folder));
  }
  ui.SetProgress(total, total);
  return result;
}

}  // namespace

ExtractionResult FindMessages(const std::filesystem::path& mail_root, const std::string& folder,
                              const std::string& key, UiPort& ui, const bool& stop_requested, SearchWay way,
                              std::chrono::milliseconds pump_interval) {
  auto scan = [&] { return ExtractMessages(mail_root, folder, key, ui, stop_requested, pump_interval); };
  if (way == SearchWay::Scan || !TextIndex::Covers(folder) || !KeyTrigrams(key)) return scan();
  try {
    std::unique_ptr<TextIndex> index;
    if (way == SearchWay::BuildIndex) {
      ui.SetStatusText(0, Sjis(texts::kIndexBuilding));
      index = TextIndex::OpenOrBuild(mail_root, ui, stop_requested, pump_interval);
      ui.SetStatusText(0, Sjis(texts::kSearching));
      if (!index && stop_requested) {
        ExtractionResult stopped;
        stopped.stopped = true;
        return stopped;
      }
    } else {
      index = TextIndex::OpenExisting(mail_root);
    }
    if (!index) return scan();
    if (!index->Refresh(ui, stop_requested, pump_interval)) {
      ExtractionResult stopped;
      stopped.stopped = true;
      return stopped;
    }
    auto candidates = index->Candidates(folder, key);
    if (!candidates) return scan();
    return Verify(*candidates, key, ui, stop_requested, pump_interval);
  } catch (const IndexDamaged&) {
    TextIndex::Discard(mail_root);
    return scan();
  }
}

}  // namespace plumex
