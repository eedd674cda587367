// The message to send. Every header value arrives already in ASCII (Japanese text encoded by
// the codecs) and is written as it stands; only over-long lines are folded at existing
// white space, which unfolding undoes.
#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace plumex {

class OutgoingMessage {
 public:
  enum class Priority { Normal, High };

  struct Attachment {
    std::filesystem::path path;  // file to read
    std::string file_name;       // name on the wire, already encoded
  };

  std::string from;        // one address, possibly with a display name
  std::string to;          // comma-separated address lists
  std::string cc;
  std::string bcc;         // envelope only
  std::string reply_to;
  std::string subject;
  Priority priority = Priority::Normal;
  std::string receipt_to;  // Disposition-Notification-To when not empty
  std::string in_reply_to;  // In-Reply-To when not empty
  std::string references;
  std::time_t date = 0;    // written in UTC with the zone +0000

  // Header lines written as set, before the generated ones.
  void SetHeader(const std::string& name, const std::string& value);  // "Name: value", replaces
  void AddRawHeaderLine(const std::string& line);                     // e.g. "X-Mailer:PlumexVer5.0"
  const std::vector<std::string>& extra_header_lines() const { return extra_lines_; }

  // The text part: text/plain, charset ISO-2022-JP, 7bit; with utf8_text, charset UTF-8 in
  // base64 (for text with characters ISO-2022-JP lacks). Line ends become CR LF.
  std::string text;
  bool utf8_text = false;
  std::vector<Attachment> attachments;

  void Reset();

  // The envelope: the sender's address and the recipients of To, Cc and Bcc in that order.
  std::string EnvelopeSender() const;
  std::vector<std::string> EnvelopeRecipients() const;

  // The whole message as it goes on the wire (before dot-stuffing), lines ending in CR LF.
  // Throws ProtocolError when an attachment cannot be read.
  std::string Serialize() const;

 private:
  std::vector<std::string> extra_lines_;
};

}  // namespace plumex
