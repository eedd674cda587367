#include <unicode/ucnv.h>
#include <unicode/ucol.h>

#include <stdexcept>
#include <vector>

#include "search/text_collation.h"

namespace plumex {
namespace {

class IcuJapaneseCollation : public TextCollation {
 public:
  explicit IcuJapaneseCollation(bool letter_case) {
    UErrorCode status = U_ZERO_ERROR;
    collator_ = ucol_open("ja", &status);
    if (U_FAILURE(status)) throw std::runtime_error("ICU: no Japanese collation");
    // Secondary strength: letter case (a tertiary difference) does not count.
    ucol_setStrength(collator_, letter_case ? UCOL_TERTIARY : UCOL_SECONDARY);
    status = U_ZERO_ERROR;
    converter_ = ucnv_open("windows-31j", &status);
    if (U_FAILURE(status)) {
      ucol_close(collator_);
      throw std::runtime_error("ICU: no code page 932 converter");
    }
  }
  ~IcuJapaneseCollation() override {
    ucnv_close(converter_);
    ucol_close(collator_);
  }

  std::string SortKey(std::string_view cp932) const override {
    UErrorCode status = U_ZERO_ERROR;
    utf16_.resize(cp932.size() + 1);
    int32_t length = ucnv_toUChars(converter_, utf16_.data(), static_cast<int32_t>(utf16_.size()), cp932.data(),
                                   static_cast<int32_t>(cp932.size()), &status);
    if (U_FAILURE(status)) length = 0;
    std::string key(static_cast<size_t>(cp932.size()) * 3 + 16, '\0');
    for (;;) {
      int32_t needed = ucol_getSortKey(collator_, utf16_.data(), length, reinterpret_cast<uint8_t*>(key.data()),
                                       static_cast<int32_t>(key.size()));
      if (needed <= static_cast<int32_t>(key.size())) {
        // The key ends in a NUL byte that takes no part in the order.
        key.resize(needed > 0 ? static_cast<size_t>(needed - 1) : 0);
        return key;
      }
      key.resize(static_cast<size_t>(needed));
    }
  }

 private:
  UCollator* collator_ = nullptr;
  UConverter* converter_ = nullptr;
  mutable std::vector<UChar> utf16_;
};

}  // namespace

std::unique_ptr<TextCollation> MakeJapaneseCollation() { return std::make_unique<IcuJapaneseCollation>(false); }
std::unique_ptr<TextCollation> MakeJapaneseCaseCollation() { return std::make_unique<IcuJapaneseCollation>(true); }

}  // namespace plumex
