// The check before sending, without windows: the recipients of a message (or of every row of
// a merge) grouped into own (社内) and outside (社外) domains, its attachments with their sizes,
// and the warnings. The window and plumex-cli show what this builds.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "port/send_check.h"

namespace plumex {

struct SendCheckInput {
  std::string to, cc, bcc;               // the fields as typed (code page 932)
  std::vector<std::string> attachments;  // path texts as attached
  std::vector<std::string> own_domains;  // of the accounts and added by the user, any case
  int external_limit = 5;
  bool merge = false;
  std::vector<std::string> merge_sheet;  // title row first; cell 1 of a data row is its To
  // A reply: the domains of the addresses of the message replied to (nothing: no reply).
  std::optional<std::vector<std::string>> original_domains;
};

// size_of gives a file's size (nothing when it cannot be read); by default the file system's.
using FileSizeOf = std::function<std::optional<std::uintmax_t>(const std::string& path_text)>;
SendCheck BuildSendCheck(const SendCheckInput& input, const FileSizeOf& size_of = nullptr);

// The domain of an address, lower case ("" without "@").
std::string AddressDomain(std::string_view address);
// An own domain is one of `own` or a name under one, letter case ignored.
bool IsOwnDomain(std::string_view domain, const std::vector<std::string>& own);
// The domain of every address-like word ("x@domain") in a text, lower case, each once.
std::vector<std::string> DomainsInText(std::string_view text);
// The domains of the message shown by header lines of a stored message (sender, recipients,
// reply address), for the reply check.
std::vector<std::string> DomainsOfStoredHeader(const std::vector<std::string>& header_lines);
// "1.2 KB"-style size for the list (bytes below 1024).
std::string SizeText(std::uintmax_t bytes);

// The warning texts (code page 932).
std::string TooManyExternalText(size_t count, int limit);
std::string ReplyNewDomainText(std::string_view domain);

}  // namespace plumex
