// The fixed Japanese texts are written once in UTF-8 source; Sjis() gives their
// code page 932 form, converted on first use and cached.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

const std::string& Sjis(std::string_view utf8);

}  // namespace plumex
