// The real servers of tests/servers, as the CTest fixture "mail_servers" started them.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace plumex::test {

class TestServers {
 public:
  // The servers of $PLUMEX_TEST_SERVERS, or nothing when the variable is unset.
  static std::optional<TestServers> Find();

  std::string Get(const std::string& key) const;
  int Port(const std::string& key) const { return std::stoi(Get(key)); }

  // Creates (or empties) the POP3 mailbox of user and fills it with the messages, in order.
  void MakeMailbox(const std::string& user, const std::vector<std::string>& messages) const;
  // The Maildir of user's mailbox, and the messages the server holds there now.
  std::filesystem::path Maildir(const std::string& user) const;
  std::vector<std::filesystem::path> MailboxFiles(const std::string& user) const;

  // A line of Account.ini (code page 932) for user's mailbox, password "secret", on loopback.
  struct Account {
    std::string address = "me@x";
    bool smtp = false;       // sends through the submission server; else SMTP port 25, never used
    std::string rest = "0";  // the fields after the SMTP port: "0" leaves the mail on the server
  };
  std::string AccountLine(const std::string& name_utf8, const std::string& user, const Account& account) const;
  std::string AccountLine(const std::string& name_utf8, const std::string& user) const {
    return AccountLine(name_utf8, user, Account{});
  }

  // The SMTP settings of a send through the submission server (STARTTLS, AUTH as "sender").
  std::vector<std::string> SmtpSettings() const;

  // The delivered message whose header holds `needle` (a unique Message-ID, say), waiting
  // up to timeout_seconds for the queue to deliver it; empty path when none came.
  std::filesystem::path WaitForDelivered(const std::string& needle, int timeout_seconds = 20) const;

 private:
  std::map<std::string, std::string> values_;
};

}  // namespace plumex::test
