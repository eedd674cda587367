// A fetched or stored message, parsed with GMime. Header values are given raw (encoded words
// and all; the codecs decode them), texts as their bytes with the transfer encoding removed,
// in the charset the message names (callers convert).
#pragma once

#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/address_list.h"
#include "protocol/gobject_ref.h"

typedef struct _GMimeObject GMimeObject;
typedef struct _GByteArray GByteArray;
typedef struct _GMimeStream GMimeStream;

namespace plumex {

enum class MessagePriority { Highest, High, Normal, Low, Lowest };

// One leaf of a multipart message: a text part or an attachment.
class MessagePart {
 public:
  enum class Kind { Text, Attachment };

  MessagePart(Kind kind, GMimeObject* object);  // takes a reference of its own

  Kind kind() const { return kind_; }
  bool IsText() const { return kind_ == Kind::Text; }
  bool IsAttachment() const { return kind_ == Kind::Attachment; }

  // The part's own header lines as received.
  const std::vector<std::string>& HeaderLines() const { return header_lines_; }
  // The charset parameter of the part's Content-Type, raw; empty when it has none.
  const std::string& Charset() const { return charset_; }
  // The content with the transfer encoding removed.
  std::string Text() const;
  std::vector<std::string> Lines() const;
  // The file name as the MIME layer reads it (RFC 2047 and RFC 2231 forms decoded), in
  // code page 932; empty when the part names none.
  const std::string& FileName() const { return file_name_; }
  // The file name parameter (Content-Disposition's filename, else Content-Type's name) as the
  // MIME layer parsed it, for the header decoder: an RFC 2231 value decoded from its charset
  // (utf8 set), else the raw text of the value between its quotes, encoded words and all.
  // An RFC 2231 value read from the raw header instead (extended set): its bytes with the
  // percent escapes undone, in `charset` (empty when it names none).
  struct FileNameParameter {
    std::string text;
    bool utf8 = false;
    bool extended = false;
    std::string charset;
  };
  FileNameParameter FileNameParam() const;
  // Writes the decoded content to path (replacing a file there; a new file is private, 0600).
  // Throws FileWriteError.
  void WriteDecodedContent(const std::filesystem::path& path) const;

 private:
  Kind kind_;
  GObjectRef<GMimeObject> object_;
  std::vector<std::string> header_lines_;
  std::string charset_;
  std::string file_name_;
};

// The largest message taken, from a server or from a file the user chose: beyond it a message
// is refused with a message rather than read into memory.
inline constexpr long long kMaxMessageBytes = 1LL << 30;

class ParsedMessage {
 public:
  ParsedMessage();
  ~ParsedMessage();
  ParsedMessage(const ParsedMessage&) = delete;
  ParsedMessage& operator=(const ParsedMessage&) = delete;

  void Clear();

  // Parse message text (as on the wire after dot-unstuffing, or as in a file).
  void Parse(std::string_view bytes);
  // Parse a message file. Throws ProtocolError when the file cannot be read.
  void ParseFile(const std::filesystem::path& path);
  // Filled piece by piece (the POP3 client), parsed at EndRaw; `reserve` bytes are set aside
  // at once when the size is known.
  void BeginRaw(size_t reserve = 0);
  void AppendRaw(std::string_view bytes);
  void EndRaw();
  // The header alone (as TOP n 0 gives it): its lines are kept, the MIME structure is not
  // parsed, so there are no parts and no body. Much cheaper, for listing many headers.
  void ParseHeaderOnly(std::string_view bytes);

  // The whole message as it was parsed. A single-part message whose body had to be decoded
  // (base64, quoted-printable) lets them go once its body is decoded, so a huge message is not
  // held twice: they are then empty, and RawSize still tells their size.
  std::string_view RawBytes() const;
  size_t RawSize() const;
  // The bytes exactly as they were given (as the server sent them after dot-unstuffing, or as
  // the file held them), before any repair of line ends or headers; kept while the message is.
  std::string_view OriginalBytes() const;
  // Stands for the original bytes when the message was parsed from another form of them.
  void SetOriginalBytes(std::string_view bytes);

  // Header lines as received, up to the empty line that ends the header.
  const std::vector<std::string>& HeaderLines() const { return header_lines_; }
  // Value of the first header of that name (any letter case), folded lines joined, raw;
  // empty when missing.
  std::string HeaderValue(std::string_view name) const;
  bool HasHeader(std::string_view name) const;

  // Without line breaks, TABs or other control characters; empty when missing.
  std::string MessageId() const;
  // For a message without Message-ID parsed whole: 32 lower-case hex digits that differ for
  // any two messages whose bytes differ and stay the same for the same message read again,
  // whatever its line ends (CR LF on the wire, LF in a file) and trailing blank lines. Empty
  // for a message with a Message-ID and for a header parsed alone.
  const std::string& ContentDigest() const { return content_digest_; }
  std::time_t Date() const;        // seconds since the epoch; 0 when missing or unreadable
  MessagePriority Priority() const;
  std::string Charset() const;     // charset parameter of the top-level Content-Type
  std::string References() const;
  std::vector<MailAddress> ReplyTo() const;
  std::vector<MailAddress> Cc() const;

  // Single-part message: its body, transfer encoding removed (for a multipart message, the
  // text before the first part).
  std::string_view BodyText() const;
  std::vector<std::string> BodyLines() const;

  // Multipart message (or a lone attachment): the leaf parts in message order.
  bool HasParts() const { return !parts_.empty(); }
  const std::vector<MessagePart>& Parts() const { return parts_; }

 private:
  struct ByteArrayUnref {
    void operator()(GByteArray* bytes) const;
  };
  void ParseBuffer();
  void NormaliseBareCarriageReturns();
  void ComputeContentDigest();
  void ReleaseRawBytes(GMimeObject* top);

  std::unique_ptr<GByteArray, ByteArrayUnref> raw_;  // the bytes while they are being filled in
  // The bytes as given, once parsing changed or let go of the ones it reads; null while they
  // are the same.
  std::unique_ptr<GByteArray, ByteArrayUnref> original_;
  GObjectRef<GMimeStream> stream_;  // owns them once parsed; parts keep windows onto it
  GObjectRef<GMimeObject> message_;
  std::vector<std::string> header_lines_;
  std::string body_;  // the text before the first part of a multipart message
  std::unique_ptr<GByteArray, ByteArrayUnref> decoded_body_;  // a body whose transfer encoding was undone
  // The body when it lies in the received bytes as it is (no transfer encoding): a window onto
  // them, so a huge message is not held twice. Offset and length.
  std::optional<std::pair<size_t, size_t>> body_in_raw_;
  size_t raw_size_ = 0;  // the size of received bytes let go
  std::string content_digest_;
  std::vector<MessagePart> parts_;
};

}  // namespace plumex
