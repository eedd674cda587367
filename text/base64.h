// Base64 as mail uses it: header words, attachments and the AUTH LOGIN exchange.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

// Standard alphabet, "=" padding, no line breaks.
std::string Base64Encode(std::string_view bytes);
void AppendBase64(std::string& out, std::string_view bytes);

// Lenient decoding: characters outside the alphabet (padding, blanks, line breaks) count as
// the value 64; groups of four characters give b1 always, b2 and b3 only when not zero; an
// incomplete last group gives nothing.
std::string Base64Decode(std::string_view text);

// Strict decoding that skips characters outside the alphabet and keeps zero bytes.
std::string Base64DecodeBytes(std::string_view text);

}  // namespace plumex
