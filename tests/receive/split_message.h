// An original message and the message/partial pieces (RFC 2046) a sender's mailer cuts it
// into, for the reassembly tests.
#pragma once

#include <string>
#include <vector>

#include "platform/text_file.h"

namespace plumex::test {

// A MIME message with a text part of two paragraphs and a binary attachment of base64 lines;
// its header is in the order a join gives back.
inline std::string OriginalMessage(const std::string& id, const std::string& subject, const std::string& attachment_b64) {
  return "From: sender@example.jp\r\nTo: me@example.jp\r\nDate: Tue, 08 Sep 2009 12:34:56 +0900\r\nSubject: " +
         subject + "\r\nMessage-ID: " + id +
         "\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\n"
         "--b\r\nContent-Type: text/plain; charset=US-ASCII\r\n\r\nfirst paragraph\r\n\r\nsecond paragraph\r\n"
         "--b\r\nContent-Type: application/octet-stream\r\nContent-Transfer-Encoding: base64\r\n"
         "Content-Disposition: attachment; filename=\"data.bin\"\r\n\r\n" +
         attachment_b64 + "--b--\r\n";
}

// The `count` pieces of `original`: the transport fields of its header stand in each piece's
// own header, the fields that describe the content open the first piece's body, and the rest
// is cut into runs of whole lines.
inline std::vector<std::string> SplitMessage(const std::string& original, int count, const std::string& set_id,
                                             const std::string& piece_id_prefix) {
  const std::vector<std::string> lines = SplitLines(original);
  std::vector<std::string> outer, content;
  size_t i = 0;
  for (; i < lines.size() && !lines[i].empty(); ++i) {
    const bool describes = lines[i].rfind("Content-", 0) == 0 || lines[i].rfind("Subject:", 0) == 0 ||
                           lines[i].rfind("Message-ID:", 0) == 0 || lines[i].rfind("MIME-Version:", 0) == 0;
    (describes ? content : outer).push_back(lines[i]);
  }
  std::string subject;
  for (const auto& field : content)
    if (field.rfind("Subject:", 0) == 0) subject = field.substr(9);
  std::vector<std::string> payload = content;
  payload.push_back("");
  payload.insert(payload.end(), lines.begin() + static_cast<std::ptrdiff_t>(i + 1), lines.end());
  std::vector<std::string> pieces;
  const size_t per_piece = (payload.size() + static_cast<size_t>(count) - 1) / static_cast<size_t>(count);
  for (int k = 1; k <= count; ++k) {
    std::string piece;
    for (const auto& field : outer) piece += field + "\r\n";
    piece += "Subject: " + subject + " [" + std::to_string(k) + "/" + std::to_string(count) + "]\r\n";
    piece += "Message-ID: <" + piece_id_prefix + "." + std::to_string(k) + "@example.jp>\r\n";
    piece += "MIME-Version: 1.0\r\nContent-Type: message/partial; id=\"" + set_id + "\"; number=" + std::to_string(k) +
             "; total=" + std::to_string(count) + "\r\n\r\n";
    const size_t from = per_piece * static_cast<size_t>(k - 1);
    for (size_t l = from; l < payload.size() && l < from + per_piece; ++l) piece += payload[l] + "\r\n";
    pieces.push_back(piece);
  }
  return pieces;
}

// Base64 lines (76 characters each) of `size` bytes of every value.
inline std::string AttachmentBase64(size_t size) {
  static const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out, line;
  for (size_t i = 0; i < size * 4 / 3; ++i) {
    line += kAlphabet[(i * 7 + i / 3) % 64];
    if (line.size() == 76) {
      out += line + "\r\n";
      line.clear();
    }
  }
  if (!line.empty()) {
    while (line.size() % 4 != 0) line += '=';
    out += line + "\r\n";
  }
  return out;
}

}  // namespace plumex::test
