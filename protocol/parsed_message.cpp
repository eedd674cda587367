#include "protocol/parsed_message.h"

#include <fcntl.h>
#include <gmime/gmime.h>

#include <mutex>

#include "platform/ascii_case.h"
#include "platform/code_page.h"
#include "platform/text_file.h"
#include "protocol/gmime_init.h"
#include "protocol/mail_date.h"
#include "protocol/protocol_error.h"
#include "protocol/protocol_texts.h"

namespace plumex {

void EnsureGMime() {
  static std::once_flag once;
  std::call_once(once, [] { g_mime_init(); });
}

namespace {

std::string Trim(std::string_view s) {
  const size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string_view::npos) return {};
  const size_t e = s.find_last_not_of(" \t\r\n");
  return std::string(s.substr(b, e - b + 1));
}

// Lines of a header block as GMime keeps it: "Name:" + raw value, folds as their own lines.
std::vector<std::string> HeaderListLines(GMimeObject* object) {
  std::vector<std::string> lines;
  GMimeHeaderList* list = g_mime_object_get_header_list(object);
  if (!list) return lines;
  const int count = g_mime_header_list_get_count(list);
  for (int i = 0; i < count; ++i) {
    GMimeHeader* h = g_mime_header_list_get_header_at(list, i);
    const char* name = g_mime_header_get_name(h);
    const char* raw = g_mime_header_get_raw_value(h);
    std::string text = std::string(name ? name : "") + ":" + (raw ? raw : "");
    std::vector<std::string> split = SplitLines(text);
    lines.insert(lines.end(), split.begin(), split.end());
  }
  return lines;
}

// Writes the decoded content of a leaf part (or the whole of an attached message) to out;
// a negative result when writing failed.
ssize_t WriteContent(GMimeObject* object, GMimeStream* out) {
  if (GMIME_IS_PART(object)) {
    GMimeDataWrapper* content = g_mime_part_get_content(GMIME_PART(object));
    if (content) return g_mime_data_wrapper_write_to_stream(content, out);
  } else if (GMIME_IS_MESSAGE_PART(object)) {
    GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
    if (inner) return g_mime_object_write_to_stream(GMIME_OBJECT(inner), nullptr, out);
  }
  return 0;
}

std::string DecodedContent(GMimeObject* object) {
  const auto out = GObjectRef<GMimeStream>::Adopt(g_mime_stream_mem_new());
  WriteContent(object, out.get());
  GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
  return std::string(reinterpret_cast<const char*>(bytes->data), bytes->len);
}

std::string FileNameOf(GMimeObject* object) {
  const char* name = nullptr;
  if (GMIME_IS_PART(object)) {
    name = g_mime_part_get_filename(GMIME_PART(object));
  } else {
    name = g_mime_object_get_content_disposition_parameter(object, "filename");
    if (!name) name = g_mime_object_get_content_type_parameter(object, "name");
  }
  return name ? Utf8ToCp932(name) : std::string();
}

bool IsAttachmentDisposition(GMimeObject* object) {
  GMimeContentDisposition* d = g_mime_object_get_content_disposition(object);
  return d && g_mime_content_disposition_is_attachment(d);
}

bool IsTextType(GMimeObject* object) {
  GMimeContentType* ct = g_mime_object_get_content_type(object);
  return ct && g_mime_content_type_is_type(ct, "text", "*");
}

void Flatten(GMimeObject* object, std::vector<MessagePart>& parts, int depth) {
  if (depth > 64) return;  // nothing real nests this deep
  if (GMIME_IS_MULTIPART(object)) {
    GMimeMultipart* mp = GMIME_MULTIPART(object);
    const int count = g_mime_multipart_get_count(mp);
    for (int i = 0; i < count; ++i) Flatten(g_mime_multipart_get_part(mp, i), parts, depth + 1);
    return;
  }
  const bool text = GMIME_IS_PART(object) && IsTextType(object) && !IsAttachmentDisposition(object) &&
                    FileNameOf(object).empty();
  parts.emplace_back(text ? MessagePart::Kind::Text : MessagePart::Kind::Attachment, object);
}

}  // namespace

// ---- MessagePart ----

