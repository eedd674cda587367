#include "shell/shown_text.h"

#include <optional>
#include <system_error>

#include "text/ascii_case.h"
#include "text/code_page.h"
#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/text_file.h"
#include "receive/original_text.h"
#include "shell/shell_texts.h"
#include "store/index_row.h"
#include "store/message_file_key.h"
#include "store/message_files.h"
#include "store/store_texts.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

// The pseudo-header lines whose values filing decodes from the message, and where the
// original's decoding of each is.
const std::string* AsSentValue(std::string_view line, const OriginalText& original) {
  struct Field {
    std::string_view key;
    std::string OriginalText::*value;
  };
  static const Field kFields[] = {{texts::kLineTo, &OriginalText::to},
                                  {"CCList:", &OriginalText::cc},
                                  {texts::kLineFrom, &OriginalText::from},
                                  {texts::kLineSubject, &OriginalText::subject}};
  for (const Field& f : kFields)
    if (line.starts_with(Sjis(f.key))) return &(original.*f.value);
  return nullptr;
}

// The stored value, or the one as sent where the stored one has a substitute.
std::string ShownValue(const std::string& stored, const std::string* as_sent) {
  if (as_sent && MayHaveSubstitute(stored)) return Utf8ToCp932(*as_sent);
  return stored;
}

// Filing writes the message file first, its original next; copies go in the same order.
bool WrittenAfter(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ea, eb;
  const auto ta = std::filesystem::last_write_time(a, ea), tb = std::filesystem::last_write_time(b, eb);
  return !ea && !eb && ta > tb;
}

}  // namespace

bool MayHaveSubstitute(std::string_view cp932) { return cp932.find('?') != std::string_view::npos; }

bool ContainsAsTyped(std::string_view utf8, std::string_view key) {
  return AsciiLower(utf8).find(AsciiLower(key)) != std::string::npos;
}

ShownTexts ShowMessageTexts(const std::string& header_text, const std::string& body_text,
                            const std::vector<std::string>& attachments, const std::filesystem::path& message_file,
                            const std::filesystem::path& original) {
  ShownTexts out{header_text, body_text, attachments};
  const bool body_needs = MayHaveSubstitute(body_text);
  if (!(MayHaveSubstitute(header_text) || body_needs || !attachments.empty()) || original.empty() ||
      !FileExists(original) || WrittenAfter(message_file, original))
    return out;
  const std::optional<OriginalText> sent = ReadOriginalText(original, body_needs || !attachments.empty());
  if (!sent) return out;
  out.header.clear();
  ForEachLine(header_text, [&](std::string_view line, std::string_view) {
    const std::string* value = AsSentValue(line, *sent);
    const size_t colon = line.find(':');
    if (value && colon != std::string_view::npos && MayHaveSubstitute(line.substr(colon + 1)))
      out.header += std::string(line.substr(0, colon + 1)) + Utf8ToCp932(*value) + "\r\n";
    else
      out.header += std::string(line) + "\r\n";
  });
  if (body_needs && !sent->body.empty()) out.body = Utf8ToCp932(sent->body);
  for (std::string& name : out.attachment_names)
    if (std::string shown = sent->AttachmentShownName(name); !shown.empty()) name = Utf8ToCp932(shown);
  return out;
}

std::pair<std::string, std::string> ShownSubjectAndSender(const std::filesystem::path& folder, std::string_view row) {
  const std::string subject = FieldOf(row, IndexRow::kSubject);
  const std::string from = FieldOf(row, IndexRow::kCorrespondent);
  std::optional<OriginalText> sent;
  if (MayHaveSubstitute(subject) || MayHaveSubstitute(from)) {
    const std::string id = FieldOf(row, IndexRow::kMessageId);
    sent = ReadOriginalText(OriginalIn(folder, FileKeyInFolder(folder, id)), false);
  }
  return {ShownValue(subject, sent ? &sent->subject : nullptr), ShownValue(from, sent ? &sent->from : nullptr)};
}

std::vector<std::string> ShownHeaderLines(const ViewerContent& v) {
  // The header pane's values by key ("件名" ...), the first line of each key.
  std::vector<std::pair<std::string, std::string>> values;
  ForEachLine(v.header_text, [&](std::string_view line, std::string_view) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return;
    values.emplace_back(Cp932ToUtf8(line.substr(0, colon)), Cp932ToUtf8(line.substr(colon + 1)));
  });
  auto value = [&](std::string_view key) {
    for (const auto& [k, text] : values)
      if (k == key) return text;
    return std::string();
  };
  std::string date = value(texts::kKeyDate);
  if (date.size() > 10 && date[10] == '_') date[10] = ' ';
  std::string cc = value("CCList");
  while (!cc.empty() && (cc.back() == ';' || cc.back() == ' ')) cc.pop_back();
  auto line = [](std::string_view key, const std::string& text) { return std::string(key) + " " + text; };
  std::vector<std::string> lines = {line(texts::kLineSubject, value(texts::kKeySubject)),
                                    line(texts::kLineFrom, value(texts::kKeyFrom)), line(texts::kLineDate, date),
                                    line(texts::kLineTo, value(texts::kKeyTo))};
  if (!cc.empty()) lines.push_back("CC: " + cc);
  // The sender trust kept at filing, values and the sentence for people on one line.
  if (const std::string trust = value(texts::kKeySenderTrust); !trust.empty())
    lines.push_back(std::string(texts::kLineSenderTrust) + trust);
  const auto& names = v.attachment_names.size() == v.attachments.size() ? v.attachment_names : v.attachments;
  for (const std::string& name : names) lines.push_back(std::string(texts::kShownAttachment) + Cp932ToUtf8(name));
  return lines;
}

}  // namespace plumex
