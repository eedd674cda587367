#include <unicode/ucnv.h>
#include <unicode/ucol.h>

#include <unicode/utypes.h>

#include <string_view>
#include <vector>

#include "platform/app_error.h"
#include "text/sjis_text.h"
#include "search/search_texts.h"
#include "search/text_collation.h"

namespace plumex {
namespace {

// A part of ICU that did not start: a local failure naming the part and ICU's reason.
AppError StartFailure(std::string_view text, UErrorCode status) {
  return AppError(ErrorKind::Local, Sjis(text) + u_errorName(status));
}

class IcuJapaneseCollation : public TextCollation {
 public:
  explicit IcuJapaneseCollation(CollationStrength strength) {
    UErrorCode status = U_ZERO_ERROR;
    collator_ = ucol_open("ja", &status);
    if (U_FAILURE(status)) throw StartFailure(texts::kNoJapaneseCollation, status);
    // Letter case is a tertiary difference: at secondary strength it does not count.
    ucol_setStrength(collator_, strength == CollationStrength::Primary      ? UCOL_PRIMARY
                                : strength == CollationStrength::IgnoreCase ? UCOL_SECONDARY
                                                                            : UCOL_TERTIARY);
    status = U_ZERO_ERROR;
    converter_ = ucnv_open("windows-31j", &status);
    if (U_FAILURE(status)) {
      ucol_close(collator_);
      throw StartFailure(texts::kNoCp932Converter, status);
    }
  }
  ~IcuJapaneseCollation() override {
    ucnv_close(converter_);
    ucol_close(collator_);
  }

  std::string SortKey(std::string_view cp932) const override {
    std::string key;
    AppendSortKey(key, cp932);
    return key;
  }

  void AppendSortKey(std::string& out, std::string_view cp932) const override {
    const int32_t length = ToUtf16(cp932);
    const size_t start = out.size();
    size_t room = cp932.size() * 3 + 16;
    for (;;) {
      out.resize(start + room);
      int32_t needed = ucol_getSortKey(collator_, utf16_.data(), length, reinterpret_cast<uint8_t*>(out.data() + start),
                                       static_cast<int32_t>(room));
      if (needed <= static_cast<int32_t>(room)) {
        // The key ends in a NUL byte that takes no part in the order.
        out.resize(start + (needed > 0 ? static_cast<size_t>(needed - 1) : 0));
        return;
      }
      room = static_cast<size_t>(needed);
    }
  }

 private:
  // The text in utf16_; its length in code units. Each character is looked up in a table
  // that the converter fills on the first sight of a character, so that sorting a long list
  // converts every distinct character once; text the table cannot read character by character
  // (a lone lead byte, a code with no single mapping) goes through the converter whole.
  int32_t ToUtf16(std::string_view cp932) const {
    utf16_.resize(cp932.size() + 1);
    size_t out = 0;
    for (size_t i = 0; i < cp932.size();) {
      const auto b = static_cast<unsigned char>(cp932[i]);
      if (b < 0x80) {
        utf16_[out++] = b;  // ASCII stands for itself in code page 932 as ICU maps it
        ++i;
        continue;
      }
      const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
      if (lead && i + 1 == cp932.size()) return ConvertWhole(cp932);
      const size_t size = lead ? 2 : 1;
      const size_t code = lead ? (size_t{b} << 8 | static_cast<unsigned char>(cp932[i + 1])) : b;
      UChar& known = table_[code];
      if (known == kUnknown) {
        UChar one[4];
        UErrorCode status = U_ZERO_ERROR;
        const int32_t n = ucnv_toUChars(converter_, one, 4, cp932.data() + i, static_cast<int32_t>(size), &status);
        if (U_FAILURE(status) || n != 1 || one[0] == kUnknown) return ConvertWhole(cp932);
        known = one[0];
      }
      utf16_[out++] = known;
      i += size;
    }
    return static_cast<int32_t>(out);
  }

  int32_t ConvertWhole(std::string_view cp932) const {
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_toUChars(converter_, utf16_.data(), static_cast<int32_t>(utf16_.size()), cp932.data(),
                                         static_cast<int32_t>(cp932.size()), &status);
    return U_FAILURE(status) ? 0 : length;
  }

  static constexpr UChar kUnknown = 0xFFFF;  // a noncharacter: no code of code page 932 maps to it
  mutable std::vector<UChar> table_ = std::vector<UChar>(0x10000, kUnknown);
  UCollator* collator_ = nullptr;
  UConverter* converter_ = nullptr;
  mutable std::vector<UChar> utf16_;
};

}  // namespace

std::unique_ptr<TextCollation> MakeJapaneseCollation(CollationStrength strength) {
  return std::make_unique<IcuJapaneseCollation>(strength);
}

}  // namespace plumex
