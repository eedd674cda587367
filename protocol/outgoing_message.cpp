#include "protocol/outgoing_message.h"

#include <atomic>
#include <cstdio>
#include <random>

#include "text/ascii_case.h"
#include "text/base64.h"
#include "platform/text_file.h"
#include "protocol/address_list.h"
#include "protocol/mail_date.h"
#include "protocol/protocol_error.h"
#include "protocol/protocol_texts.h"

namespace plumex {
namespace {

bool NameMatches(const std::string& line, const std::string& name) {
  return line.size() > name.size() && line[name.size()] == ':' && StartsWithIgnoringCase(line, 0, name);
}

// Folds a header line longer than 78 characters before white space that is already there,
// so the unfolded value stays byte for byte what was set. A line without such space stays long.
void AppendFolded(std::string& out, const std::string& line) {
  constexpr size_t kWidth = 78;
  size_t start = 0;
  const size_t colon = line.find(':');
  while (line.size() - start > kWidth) {
    size_t cut = std::string::npos;
    const size_t lowest = start == 0 ? (colon == std::string::npos ? 1 : colon + 2) : start + 1;
    for (size_t i = start + kWidth; i >= lowest && i > start; --i)
      if (line[i] == ' ' || line[i] == '\t') {
        cut = i;
        break;
      }
    if (cut == std::string::npos) {
      for (size_t i = start + kWidth + 1; i < line.size(); ++i)
        if (line[i] == ' ' || line[i] == '\t') {
          cut = i;
          break;
        }
    }
    if (cut == std::string::npos) break;
    out.append(line, start, cut - start);
    out += "\r\n";
    start = cut;
  }
  out.append(line, start, std::string::npos);
  out += "\r\n";
}

void AppendHeader(std::string& out, const std::string& name, const std::string& value) {
  AppendFolded(out, name + ": " + value);
}

// Text with every line end made CR LF, ending in CR LF unless empty.
void AppendCrLfText(std::string& out, const std::string& text) {
  out.reserve(out.size() + text.size() + text.size() / 32 + 2);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  if (!text.empty() && text.back() != '\n' && text.back() != '\r') out += "\r\n";
}

// Lines of 76 characters (57 bytes each), as MIME wants them.
void AppendBase64Lines(std::string& out, std::string_view data) {
  constexpr size_t kBytesPerLine = 57;
  out.reserve(out.size() + data.size() / kBytesPerLine * 78 + 80);
  for (size_t i = 0; i < data.size(); i += kBytesPerLine) {
    AppendBase64(out, data.substr(i, kBytesPerLine));
    out += "\r\n";
  }
}

std::string NewBoundary() {
  static std::atomic<unsigned> counter{0};
  std::random_device rd;
  char buf[64];
  std::snprintf(buf, sizeof buf, "=_Plumex_%08x%08x_%u", rd(), rd(), counter.fetch_add(1));
  return buf;
}

}  // namespace

void OutgoingMessage::SetHeader(const std::string& name, const std::string& value) {
  const std::string line = name + ": " + value;
  for (std::string& l : extra_lines_)
    if (NameMatches(l, name)) {
      l = line;
      return;
    }
  extra_lines_.push_back(line);
}

void OutgoingMessage::AddRawHeaderLine(const std::string& line) { extra_lines_.push_back(line); }

void OutgoingMessage::Reset() { *this = OutgoingMessage(); }

std::string OutgoingMessage::EnvelopeSender() const {
  const auto list = ParseAddressList(from);
  return list.empty() ? std::string() : list.front().address;
}

std::vector<std::string> OutgoingMessage::EnvelopeRecipients() const {
  std::vector<std::string> out;
  for (const std::string* field : {&to, &cc, &bcc})
    for (const MailAddress& a : ParseAddressList(*field))
      if (!a.address.empty()) out.push_back(a.address);
  return out;
}

std::string OutgoingMessage::Serialize() const {
  std::string out;
  for (const std::string& line : extra_lines_) AppendFolded(out, line);
  if (!from.empty()) AppendHeader(out, "From", from);
  if (!reply_to.empty()) AppendHeader(out, "Reply-To", reply_to);
  if (!to.empty()) AppendHeader(out, "To", to);
  if (!cc.empty()) AppendHeader(out, "Cc", cc);
  AppendHeader(out, "Subject", subject);
  AppendHeader(out, "Date", FormatMailDate(date));
  if (priority == Priority::High) AppendHeader(out, "X-Priority", "2");
  if (!receipt_to.empty()) AppendHeader(out, "Disposition-Notification-To", receipt_to);
  if (!in_reply_to.empty()) AppendHeader(out, "In-Reply-To", in_reply_to);
  if (!references.empty()) AppendHeader(out, "References", references);
  out += "MIME-Version: 1.0\r\n";
  const char* const kTextType = utf8_text ? "Content-Type: text/plain; charset=UTF-8\r\n"
                                            "Content-Transfer-Encoding: base64\r\n"
                                          : "Content-Type: text/plain; charset=ISO-2022-JP\r\n"
                                            "Content-Transfer-Encoding: 7bit\r\n";
  auto append_text = [&] {
    if (!utf8_text) return AppendCrLfText(out, text);
    std::string crlf;
    AppendCrLfText(crlf, text);
    AppendBase64Lines(out, crlf);
  };
  if (attachments.empty()) {
    out += kTextType;
    out += "\r\n";
    append_text();
    return out;
  }
  const std::string boundary = NewBoundary();
  out += "Content-Type: multipart/mixed;\r\n boundary=\"" + boundary + "\"\r\n";
  out += "\r\n";
  out += "This is a multi-part message in MIME format.\r\n";
  out += "\r\n--" + boundary + "\r\n";
  out += kTextType;
  out += "\r\n";
  append_text();
  for (const Attachment& a : attachments) {
    auto data = ReadFileBytes(a.path);
    if (!data) throw ProtocolError(CannotReadAttachmentText(a.path), ErrorKind::LocalFile);
    out += "\r\n--" + boundary + "\r\n";
    out += "Content-Type: application/octet-stream;\r\n name=\"" + a.file_name + "\"\r\n";
    out += "Content-Transfer-Encoding: base64\r\n";
    out += "Content-Disposition: attachment;\r\n filename=\"" + a.file_name + "\"\r\n";
    out += "\r\n";
    AppendBase64Lines(out, *data);
  }
  out += "\r\n--" + boundary + "--\r\n";
  return out;
}

}  // namespace plumex
