// The text the preview pane shows for a text attachment ("*.txt", "*.csv") read from its file:
// the file keeps the attachment's own code, which may be any a sender's program writes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace plumex {

// The most of a file the preview reads.
inline constexpr size_t kMaxPreviewTextBytes = 8 * 1024 * 1024;

// UTF-16 with a byte-order mark (either order) and UTF-8 (with or without one) as they are;
// ISO-2022-JP, EUC-JP and Shift_JIS told apart by the Japanese code detection. Code page 932,
// carrying the characters it lacks.
std::string PreviewTextOf(std::string_view bytes);

// The file's first kMaxPreviewTextBytes so read; empty when it cannot be read.
std::string PreviewTextOfFile(const std::filesystem::path& file);

}  // namespace plumex