MessagePart::MessagePart(Kind kind, GMimeObject* object)
    : kind_(kind), object_(GObjectRef<GMimeObject>::Share(object)) {
  header_lines_ = HeaderListLines(object);
  if (const char* cs = g_mime_object_get_content_type_parameter(object, "charset")) charset_ = cs;
  file_name_ = FileNameOf(object);
}

std::string MessagePart::Text() const { return DecodedContent(object_.get()); }

std::vector<std::string> MessagePart::Lines() const { return SplitLines(Text()); }

void MessagePart::WriteDecodedContent(const std::filesystem::path& path) const {
  GError* error = nullptr;
  const auto out = GObjectRef<GMimeStream>::Adopt(
      g_mime_stream_fs_open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644, &error));
  const int error_number = errno;
  if (error) g_error_free(error);
  if (!out) throw FileWriteError(CannotWriteFileText(path), error_number);
  const ssize_t written = WriteContent(object_.get(), out.get());
  const int flushed = g_mime_stream_flush(out.get());
  const int closed = g_mime_stream_close(out.get());
  if (written < 0 || flushed != 0 || closed != 0) throw FileWriteError(CannotWriteFileText(path));
}

// ---- ParsedMessage ----

ParsedMessage::ParsedMessage() { EnsureGMime(); }

ParsedMessage::~ParsedMessage() { Clear(); }

void ParsedMessage::ByteArrayUnref::operator()(GByteArray* bytes) const { g_byte_array_unref(bytes); }

void ParsedMessage::Clear() {
  parts_.clear();
  message_.reset();
  stream_.reset();
  raw_.reset();
  header_lines_.clear();
  body_.clear();
}

void ParsedMessage::BeginRaw(size_t reserve) {
  Clear();
  raw_.reset(reserve > 0 && reserve < G_MAXUINT ? g_byte_array_sized_new(static_cast<guint>(reserve)) : g_byte_array_new());
}

void ParsedMessage::AppendRaw(std::string_view bytes) {
  if (!raw_) raw_.reset(g_byte_array_new());
  g_byte_array_append(raw_.get(), reinterpret_cast<const guint8*>(bytes.data()), static_cast<guint>(bytes.size()));
}

void ParsedMessage::EndRaw() {
  if (!raw_) raw_.reset(g_byte_array_new());
  ParseBuffer();
}

void ParsedMessage::Parse(std::string_view bytes) {
  BeginRaw();
  AppendRaw(bytes);
  EndRaw();
}

void ParsedMessage::ParseFile(const std::filesystem::path& path) {
  Clear();
  gchar* data = nullptr;
  gsize size = 0;
  GError* error = nullptr;
  if (!g_file_get_contents(path.c_str(), &data, &size, &error)) {
    if (error) g_error_free(error);
    throw ProtocolError(CannotReadFileText(path), ErrorKind::LocalFile);
  }
  raw_.reset(g_byte_array_new_take(reinterpret_cast<guint8*>(data), size));
  ParseBuffer();
}

std::string_view ParsedMessage::RawBytes() const {
  const GByteArray* bytes = stream_ ? g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream_.get())) : raw_.get();
  if (!bytes) return {};
  return std::string_view(reinterpret_cast<const char*>(bytes->data), bytes->len);
}

