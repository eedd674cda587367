// The extraction through the full-text index where it can serve, through the walk of every
// file otherwise: the same rows in the same order either way, because the index only narrows
// the files the extraction's matcher reads.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "port/ui_port.h"
#include "search/extraction.h"
#include "search/walk_pacer.h"

namespace plumex {

enum class SearchWay {
  IndexWhenPresent,  // the index when its file is there and complete, otherwise the walk
  BuildIndex,        // the index, built first (with progress, stoppable) when missing or damaged
  Scan,              // the walk of every file
};

// What ExtractMessages returns for the same arguments. A key the index cannot serve (one or
// two characters, a line end), a folder outside the receive and send trees, and a damaged
// index (then deleted) go through the walk.
ExtractionResult FindMessages(const std::filesystem::path& mail_root, const std::string& folder,
                              const std::string& key, UiPort& ui, const bool& stop_requested,
                              SearchWay way = SearchWay::IndexWhenPresent,
                              std::chrono::milliseconds pump_interval = kPumpInterval);

}  // namespace plumex
