// The sender-trust mark of the message list: the trust a received message's file keeps, read
// from the head of the file only for the rows the list draws, and remembered by file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>

#include "receive/sender_trust.h"

namespace plumex {

class MainShell;

class SenderTrustColumn {
 public:
  explicit SenderTrustColumn(MainShell& shell) : shell_(shell) {}

  // The trust of a listed row; nothing when its file keeps none (sent mail, drafts, mail
  // filed before the check existed).
  std::optional<SenderTrust> TrustOf(size_t display_row);

 private:
  MainShell& shell_;
  std::unordered_map<std::string, std::optional<SenderTrust>> cache_;
};

// The trust a message file keeps, read from its pseudo-header lines only.
std::optional<SenderTrust> ReadStoredTrust(const std::filesystem::path& message_file);

}  // namespace plumex
