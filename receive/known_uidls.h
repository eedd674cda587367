// The messages of an account's server that a receive run has seen through, by UIDL: kept in
// the account's folder as "UIDL TAB id" lines, so the next run asks the server for UIDL once
// and reads the header (TOP) of only the messages that are new since, instead of every message
// left on the server.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "store/received_id_list.h"

namespace plumex {

class Pop3Client;

inline constexpr const char* kKnownUidlsFileName = "ReceivedUidl.ini";

class KnownUidls {
 public:
  // A missing or unreadable file is an empty list.
  static KnownUidls Open(const std::filesystem::path& file);

  // After STAT: one UIDL for the whole mailbox. A message whose UIDL was seen before, and whose
  // id is still in the fetched list, needs no header read; every other message is read as
  // before. Without UIDL (not among the server's capabilities, or refused) nothing is skipped.
  void Plan(Pop3Client& pop3, int count, const ReceivedIdList& fetched);
  bool Skip(int n) const;
  // Message n is now fetched (or was found fetched before) under id.
  void Seen(int n, const std::string& id);

  // Writes the UIDLs still on the server that were seen, when anything changed.
  void Save(const std::filesystem::path& file) const;

 private:
  std::map<std::string, std::string> known_;  // as read: UIDL -> id
  std::map<std::string, std::string> kept_;   // of this run: on the server and seen
  std::vector<std::string> uidls_;            // by message number
  std::vector<bool> skip_;
  bool planned_ = false;
};

}  // namespace plumex
