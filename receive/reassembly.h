// Split messages (message/partial, RFC 2046). Each piece that arrives is kept as it came in the
// account's staging folder, its id recorded so it is never fetched again; once every piece of
// a set is there, the pieces are joined into the message the sender sent, which is filed like
// fetched mail, and the staged pieces go.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace plumex {

class ParsedMessage;
struct FilingContext;

struct PieceInfo {
  std::string set_id;  // the same for every piece of one split message
  int number = 0;      // from 1
  int total = 0;       // 0 when this piece does not say (only the last one must)
};

// What the piece parameters of a message/partial say: the Content-Type's id, number and total;
// without them the subject's "[n/m]" tail, the rest of the subject naming the set. Nothing when
// the message is no piece.
std::optional<PieceInfo> PieceOf(const ParsedMessage& header, const std::string& decoded_subject);

// Where the pieces of the account whose inbox is inbox_dir wait: under the inbox's attachment
// folder, which is never listed as mail, in a folder no message key can name.
std::filesystem::path StagingDir(const std::filesystem::path& inbox_dir);

// Keeps a piece's raw lines (all of them, as the server sent them) with its set.
void StagePiece(const std::filesystem::path& staging, const PieceInfo& piece, const std::vector<std::string>& lines,
                bool sync);

// The message the pieces 1..n (each its whole raw text, in order) came from: the first piece's
// outer header without its Content-*, Subject, Message-ID, Encrypted and MIME-Version fields,
// then those fields of the enclosed header, then the body of every piece in turn.
std::string JoinPieces(const std::vector<std::string>& pieces);

// A fetched piece (message n of the server, id its Message-ID): staged with every line it has,
// its id recorded so it is never fetched again, deleted on the server when the account deletes
// after receiving (once it is on disk). Nothing is filed, so it returns 0.
int StageFetchedPiece(const PieceInfo& piece, int n, const std::string& id, FilingContext& context);

// Files every set of the staging folder whose pieces 1..total have all arrived; sets still
// waiting for a piece stay. Returns the number of messages filed.
int FileCompleteSets(FilingContext& context);

}  // namespace plumex
