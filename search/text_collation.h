// The order of texts in the user's language, behind a Qt-free interface so the core can sort
// by it and a window or a test can hand in another.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace plumex {

class TextCollation {
 public:
  virtual ~TextCollation() = default;
  // Bytes whose byte-wise order is the collation order of the code page 932 text; texts that
  // collate equal give equal keys.
  virtual std::string SortKey(std::string_view cp932) const = 0;
  // The same key appended to out, for callers that keep many keys in one buffer.
  virtual void AppendSortKey(std::string& out, std::string_view cp932) const { out += SortKey(cp932); }
};

enum class CollationStrength {
  Primary,     // base letters only: no accents, voicing marks or letter case
  IgnoreCase,  // letter case does not count (ICU's secondary strength)
  LetterCase,  // letter case counts (tertiary strength)
};

// Japanese order (ICU's "ja" collation), by default without regard to letter case.
std::unique_ptr<TextCollation> MakeJapaneseCollation(CollationStrength strength = CollationStrength::IgnoreCase);

}  // namespace plumex
