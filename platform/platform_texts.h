// Fixed texts of the platform layer, in UTF-8; pass them through Sjis() for the core.
#pragma once

#include <string_view>

namespace plumex::texts {

inline constexpr std::string_view kFileWriteFailed = "ファイルに書き込めませんでした: ";
inline constexpr std::string_view kNotAFile = "ファイルではない(フォルダなどの)ため読み込めません: ";

}  // namespace plumex::texts
