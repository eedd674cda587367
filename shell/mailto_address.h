// A "mailto:" address as the desktop hands it to the program (a link clicked in a browser,
// the mail handler of the desktop): recipients, subject and body for a new message.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumex {

class ComposeCommands;
class UiPort;

// Texts in code page 932; several recipients joined by ",".
struct MailtoFields {
  std::string to, cc, bcc, subject;
  std::vector<std::string> body;  // lines
};

// Nothing when the text is not a "mailto:" address. Percent-escapes are UTF-8 bytes; "+" is
// a plus sign; header names are matched without regard to case; other headers are ignored.
std::optional<MailtoFields> ParseMailto(std::string_view url);

// "メールの作成" filled in from the address: its body above the signature.
void ComposeFromMailto(ComposeCommands& compose, UiPort& ui, const MailtoFields& fields);

// "%XX" escapes turned into their bytes; a "%" not followed by two hex digits stays.
std::string PercentDecoded(std::string_view text);

}  // namespace plumex
