// Base64 as used in MIME encoded words.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

// Standard alphabet, "=" fill to a multiple of four, no line breaks.
std::string Base64Encode(std::string_view bytes);

// The lenient header-word decoder: characters outside the alphabet count as value 64, groups
// of four characters are taken as they come, the second and third byte of a group are written
// only when they are not zero (this is how the "=" fill vanishes), an incomplete last group
// gives nothing. Made for the text of encoded words; not for binary data, whose zero bytes
// it would lose.
std::string Base64Decode(std::string_view text);

}  // namespace plumex