void ParsedMessage::ParseBuffer() {
  const std::string_view raw = RawBytes();
  // Header lines straight from the bytes, so they are exactly as received.
  size_t pos = 0;
  while (pos < raw.size()) {
    size_t nl = raw.find('\n', pos);
    const size_t next = nl == std::string_view::npos ? raw.size() : nl + 1;
    size_t end = nl == std::string_view::npos ? raw.size() : nl;
    if (end > pos && raw[end - 1] == '\r') --end;
    if (end == pos) break;
    header_lines_.emplace_back(raw.substr(pos, end - pos));
    pos = next;
  }

  // The stream takes the buffer over; the parser keeps parts as windows onto it, so a large
  // attachment is neither copied nor decoded until it is written out, and a part handed out
  // keeps the bytes alive after this message is cleared.
  stream_ = GObjectRef<GMimeStream>::Adopt(g_mime_stream_mem_new_with_byte_array(raw_.release()));
  const auto parser = GObjectRef<GMimeParser>::Adopt(g_mime_parser_new_with_stream(stream_.get()));
  g_mime_parser_set_persist_stream(parser.get(), TRUE);
  GMimeMessage* message = g_mime_parser_construct_message(parser.get(), nullptr);
  if (!message) return;
  message_ = GObjectRef<GMimeObject>::Adopt(GMIME_OBJECT(message));

  GMimeObject* top = g_mime_message_get_mime_part(message);
  if (!top) return;
  if (GMIME_IS_MULTIPART(top)) {
    if (const char* prolog = g_mime_multipart_get_prologue(GMIME_MULTIPART(top))) body_ = prolog;
    Flatten(top, parts_, 0);
  } else if (GMIME_IS_PART(top) && !GMIME_IS_MESSAGE_PARTIAL(top) &&
             (IsAttachmentDisposition(top) || !FileNameOf(top).empty())) {
    // A message that is one attached file and nothing else.
    parts_.emplace_back(MessagePart::Kind::Attachment, top);
  } else {
    body_ = DecodedContent(top);
  }
}

std::string ParsedMessage::HeaderValue(std::string_view name) const {
  for (size_t i = 0; i < header_lines_.size(); ++i) {
    const std::string& line = header_lines_[i];
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string_view key(line.data(), colon);
    while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.remove_suffix(1);
    if (!EqualIgnoringCase(key, name)) continue;
    std::string value = line.substr(colon + 1);
    for (size_t j = i + 1; j < header_lines_.size(); ++j) {
      const std::string& more = header_lines_[j];
      if (more.empty() || (more[0] != ' ' && more[0] != '\t')) break;
      value += more;  // unfolding removes only the line break
    }
    const size_t b = value.find_first_not_of(" \t");
    return b == std::string::npos ? std::string() : value.substr(b);
  }
  return {};
}

bool ParsedMessage::HasHeader(std::string_view name) const {
  for (const std::string& line : header_lines_) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string_view key(line.data(), colon);
    while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.remove_suffix(1);
    if (EqualIgnoringCase(key, name)) return true;
  }
  return false;
}

std::string ParsedMessage::MessageId() const {
  // The id keys an index row, a line of the fetched list and a file name: a CR would split the
  // row (the message fetched again at every run), a TAB from folding shift its fields. Folds
  // are joined and every control character goes.
  std::string id = Trim(HeaderValue("Message-ID"));
  std::erase_if(id, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
  return id;
}

std::time_t ParsedMessage::Date() const { return ParseMailDate(HeaderValue("Date")); }

MessagePriority ParsedMessage::Priority() const {
  const std::string x = Trim(HeaderValue("X-Priority"));
  if (!x.empty() && x[0] >= '1' && x[0] <= '5') {
    static const MessagePriority kByDigit[] = {MessagePriority::Highest, MessagePriority::High,
                                               MessagePriority::Normal, MessagePriority::Low,
                                               MessagePriority::Lowest};
    return kByDigit[x[0] - '1'];
  }
  for (const char* name : {"Importance", "X-MSMail-Priority"}) {
    const std::string v = AsciiLower(Trim(HeaderValue(name)));
    if (v == "high") return MessagePriority::High;
    if (v == "low") return MessagePriority::Low;
  }
  return MessagePriority::Normal;
}

std::string ParsedMessage::Charset() const {
  if (!message_) return {};
  GMimeObject* top = g_mime_message_get_mime_part(GMIME_MESSAGE(message_.get()));
  if (!top) return {};
  const char* cs = g_mime_object_get_content_type_parameter(top, "charset");
  return cs ? cs : std::string();
}

std::string ParsedMessage::References() const { return Trim(HeaderValue("References")); }

std::vector<MailAddress> ParsedMessage::ReplyTo() const { return ParseAddressList(HeaderValue("Reply-To")); }

std::vector<MailAddress> ParsedMessage::Cc() const { return ParseAddressList(HeaderValue("Cc")); }

std::vector<std::string> ParsedMessage::BodyLines() const { return SplitLines(body_); }

}  // namespace plumex
