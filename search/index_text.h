// The text the full-text index holds for a message file, and the trigrams a key asks it for.
// Both go through one conversion, character by character as the extraction's matcher cuts a
// line into characters, so every place the matcher finds a key is a place where the index
// holds the key's trigrams: the index can only propose too many candidates, never too few.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumex {

// UTF-8 of a message file's CP932 text: one code point per character, every line end (CR,
// LF) a LF, a byte that is no character U+FFFD.
std::string IndexText(std::string_view cp932);

// The trigram tokens (UTF-8, three characters each, overlapping) that every text holding key
// holds; nothing when the index cannot serve the key: fewer than three characters, a byte
// that is no character, or a line end (which no match holds).
std::optional<std::vector<std::string>> KeyTrigrams(std::string_view cp932_key);

// An FTS5 query asking for all of the trigrams.
std::string TrigramQuery(const std::vector<std::string>& trigrams);

// The whole of a message file the index reads or checks into text (its buffer reused from
// file to file); false when it cannot be read or is not a regular file.
bool ReadIndexedFile(const std::filesystem::path& file, std::string& text);

}  // namespace plumex
