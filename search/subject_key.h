// SubjectKey: what related-mail extraction groups by, the subject with its reply and forward
// prefixes set aside.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

// The text after the subject's last ":" (any space after that colon kept), once leading blanks
// and control characters are gone; a subject without ":" is its own key. So "Re: X",
// "Re: Re: X" and "Fw: X" share one key, and the plain "X" has another.
std::string SubjectKey(std::string_view subject);
// The same, as a view into subject.
std::string_view SubjectKeyView(std::string_view subject);

}  // namespace plumex
