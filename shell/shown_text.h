// A message's texts as sent. The message file holds code page 932 text with a substitute "?"
// for each character the code page lacks; where it has one, the texts shown (the viewer, the
// list, plumex-cli, reply and forward) carry the character as sent instead (see
// platform/carried_text.h), decoded from the original kept beside the message file. A message
// without an original shows its code page 932 text.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/main_state.h"

namespace plumex {

struct ShownTexts {
  std::string header;  // the header pane's lines, each + CR LF
  std::string body;    // the body, lines ending CR LF
  std::vector<std::string> attachment_names;  // one name per stored attachment, in their order
};

// header_text and body_text as the viewer reads them from message_file, attachments the
// stored names; original the file of the original (it may be missing). Code page 932 texts,
// carrying what the original holds where the stored text has a substitute. A message file
// written after its original ("メールを上書き保存する") shows as it is.
ShownTexts ShowMessageTexts(const std::string& header_text, const std::string& body_text,
                            const std::vector<std::string>& attachments, const std::filesystem::path& message_file,
                            const std::filesystem::path& original);

// An index row's subject and sender as shown: as sent where the stored field has a substitute
// and the message in `folder` (native) keeps its original, else as stored (code page 932).
std::pair<std::string, std::string> ShownSubjectAndSender(const std::filesystem::path& folder, std::string_view row);

// The header lines a printed message starts with (UTF-8): "件名: ", "差出人: ", "日時: ",
// "あて名: ", "CC: " when it has copies, then one "添付: NAME" per attachment. Every line
// printed above a message's body comes from here.
std::vector<std::string> ShownHeaderLines(const ViewerContent& v);

// Whether UTF-8 text holds the key, ASCII letter case ignored.
bool ContainsAsTyped(std::string_view utf8, std::string_view key);

// Whether a code page 932 text may hold a substitute for a character it could not hold.
bool MayHaveSubstitute(std::string_view cp932);

}  // namespace plumex
