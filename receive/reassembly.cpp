#include "receive/reassembly.h"

#include <charconv>

#include "text/ascii_case.h"
#include "platform/directories.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "protocol/parsed_message.h"
#include "protocol/pop3_client.h"
#include "receive/filing.h"
#include "store/file_key.h"
#include "store/store_layout.h"

namespace plumex {
namespace {

constexpr const char* kTotalFileName = "total";

std::optional<int> ParseNumber(std::string_view text) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value <= 0) return std::nullopt;
  return value;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r' || text.front() == '\n'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
    text.remove_suffix(1);
  return text;
}

// A parameter of a Content-Type value (name without regard to case), quotes removed.
std::optional<std::string> Parameter(std::string_view value, std::string_view name) {
  size_t start = value.find(';');
  while (start != std::string_view::npos) {
    size_t end = start + 1;
    bool quoted = false;
    while (end < value.size() && (quoted || value[end] != ';')) {
      if (value[end] == '"') quoted = !quoted;
      ++end;
    }
    std::string_view item = Trimmed(value.substr(start + 1, end - start - 1));
    const size_t eq = item.find('=');
    if (eq != std::string_view::npos && EqualIgnoringCase(Trimmed(item.substr(0, eq)), name)) {
      std::string_view v = Trimmed(item.substr(eq + 1));
      if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
      return std::string(v);
    }
    start = end < value.size() ? end : std::string_view::npos;
  }
  return std::nullopt;
}

// "[n/m]" at the end of a subject: the set is named by what stands before it.
std::optional<PieceInfo> PieceOfSubject(const std::string& subject) {
  std::string_view s = Trimmed(subject);
  if (s.empty() || s.back() != ']') return std::nullopt;
  const size_t open = s.rfind('[');
  if (open == std::string_view::npos) return std::nullopt;
  std::string_view inside = s.substr(open + 1, s.size() - open - 2);
  const size_t slash = inside.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  auto number = ParseNumber(Trimmed(inside.substr(0, slash)));
  auto total = ParseNumber(Trimmed(inside.substr(slash + 1)));
  if (!number || !total) return std::nullopt;
  return PieceInfo{std::string(Trimmed(s.substr(0, open))), *number, *total};
}

bool StartsField(std::string_view line) {
  if (line.empty() || line[0] == ' ' || line[0] == '\t') return false;
  const size_t colon = line.find(':');
  return colon != std::string_view::npos && colon > 0 && line.substr(0, colon).find(' ') == std::string_view::npos;
}

// Header fields (each with its continuation lines) up to the first empty line; `rest` is the
// position after that line.
std::vector<std::vector<std::string>> HeaderFields(const std::vector<std::string>& lines, size_t& rest) {
  std::vector<std::vector<std::string>> fields;
  size_t i = 0;
  for (; i < lines.size() && !lines[i].empty(); ++i) {
    if ((lines[i][0] == ' ' || lines[i][0] == '\t') && !fields.empty()) fields.back().push_back(lines[i]);
    else fields.push_back({lines[i]});
  }
  rest = i < lines.size() ? i + 1 : i;
  return fields;
}

// The fields that describe the enclosed message itself rather than its transport.
bool DescribesContent(const std::string& field) {
  const std::string_view name = std::string_view(field).substr(0, field.find(':'));
  return StartsWithIgnoringCase(name, 0, "Content-") || EqualIgnoringCase(name, "Subject") ||
         EqualIgnoringCase(name, "Message-ID") || EqualIgnoringCase(name, "Encrypted") ||
         EqualIgnoringCase(name, "MIME-Version");
}

void AppendLines(std::string& out, const std::vector<std::string>& lines, size_t from) {
  for (size_t i = from; i < lines.size(); ++i) out += lines[i] + "\r\n";
}

}  // namespace

