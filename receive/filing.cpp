#include "receive/filing.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <set>

#include "codecs/body_text.h"
#include "codecs/charset.h"
#include "codecs/cp932_check.h"
#include "codecs/header_decode.h"
#include "codecs/jconvert.h"
#include "text/ascii_case.h"
#include "platform/atomic_file.h"
#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "protocol/parsed_message.h"
#include "protocol/pop3_client.h"
#include "receive/message_text.h"
#include "receive/reassembly.h"
#include "receive/sender_trust.h"
#include "store/file_key.h"
#include "store/generated_id.h"
#include "store/index_row.h"
#include "store/message_file_key.h"
#include "store/message_files.h"
#include "store/store_layout.h"
#include "store/store_texts.h"
#include "store/stored_message.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

// The id a message without Message-ID was filed under before its id was made from its bytes:
// from its date, or, undated, from a hash of its header block. Such an id in the fetched list
// still stops a message left on the server from being fetched a second time.
std::string HeaderBlockId(const ParsedMessage& message) {
  uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a
  for (const std::string& line : message.HeaderLines()) {
    for (char c : line + "\r\n") {
      hash ^= static_cast<unsigned char>(c);
      hash *= 0x100000001b3ULL;
    }
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return GeneratedId(hex);
}

std::string EarlierGeneratedId(const ParsedMessage& message, const std::string& own_date) {
  return own_date.empty() ? HeaderBlockId(message) : GeneratedId(own_date);
}

// The thread a message belongs to: its References, or, from a sender that writes only
// In-Reply-To, the first message id that field names (what threading readers take then).
std::string ThreadReferences(const ParsedMessage& message) {
  std::string references = message.References();
  if (!references.empty()) return references;
  const std::string in_reply_to = message.HeaderValue("In-Reply-To");
  const size_t open = in_reply_to.find('<');
  const size_t close = open == std::string::npos ? open : in_reply_to.find('>', open);
  if (close == std::string::npos) return "";
  return in_reply_to.substr(open, close - open + 1);
}

// The size shown for a message read from a file: the length of its body text. A multipart
// message's body is all its parts (the text before the first part is mostly empty).
size_t FileBodySize(const ParsedMessage& message) {
  if (!message.HasParts()) return message.BodyText().size();
  std::string_view raw = message.OriginalBytes();
  if (raw.empty()) raw = message.RawBytes();
  const size_t lf = raw.find("\n\n"), crlf = raw.find("\r\n\r\n");
  if (lf == std::string_view::npos && crlf == std::string_view::npos) return 0;
  const size_t body = lf < crlf ? lf + 2 : crlf + 4;
  return raw.size() - body;
}

// A header decoded for the store; a value the decoders cannot take is kept as it came.
std::string Decoded(std::string_view raw, const std::string& charset) {
  try {
    return DecodeHeader(raw, charset);
  } catch (const std::exception&) {
    return OnlyCp932Characters(ConvertCode(raw, CodeSjis));
  }
}

std::string DecodedBody(const std::string& charset, std::string_view text) {
  try {
    return DecodeBodyText(charset, text);
  } catch (const std::exception&) {
    return OnlyCp932Characters(ConvertCode(text, CodeSjis));
  }
}

// The message file: the header block, then the body without its long runs of blank lines,
// written in pieces so that a huge body is never copied whole.
void WriteMessageFile(const std::filesystem::path& path, const StoredMessage& stored, std::string_view body,
                      bool sync) {
  constexpr size_t kChunk = size_t{1} << 16;
  AtomicFile file(path);
  std::string buffer = JoinLines(stored.header_lines) + std::string(kStoredMessageSeparator) + "\r\n";
  CollapseBlankRuns(body, 5, [&](std::string_view piece) {
    if (buffer.size() + piece.size() > kChunk) {
      file.Write(buffer);
      buffer.clear();
    }
    if (piece.size() > kChunk) file.Write(piece);
    else buffer += piece;
  });
  buffer += "\r\n";
  file.Write(buffer);
  file.Commit(sync);
}

// The original bytes beside the message file, written from the bytes filing already holds.
void WriteOriginal(const std::filesystem::path& path, std::string_view bytes, bool sync) {
  AtomicFile file(path);
  file.Write(bytes);
  file.Commit(sync);
}

// Appends one record line, starting a new line when the file does not end with one.
void AppendRecord(const std::filesystem::path& file, const std::string& line, bool sync) {
  std::string bytes;
  {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (in && in.tellg() > 0) {
      in.seekg(-1, std::ios::end);
      char last = 0;
      in.get(last);
      if (last != '\n' && last != '\r') bytes = "\r\n";
    }
  }
  bytes += line + "\r\n";
  AppendToFile(file, bytes, sync);
}

}  // namespace

