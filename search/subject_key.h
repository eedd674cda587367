// SubjectKey: what related-mail extraction groups by, the subject with its reply and forward
// prefixes set aside.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

// The text after the subject's last ":", without the blanks and control characters that lead
// the subject or follow that colon; a subject without ":" is its own key. So "Re: X",
// "Re: Re: X", "Fw: X" and the original "X" share one key.
std::string SubjectKey(std::string_view subject);
// The same, as a view into subject.
std::string_view SubjectKeyView(std::string_view subject);

}  // namespace plumex
