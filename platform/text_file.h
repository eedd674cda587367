// Whole-file reading and atomic writing of the text files the system keeps.
#pragma once

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_write_error.h"

namespace plumex {

// The whole file, or nothing when it is missing or cannot be read. Throws NotAFileError when
// something other than a file (a folder) stands at path.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

// "ファイルではないため読み込めません: " and the path (a local-file AppError).
AppError NotAFileError(const std::filesystem::path& path);

// Calls line_fn(line, line_end) for each line of text, both views into it: lines end at CR LF,
// LF or CR (line_end is that end; empty for a last line without one); text ending in a line
// end gives no empty last line. The next CR and the next LF are each looked for once (memchr),
// so big indexes and bodies are split at the speed of the search.
template <typename LineFn>
void ForEachLine(std::string_view text, LineFn&& line_fn) {
  const size_t n = text.size();
  auto find = [&](char c, size_t from) { return std::min(text.find(c, from), n); };
  size_t start = 0, next_cr = find('\r', 0), next_lf = find('\n', 0);
  while (start < n) {
    if (next_cr < start) next_cr = find('\r', start);
    if (next_lf < start) next_lf = find('\n', start);
    const size_t end = std::min(next_cr, next_lf);
    const size_t next = end == n ? n : end + (end == next_cr && end + 1 < n && next_lf == end + 1 ? 2 : 1);
    line_fn(text.substr(start, end - start), text.substr(end, next - end));
    start = next;
  }
}

// Splits text into lines at CR LF, LF or CR. A last line without a line end is kept;
// text ending in a line end gives no empty last line.
std::vector<std::string> SplitLines(std::string_view text);

// Each line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// Lines of a file; false (and no lines) when it cannot be read; throws as ReadFileBytes.
bool ReadLines(const std::filesystem::path& path, std::vector<std::string>& lines);

// Replaces the file atomically: a temporary file in the same directory is written, flushed
// to disk (unless sync is false: then the rename still keeps readers from ever seeing a part,
// but a crash of the machine may lose the file) and renamed over the target. The new file is
// 0600 whatever the old one was. Throws FileWriteError on failure.
void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes, bool sync = true);

// Flushes a file or a directory (its entries) to disk; false when it cannot.
bool SyncPath(const std::filesystem::path& path);

// Appends bytes to the end of a file (created when missing) in one write and flushes them to
// disk; the file is 0600 afterwards. For records whose order carries no meaning; throws
// FileWriteError, after cutting off what part of the bytes got written.
void AppendToFile(const std::filesystem::path& path, std::string_view bytes, bool sync = true);

// WriteFileAtomic of the lines joined with CR LF.
void WriteLines(const std::filesystem::path& path, const std::vector<std::string>& lines);

}  // namespace plumex
