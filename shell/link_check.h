// Links whose text shows another place than they lead to ("https://bank.example" leading to
// evil.example): found by comparing the host the text shows with the target's host. Used by
// the text view (a link written right after a shown address, as in "bank.example <https://...>")
// and by the HTML view (an anchor's text against its href), which mark such links and ask
// before opening them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell/link_text.h"

namespace plumex {

// The host of a URL (lower case; user info and port dropped); empty when it has none.
std::string HostOfUrl(std::string_view url);
// The host a link text shows: of its first word that reads as a URL ("https://x.example/...")
// or a host name ("www.x.example", "x.example/login"); empty when it shows none.
std::string HostShownBy(std::string_view text);
// True when the text shows a host and the target leads elsewhere: neither host is the other
// or a name under it ("www." ignored).
bool IsDeceptiveLink(std::string_view text, std::string_view target);

// The text view: the host shown just before the link starting at link_start on its line
// (a word, perhaps followed by "<", "(" or "["), when it differs from the link's host.
std::string DeceptiveHostBefore(std::u16string_view body, size_t link_start, std::string_view link);
// Ranges of the text view's links that follow such a text.
std::vector<TextRange> DeceptiveLinkRanges(std::u16string_view body);

// The question before opening such a link (code page 932).
std::string DeceptiveLinkQuestion(std::string_view shown_host, std::string_view target);

}  // namespace plumex