std::optional<PieceInfo> PieceOf(const ParsedMessage& header, const std::string& decoded_subject) {
  const std::string type = header.HeaderValue("Content-Type");
  if (!ContainsIgnoringCase(type, "message/partial")) return std::nullopt;
  auto id = Parameter(type, "id");
  auto number = Parameter(type, "number");
  if (id && !id->empty() && number && ParseNumber(*number)) {
    PieceInfo piece{*id, *ParseNumber(*number), 0};
    if (auto total = Parameter(type, "total")) piece.total = ParseNumber(*total).value_or(0);
    return piece;
  }
  return PieceOfSubject(decoded_subject);
}

std::filesystem::path StagingDir(const std::filesystem::path& inbox_dir) {
  // '<' never stands in a message key (MakeFileKey writes it as '0').
  return inbox_dir / std::string(kAttachmentDirName) / "<partial>";
}

void StagePiece(const std::filesystem::path& staging, const PieceInfo& piece, const std::vector<std::string>& lines,
                bool sync) {
  const auto set_dir = staging / NativeName(MakeFileKey(piece.set_id));
  EnsureDirectory(set_dir);
  std::string text;
  AppendLines(text, lines, 0);
  WriteFileAtomic(set_dir / (std::to_string(piece.number) + ".eml"), text, sync);
  if (piece.total > 0) WriteFileAtomic(set_dir / kTotalFileName, std::to_string(piece.total), sync);
}

std::string JoinPieces(const std::vector<std::string>& pieces) {
  if (pieces.empty()) return {};
  const std::vector<std::string> first = SplitLines(pieces[0]);
  size_t body = 0;
  const auto outer = HeaderFields(first, body);
  std::string joined;
  for (const auto& field : outer)
    if (!DescribesContent(field[0])) AppendLines(joined, field, 0);
  // The first piece's body begins with the enclosed message's own header.
  std::vector<std::string> rest(first.begin() + static_cast<std::ptrdiff_t>(body), first.end());
  size_t enclosed_body = 0;
  if (!rest.empty() && StartsField(rest[0])) {
    for (const auto& field : HeaderFields(rest, enclosed_body))
      if (DescribesContent(field[0])) AppendLines(joined, field, 0);
  }
  joined += "\r\n";
  AppendLines(joined, rest, enclosed_body);
  for (size_t k = 1; k < pieces.size(); ++k) {
    const std::vector<std::string> lines = SplitLines(pieces[k]);
    size_t from = 0;
    HeaderFields(lines, from);
    AppendLines(joined, lines, from);
  }
  return joined;
}

int StageFetchedPiece(const PieceInfo& piece, int n, const std::string& id, FilingContext& context) {
  std::vector<std::string> lines;
  context.pop3->RetrieveRaw(n, lines);
  const bool deleted_on_server = context.delete_after_receive;
  StagePiece(StagingDir(ToNativePath(context.mail_root, context.current_folder_path)), piece, lines, deleted_on_server);
  context.received_ids->Add(id);
  ++context.staged_pieces;
  if (deleted_on_server) context.pop3->Delete(n);
  return 0;
}

int FileCompleteSets(FilingContext& context) {
  const auto staging = StagingDir(ToNativePath(context.mail_root, context.current_folder_path));
  int filed = 0;
  for (const std::string& name : ListSubdirectories(staging)) {
    const auto set_dir = staging / NativeName(name);
    const auto total = ParseNumber(Trimmed(ReadFileBytes(set_dir / kTotalFileName).value_or("")));
    if (!total) continue;  // the last piece, which names the count, has not come yet
    std::vector<std::string> pieces;
    for (int k = 1; k <= *total; ++k) {
      auto text = ReadFileBytes(set_dir / (std::to_string(k) + ".eml"));
      if (!text) break;
      pieces.push_back(std::move(*text));
    }
    if (pieces.size() != static_cast<size_t>(*total)) continue;
    const auto joined_file = set_dir / "joined.eml";
    WriteFileAtomic(joined_file, JoinPieces(pieces), false);
    ParsedMessage message;
    message.ParseFile(joined_file);
    filed += FileMessageFromFile(message, context);
    RemoveRecursively(set_dir);
  }
  return filed;
}

}  // namespace plumex
