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
};

// Japanese order, without regard to letter case (ICU's "ja" collation at secondary strength).
std::unique_ptr<TextCollation> MakeJapaneseCollation();
// Japanese order in which letter case counts (tertiary strength).
std::unique_ptr<TextCollation> MakeJapaneseCaseCollation();

}  // namespace plumex
