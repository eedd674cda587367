// The check before sending (送信前確認): its switch, the number of outside addresses in To/Cc
// above which it warns, and the domains the user counts as own besides those of the accounts.
// Kept in the "SendCheck" section of the settings file. A store without a settings file is
// new and starts with the check on; a store that has one but no such section was made before
// the check existed: the check stays off there until the user takes the one-time offer.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace plumex {

inline constexpr int kDefaultExternalLimit = 5;

struct SendCheckSettings {
  bool on = true;
  int external_limit = kDefaultExternalLimit;  // warn when To/Cc hold more outside addresses
  std::vector<std::string> own_domains;        // added by the user (lower case)
  // The store has the check settings written (the section exists): no offer is due.
  bool decided = false;

  static SendCheckSettings Load(const std::filesystem::path& mail_root);
  // Writes the section (keeping everything else in the file); the store counts as decided.
  void Save(const std::filesystem::path& mail_root) const;

  // The domains as the dialog shows them ("a.example, b.example"), and back: split at commas,
  // semicolons and spaces, lower-cased, a leading "@" or "." dropped, duplicates once.
  std::string DomainsText() const;
  static std::vector<std::string> ParseDomains(std::string_view text);
};

// What the window does once at start: a new store gets the check on (and written, so it stays
// new-on); an older store gets it off and the question whether to turn it on. Returns true
// when the offer is due (the caller asks and saves the answer).
bool SendCheckOfferDue(const std::filesystem::path& mail_root);
// Writes the section for a store without one: on when the store had no settings file.
void SettleSendCheck(const std::filesystem::path& mail_root, bool on);

}  // namespace plumex
