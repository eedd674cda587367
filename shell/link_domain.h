// Whether the text of a link shows another domain than the address it leads to (a deceptive
// link: "https://bank.example" written over a link to somewhere else). A small check of this
// window's own; ASCII host names only.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plumex {

// The host of an address ("https://User@Host.Example:8080/x" -> "host.example"), lower case;
// nothing when the address has no "scheme://" or no host.
std::optional<std::string> HostOfAddress(std::string_view address);

// The domain a link's text shows, lower case: the text (blanks around it aside) is an address
// ("https://a.example/x"), or a host name with a dot ("www.a.example", "a.example/path");
// nothing for other text ("こちら", "click here").
std::optional<std::string> DomainShownBy(std::string_view text);

// The text shows a domain and the address leads to another: neither host is the other or a
// subdomain of it ("www." aside).
bool ShowsAnotherDomain(std::string_view text, std::string_view address);

}  // namespace plumex