// The name an attachment is saved under: the MIME layer's parsed file name parameter (RFC 2231
// in any charset, continuations, quoted names followed by more parameters), decoded once by
// the header decoder; the message date when it names none; "" when neither is there.
std::string AttachmentName(const MessagePart& part, const std::string& charset, const std::string& date) {
  const MessagePart::FileNameParameter param = part.FileNameParam();
  std::string name;
  try {
    if (param.extended) name = CharsetToSjis(param.charset.empty() ? charset : param.charset, param.text);
    else name = param.utf8 ? CharsetToSjis("UTF-8", param.text) : DecodeHeader(param.text, charset);
  } catch (const std::exception&) {
    name = ConvertCode(param.text, CodeSjis);
  }
  // Control characters (a NUL an encoded value decodes to) are no part of a file name.
  std::erase_if(name, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
  name = OnlyCp932Characters(name);
  if (name.empty()) name = MakeFileKey(date);
  if (!name.empty() && name.front() == '"') name.erase(0, 1);
  if (!name.empty() && name.back() == '"') name.pop_back();
  return MakeAttachmentFileName(name);
}

std::string UniqueName(const std::string& name, UsedNames& used) {
  if (used.names.insert(name).second) return name;
  size_t dot = name.rfind('.');
  std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
  std::string extension = dot == std::string::npos || dot == 0 ? "" : name.substr(dot);
  int& k = used.next_number.try_emplace(name, 2).first->second;
  for (;; ++k) {
    std::string candidate = stem + "(" + std::to_string(k) + ")" + extension;
    if (used.names.insert(candidate).second) return candidate;
  }
}

namespace {

void SaveAttachment(const MessagePart& part, const std::filesystem::path& dir, const std::string& name, bool sync) {
  EnsureDirectory(dir);
  const auto file = dir / NativeName(name);
  RemoveRecursively(file);  // a file left there keeps its mode; a new one is created 0600
  part.WriteDecodedContent(file);
  std::string extension = AsciiLower(name.size() >= 4 ? name.substr(name.size() - 4) : name);
  if (extension == ".txt" || extension == ".csv") {
    if (auto bytes = ReadFileBytes(file)) WriteFileAtomic(file, ConvertCode(*bytes, CodeSjis), sync);
  } else if (sync) {
    SyncPath(file);
  }
}

}  // namespace

void FolderNewCounts::Add(const std::string& folder_path) {
  for (auto& [path, count] : entries) {
    if (path == folder_path) {
      ++count;
      return;
    }
  }
  entries.emplace_back(folder_path, 1);
}

void GmailRefetch(ParsedMessage& message, int n, FilingContext& context) {
  const std::vector<std::string> h = message.HeaderLines();
  std::vector<std::string> r;
  context.pop3->RetrieveRaw(n, r);
  std::string text = h.empty() ? std::string() : h[0];
  std::optional<size_t> divergence;
  for (size_t k = 1; k < h.size(); ++k) {
    if (k >= r.size() || h[k] != r[k]) {
      divergence = k;
      break;
    }
    text += "\r\n" + r[k];
  }
  auto all_of_r = [&] { return JoinLines(r); };
  if (!divergence) {
    text = all_of_r();
  } else if (*divergence < r.size() && ContainsIgnoringCase(r[*divergence], "boundary")) {
    text = all_of_r();
  } else {
    size_t i = *divergence;
    while (i < r.size() && !r[i].empty()) ++i;
    while (i < r.size() && r[i].empty()) ++i;
    while (i < r.size() && !r[i].empty()) text += "\r\n" + r[i++];
    const size_t rest = i;
    const std::string upper = AsciiUpper(text);
    if (upper.find("FROM:") == std::string::npos) text += "\r\nFrom: " + message.HeaderValue("From");
    if (upper.find("TO:") == std::string::npos) text += "\r\nTo: " + message.HeaderValue("To");
    if (upper.find("SUBJECT:") == std::string::npos) text += "\r\nSubject: " + message.HeaderValue("Subject");
    if (upper.find("DATE:") == std::string::npos) text += "\r\nDate: " + message.HeaderValue("Date");
    for (size_t k = rest; k < r.size(); ++k) text += "\r\n" + r[k];
  }
  text = ConvertCode(CollapseBlankRuns(text, 5), CodeSjis);
  // The staging folder is made when missing, so a Gmail account can always receive.
  const auto dir = ToNativePath(context.mail_root, ReceiveRootName() + "\\Gmail\\");
  EnsureDirectory(dir);
  const auto file = dir / "temp.txt";
  WriteFileAtomic(file, text);
  message.Clear();
  message.ParseFile(file);
  // What the server gave stays the original, not the staged copy made for parsing.
  message.SetOriginalBytes(r.empty() ? std::string() : JoinLines(r) + "\r\n");
}

std::string FiledMessageId(const ParsedMessage& message) {
  std::string id = message.MessageId();
  if (!id.empty()) return id;
  // Two messages without Message-ID sent in one second (a monitoring system, a form mailer)
  // are two messages: the id comes from the bytes, not from the date. A header read alone
  // (the new-mail check's TOP) has no digest; its header block stands in.
  if (!message.ContentDigest().empty()) return GeneratedId(message.ContentDigest());
  return HeaderBlockId(message);
}

int FileFetchedMessage(ParsedMessage& message, int n, FilingContext& context) {
  bool from_gmail = false;
  if (n >= 0 && context.pop3 && context.pop3->host.find(kGmailPopHost) != std::string::npos) {
    GmailRefetch(message, n, context);
    from_gmail = true;
  }

  const std::string own_date = FormatMessageDate(message, kReceivedDateFormat);
  std::string date = own_date;
  if (date.empty() && context.undated_time != 0) date = FormatLocalTime(context.undated_time, kReceivedDateFormat);

  const bool from_server = n >= 0 && context.pop3;
  std::string size;
  long long announced = -1;  // the size LIST gave; -1 when the server would not say
  bool asked = false;
  auto ask_size = [&] {
    asked = true;
    const auto k = static_cast<size_t>(n);
    const bool known = context.sizes && k < context.sizes->size() && (*context.sizes)[k] >= 0;
    announced = known ? (*context.sizes)[k] : context.pop3->List(n);
    if (announced >= 0) size = std::to_string(announced);
  };
  // A message without Message-ID is told apart by its bytes, so it is fetched whole before it
  // is known whether it was fetched before. An id it got under the earlier date rule still
  // counts as fetched, so mail left on the server is not filed twice, unless the row filed
  // under that id shows another message (another size): one that shared its second with it
  // and was never filed.
  bool retrieved = from_gmail;
  if (from_server && message.MessageId().empty()) {
    const std::string earlier = EarlierGeneratedId(message, own_date);
    if (context.received_ids->Contains(earlier)) {
      ask_size();
      std::optional<size_t> row;
      if (context.current_index) row = FindRow(*context.current_index, earlier);
      const bool another = row && !size.empty() &&
                           FieldOf(context.current_index->Rows()[*row], IndexRow::kSize) != size;
      if (!another) return 0;
    }
    if (!retrieved) {
      if (!asked) ask_size();
      context.pop3->Retrieve(n, message, announced);
      retrieved = true;
    }
  }
  const std::string id = FiledMessageId(message);
  if (context.received_ids->Contains(id)) return 0;

  const std::string charset = message.Charset();
  if (from_server) {
    if (!asked) ask_size();
  } else {
    size = std::to_string(FileBodySize(message));
  }

  const auto [to, subject, from] = DecodeMainHeaders(message, charset, Decoded);
  const std::string references = Decoded(ThreadReferences(message), charset);
  std::string reply_to;
  if (auto list = message.ReplyTo(); !list.empty()) reply_to = Decoded(list.front().Text(), charset);
  if (reply_to.empty() && context.reply_to_sender) reply_to = from;
  std::string cc;
  // Kept encoded as received; raw 8-bit text (UTF-8 above all) is brought to code page 932.
  for (const auto& address : message.Cc()) cc += OnlyCp932Characters(UnlabelledToSjis(address.Text())) + ";";

  // A piece of a split message waits for the rest of its set instead of being filed.
  if (n >= 0 && context.pop3) {
    if (auto piece = PieceOf(message, subject)) return StageFetchedPiece(*piece, n, id, context);
  }

  RuleContext rule_context{context.mail_root, context.current_folder_path, context.current_account,
                           context.forwarding};
  static const RuleList kNoRules;
  TargetFolder target =
      ChooseTargetFolder(context.rules ? *context.rules : kNoRules, rule_context, subject, from);
  if (target.kind == TargetFolder::Kind::Rejected) {
    if (n >= 0 && context.pop3) context.pop3->Delete(n);
    return 0;
  }
  if (target.kind == TargetFolder::Kind::Forwarded && context.forward_queue) context.forward_queue->push_back(id);

  if (from_server && !retrieved) context.pop3->Retrieve(n, message, announced);
  // The size is only shown: without a readable LIST answer it is what RETR brought.
  if (size.empty()) size = std::to_string(message.RawSize());
  // Who sent it, while the original header and MIME structure are at hand.
  const SenderTrust trust = EvaluateSenderTrust(message, context.trusted_authserv_id);

  const auto folder = ToNativePath(context.mail_root, target.folder_path);
  EnsureDirectory(folder);
  const std::string key = FileKeyInFolder(folder, id);
  // A message that stays on the server can be fetched again, so its files need not reach the
  // disk one by one; one that is deleted there must be on disk before DELE.
  const bool sync = n >= 0 && context.pop3 && context.delete_after_receive;
  const auto attachment_dir = folder / std::string(kAttachmentDirName) / NativeName(key);
  std::string attach = "2";
  // The parts an HTML body shows by their Content-ID ("cid:"), and the file each was saved as.
  std::vector<std::string> content_id_lines;
  UsedNames used_names;
  const std::string body = DecodeBodyParts(message, charset, DecodedBody, [&](const MessagePart& part) {
    std::string name = AttachmentName(part, charset, date);
    if (name.empty()) name = "attachment";
    const std::string saved = UniqueName(name, used_names);
    SaveAttachment(part, attachment_dir, saved, sync);
    attach = "1";
    size_t at = 0;
    std::string content_id = FindHeaderValue("content-id", part.HeaderLines(), true, at);
    // One line, no blanks or control characters: a folded or hostile value cannot split
    // the pseudo-header.
    std::erase_if(content_id, [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7F; });
    if (!content_id.empty()) content_id_lines.push_back(std::string(kContentIdKey) + ":" + content_id + "\t" + saved);
  });

  StoredMessage stored;
  stored.header_lines = {PseudoHeaderLine(Sjis(texts::kLineTo), to),
                         PseudoHeaderLine("ReplyTo:", reply_to),
                         PseudoHeaderLine("CCList:", cc),
                         PseudoHeaderLine("Message-ID:", id),
                         PseudoHeaderLine("References:", references),
                         PseudoHeaderLine(Sjis(texts::kLineFrom), from),
                         PseudoHeaderLine(Sjis(texts::kLineSubject), subject),
                         PseudoHeaderLine(Sjis(texts::kLineDate), date),
                         PseudoHeaderLine(Sjis(texts::kLineFileSize), size),
                         TrustHeaderLine(trust)};
  stored.header_lines.insert(stored.header_lines.end(), content_id_lines.begin(), content_id_lines.end());
  WriteMessageFile(folder / NativeName(key + ".txt"), stored, body, sync);
  WriteOriginal(OriginalIn(folder, key), message.OriginalBytes(), sync);
  if (sync) {
    SyncPath(folder);
    if (attach == "1") SyncPath(attachment_dir);
  }

  const MessagePriority priority = message.Priority();
  const std::string high = priority == MessagePriority::Highest || priority == MessagePriority::High ? "1" : "2";
  IndexRow row{id, RowField(subject), RowField(from), date, size, attach, std::string(kMarkUnread), high, std::nullopt};
  const std::string line = row.ToLine();

  if (target.kind == TargetFolder::Kind::Moved) {
    const auto index_file = folder / std::string(kReceiveIndexName);
    FolderIndex index = FolderIndex::Open(index_file);
    if (index.Add(line)) index.Save(index_file);
    if (context.folder_new_counts) context.folder_new_counts->Add(target.folder_path);
  } else {
    if (context.row_added) context.row_added(line);
    const auto index_file = ToNativePath(context.mail_root, context.current_folder_path) / std::string(kReceiveIndexName);
    if (context.current_index->Add(line)) {
      // During a run the sorted index is written once at its end. A message about to be
      // deleted on the server has its row appended to the file first, so it is on disk
      // before DELE; one that stays there is fetched again should the run not finish.
      if (!context.defer_index_write) context.current_index->Save(index_file);
      else if (sync) AppendRecord(index_file, line, true);
    }
  }

  context.received_ids->Add(id);
  if (n >= 0 && context.pop3 && context.delete_after_receive) context.pop3->Delete(n);
  return 1;
}

int FileMessageFromFile(ParsedMessage& message, FilingContext& context) {
  FilingContext from_file = context;
  from_file.pop3 = nullptr;
  from_file.defer_index_write = false;
  return FileFetchedMessage(message, -1, from_file);
}

void FinishDeferredIndex(FilingContext& context) {
  context.current_index->Save(ToNativePath(context.mail_root, context.current_folder_path) /
                              std::string(kReceiveIndexName));
}

}  // namespace plumex
