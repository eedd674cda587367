// Recipient completion: the lines of every address book that hold what was typed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "addressbook/book_folder.h"

namespace plumex {

// Every line of every book holding `typed` (case-sensitive, starting on a character, so the
// trail byte of a kanji never matches an ASCII letter), sorted by bytes, each line once.
std::vector<std::string> MatchingBookLines(const BookFolder& books, std::string_view typed);

// A completion item: "name"<address>; a line of one field gives that field and ">".
std::string CompletionItem(std::string_view line);

}  // namespace plumex
