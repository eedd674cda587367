#include "receive/original_text.h"

#include <fstream>

#include "codecs/body_text.h"
#include "codecs/charset.h"
#include "codecs/header_decode.h"
#include "codecs/jconvert.h"
#include "codecs/shown_text.h"
#include "text/ascii_case.h"
#include "platform/directories.h"
#include "protocol/parsed_message.h"
#include "receive/filing.h"
#include "receive/message_text.h"

namespace plumex {
namespace {

// As filing's decoders: a value the decoders cannot take is shown as it came.
std::string Decoded(std::string_view raw, const std::string& charset) {
  try {
    return DecodeHeaderUtf8(raw, charset);
  } catch (const std::exception&) {
    return SjisToShownUtf8(ConvertCode(raw, CodeSjis));
  }
}

std::string DecodedBody(const std::string& charset, std::string_view text) {
  try {
    return DecodeBodyTextUtf8(charset, text);
  } catch (const std::exception&) {
    return SjisToShownUtf8(ConvertCode(text, CodeSjis));
  }
}

std::string ShownAttachmentName(const MessagePart& part, const std::string& charset) {
  const MessagePart::FileNameParameter param = part.FileNameParam();
  std::string name;
  try {
    name = param.utf8 ? CharsetToUtf8("UTF-8", param.text) : DecodeHeaderUtf8(param.text, charset);
  } catch (const std::exception&) {
    name = SjisToShownUtf8(ConvertCode(param.text, CodeSjis));
  }
  if (!name.empty() && name.front() == '"') name.erase(0, 1);
  if (!name.empty() && name.back() == '"') name.pop_back();
  return name;
}

// The header block of a message file: read up to its first empty line only.
std::optional<std::string> ReadHeaderBlock(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text;
  char buffer[8192];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    const size_t before = text.size();
    text.append(buffer, static_cast<size_t>(in.gcount()));
    const size_t from = before >= 3 ? before - 3 : 0;
    for (size_t i = text.find('\n', from); i != std::string::npos; i = text.find('\n', i + 1)) {
      const size_t next = i + 1;
      if (next < text.size() && text[next] == '\n') return text.substr(0, next);
      if (next + 1 < text.size() && text[next] == '\r' && text[next + 1] == '\n') return text.substr(0, next);
    }
    if (text.size() > (size_t{1} << 20)) break;  // a header this long is not read further
  }
  return text;
}

}  // namespace

std::string OriginalText::AttachmentShownName(const std::string& stored_name) const {
  for (const auto& [stored, shown] : attachments)
    if (stored == stored_name) return shown;
  return {};
}

OriginalText DecodeOriginal(const ParsedMessage& message, bool with_body) {
  OriginalText out;
  const std::string charset = message.Charset();
  MainHeaderValues values = DecodeMainHeaders(message, charset, Decoded);
  out.to = std::move(values.to);
  out.subject = std::move(values.subject);
  out.from = std::move(values.from);
  for (const auto& address : message.Cc()) out.cc += UnlabelledToUtf8(address.Text()) + ";";
  if (!with_body) return out;

  const std::string date = FormatMessageDate(message, kReceivedDateFormat);
  UsedNames used_names;
  const std::string body = DecodeBodyParts(message, charset, DecodedBody, [&](const MessagePart& part) {
    std::string stored = AttachmentName(part, charset, date);
    if (stored.empty()) stored = "attachment";
    stored = UniqueName(stored, used_names);
    std::string shown = ShownAttachmentName(part, charset);
    out.attachments.emplace_back(stored, shown.empty() ? SjisToShownUtf8(stored) : shown);
    // Saved text attachments are converted to code page 932 (a substitute for what it
    // lacks); what they said is read the way their saved form was.
    const std::string extension = AsciiLower(stored.size() >= 4 ? stored.substr(stored.size() - 4) : stored);
    if (extension == ".txt" || extension == ".csv") out.attachment_texts.emplace_back(stored, UnlabelledToUtf8(part.Text()));
  });
  out.body = CollapseBlankRuns(body, 5) + "\r\n";
  return out;
}

std::optional<OriginalText> ReadOriginalText(const std::filesystem::path& file, bool with_body) {
  ParsedMessage message;
  if (with_body) {
    if (!FileExists(file)) return std::nullopt;
    try {
      message.ParseFile(file);
    } catch (const std::exception&) {
      return std::nullopt;
    }
  } else {
    const std::optional<std::string> header = ReadHeaderBlock(file);
    if (!header) return std::nullopt;
    message.ParseHeaderOnly(*header);
  }
  return DecodeOriginal(message, with_body);
}

}  // namespace plumex
