#include "protocol/parsed_message.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <gmime/gmime.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "text/ascii_case.h"
#include "text/code_page.h"
#include "platform/text_file.h"
#include "platform/unique_fd.h"
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

// The charset parameter of a Content-Type value read without the MIME layer (a header parsed
// alone): the value after "charset=", unquoted, up to ";" or a space.
std::string HeaderOnlyCharset(std::string_view content_type) {
  const size_t at = FindIgnoringCase(content_type, "charset=");
  if (at == std::string_view::npos) return {};
  std::string_view v = content_type.substr(at + 8);
  if (!v.empty() && v.front() == '"') {
    v.remove_prefix(1);
    return std::string(v.substr(0, v.find('"')));
  }
  return std::string(v.substr(0, v.find_first_of("; \t")));
}

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

// The decoded content of a part in a buffer of its own. Decoding never makes content longer,
// so room for the encoded bytes is made at once: a huge part is not moved while it grows.
GByteArray* DecodedContentBytes(GMimeObject* object) {
  gint64 room = 0;
  if (GMIME_IS_PART(object))
    if (GMimeDataWrapper* content = g_mime_part_get_content(GMIME_PART(object)))
      if (GMimeStream* source = g_mime_data_wrapper_get_stream(content)) room = g_mime_stream_length(source);
  GByteArray* bytes = room > 0 && room < G_MAXUINT ? g_byte_array_sized_new(static_cast<guint>(room)) : g_byte_array_new();
  const auto out = GObjectRef<GMimeStream>::Adopt(g_mime_stream_mem_new_with_byte_array(bytes));
  g_mime_stream_mem_set_owner(GMIME_STREAM_MEM(out.get()), FALSE);
  WriteContent(object, out.get());
  return bytes;
}

std::string DecodedContent(GMimeObject* object) {
  GByteArray* bytes = DecodedContentBytes(object);
  std::string text(reinterpret_cast<const char*>(bytes->data), bytes->len);
  g_byte_array_unref(bytes);
  return text;
}

// Where the content of a single part lies in the message's bytes when it needs no decoding
// (7bit, 8bit, binary or no transfer encoding): its decoded content is those very bytes.
std::optional<std::pair<size_t, size_t>> ContentSpan(GMimeObject* object, std::string_view raw) {
  if (!GMIME_IS_PART(object)) return std::nullopt;
  GMimeDataWrapper* content = g_mime_part_get_content(GMIME_PART(object));
  if (!content) return std::nullopt;
  switch (g_mime_data_wrapper_get_encoding(content)) {
    case GMIME_CONTENT_ENCODING_DEFAULT:
    case GMIME_CONTENT_ENCODING_7BIT:
    case GMIME_CONTENT_ENCODING_8BIT:
    case GMIME_CONTENT_ENCODING_BINARY:
      break;
    default:
      return std::nullopt;
  }
  GMimeStream* stream = g_mime_data_wrapper_get_stream(content);
  if (!stream || !GMIME_IS_STREAM_MEM(stream)) return std::nullopt;
  const GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream));
  if (!bytes || reinterpret_cast<const char*>(bytes->data) != raw.data()) return std::nullopt;
  const gint64 start = stream->bound_start;
  const gint64 end = stream->bound_end < 0 ? static_cast<gint64>(raw.size()) : stream->bound_end;
  if (start < 0 || start > end || end > static_cast<gint64>(raw.size())) return std::nullopt;
  return std::make_pair(static_cast<size_t>(start), static_cast<size_t>(end - start));
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

// The first header of that name (any letter case), raw; nullptr when there is none.
const char* FirstRawHeader(GMimeObject* object, const char* name) {
  GMimeHeaderList* list = g_mime_object_get_header_list(object);
  if (!list) return nullptr;
  const int count = g_mime_header_list_get_count(list);
  for (int i = 0; i < count; ++i) {
    GMimeHeader* h = g_mime_header_list_get_header_at(list, i);
    const char* header_name = g_mime_header_get_name(h);
    if (header_name && EqualIgnoringCase(header_name, name)) return g_mime_header_get_raw_value(h);
  }
  return nullptr;
}

bool IsContentTypeLine(std::string_view line) {
  if (!StartsWithIgnoringCase(line, 0, "Content-Type")) return false;
  size_t i = 12;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  return i < line.size() && line[i] == ':';
}

bool IsParamBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The raw text of parameter `name` in a raw Content-Type or Content-Disposition value: what
// stands between its quotes, or its bare token; empty when it is missing. A quoted value ends
// at the quote that a ";" or the end follows, so the second byte of a Shift_JIS character
// (0x5C, a backslash) never escapes it; backslash escapes are undone only in ASCII values.
template <typename Visit>
void ForEachRawParameter(std::string_view value, Visit visit) {
  const size_t n = value.size();
  size_t i = value.find(';');
  while (i != std::string_view::npos && i < n) {
    ++i;
    while (i < n && IsParamBlank(value[i])) ++i;
    const size_t name_begin = i;
    while (i < n && value[i] != '=' && value[i] != ';') ++i;
    std::string_view attribute = value.substr(name_begin, i - name_begin);
    while (!attribute.empty() && IsParamBlank(attribute.back())) attribute.remove_suffix(1);
    if (i >= n || value[i] == ';') continue;
    ++i;
    while (i < n && IsParamBlank(value[i])) ++i;
    std::string text;
    if (i < n && value[i] == '"') {
      const size_t begin = ++i;
      size_t end = n;
      for (size_t j = begin; j < n; ++j) {
        if (value[j] != '"') continue;
        size_t k = j + 1;
        while (k < n && IsParamBlank(value[k])) ++k;
        if (k >= n || value[k] == ';') {
          end = j;
          break;
        }
      }
      std::string_view quoted = value.substr(begin, end - begin);
      bool ascii = true;
      for (char c : quoted) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
      for (size_t j = 0; j < quoted.size(); ++j) {
        if (ascii && quoted[j] == '\\' && j + 1 < quoted.size()) ++j;
        if (quoted[j] != '\r' && quoted[j] != '\n') text += quoted[j];
      }
      i = end;
    } else {
      const size_t begin = i;
      while (i < n && value[i] != ';' && !IsParamBlank(value[i])) ++i;
      text = std::string(value.substr(begin, i - begin));
    }
    if (!visit(attribute, std::move(text))) return;
    i = value.find(';', i);
  }
}

std::string RawParameterValue(std::string_view value, std::string_view name) {
  std::string found;
  ForEachRawParameter(value, [&](std::string_view attribute, std::string text) {
    if (!EqualIgnoringCase(attribute, name)) return true;
    found = std::move(text);
    return false;
  });
  return found;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// An RFC 2231 parameter ("name*=cs'lang'%XX", "name*0*=...; name*1=...") read from the raw
// header: its charset and its bytes with the percent escapes undone, not yet converted, so
// the codecs read the charset the way they read it everywhere (Shift_JIS as code page 932).
// Nothing when the parameter is not in that form.
std::optional<std::pair<std::string, std::string>> RawExtendedParameter(std::string_view value, std::string_view name) {
  std::map<int, std::pair<bool, std::string>> segments;  // number: encoded, text
  ForEachRawParameter(value, [&](std::string_view attribute, std::string text) {
    if (attribute.size() <= name.size() || !EqualIgnoringCase(attribute.substr(0, name.size()), name) ||
        attribute[name.size()] != '*')
      return true;
    std::string_view rest = attribute.substr(name.size() + 1);
    bool encoded = false;
    int number = 0;
    if (rest.empty()) {
      encoded = true;
    } else {
      if (rest.back() == '*') {
        encoded = true;
        rest.remove_suffix(1);
      }
      if (rest.empty() || rest.size() > 3) return true;
      for (char c : rest) {
        if (c < '0' || c > '9') return true;
        number = number * 10 + (c - '0');
      }
    }
    segments.try_emplace(number, encoded, std::move(text));
    return true;
  });
  if (segments.empty() || segments.begin()->first != 0) return std::nullopt;
  std::string charset;
  std::string bytes;
  int expected = 0;
  for (auto& [number, segment] : segments) {
    if (number != expected++) break;
    std::string_view text = segment.second;
    if (number == 0 && segment.first) {
      const size_t q1 = text.find('\'');
      const size_t q2 = q1 == std::string_view::npos ? q1 : text.find('\'', q1 + 1);
      if (q2 != std::string_view::npos) {
        charset = std::string(text.substr(0, q1));
        text.remove_prefix(q2 + 1);
      }
    }
    bytes += segment.first ? PercentDecoded(text) : std::string(text);
  }
  return std::make_pair(std::move(charset), std::move(bytes));
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

MessagePart::FileNameParameter MessagePart::FileNameParam() const {
  GMimeObject* object = object_.get();
  GMimeContentDisposition* disposition = g_mime_object_get_content_disposition(object);
  GMimeContentType* type = g_mime_object_get_content_type(object);
  struct Place {
    const char* header;
    const char* parameter;
    GMimeParamList* list;
  };
  const Place places[] = {
      {"Content-Disposition", "filename", disposition ? g_mime_content_disposition_get_parameters(disposition) : nullptr},
      {"Content-Type", "name", type ? g_mime_content_type_get_parameters(type) : nullptr}};
  for (const Place& place : places) {
    GMimeParam* param = place.list ? g_mime_param_list_get_parameter(place.list, place.parameter) : nullptr;
    if (!param) continue;
    if (const char* raw = FirstRawHeader(object, place.header)) {
      if (g_mime_param_get_encoding_method(param) != GMIME_PARAM_ENCODING_METHOD_RFC2231) {
        std::string text = RawParameterValue(raw, place.parameter);
        if (!text.empty()) return {std::move(text), false};
      } else if (auto extended = RawExtendedParameter(raw, place.parameter); extended && !extended->second.empty()) {
        return {std::move(extended->second), false, true, std::move(extended->first)};
      }
    }
    const char* value = g_mime_param_get_value(param);
    if (value && *value) return {value, true};
  }
  return {};
}

std::vector<std::string> MessagePart::Lines() const { return SplitLines(Text()); }

void MessagePart::WriteDecodedContent(const std::filesystem::path& path) const {
  GError* error = nullptr;
  const auto out = GObjectRef<GMimeStream>::Adopt(
      g_mime_stream_fs_open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600, &error));
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
  original_.reset();
  header_lines_.clear();
  body_.clear();
  raw_size_ = 0;
  body_in_raw_.reset();
  decoded_body_.reset();
  content_digest_.clear();
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
  // Every failure names the file and the system's reason: a missing file, a folder, no
  // permission and a failing disk each call for something else from the person.
  auto unreadable = [&](int error_number) {
    return ProtocolError(CannotReadFileText(path, std::error_code(error_number, std::generic_category())),
                         ErrorKind::LocalFile);
  };
  // Not blocking: a pipe put in place of the file is refused below instead of waited on.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd) throw unreadable(errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) throw unreadable(errno);
  if (!S_ISREG(st.st_mode)) throw ProtocolError(NotAFileError(path).text(), ErrorKind::LocalFile);
  if (st.st_size > kMaxMessageBytes) throw ProtocolError(FileTooLargeText(path, kMaxMessageBytes), ErrorKind::LocalFile);
  raw_.reset(g_byte_array_sized_new(static_cast<guint>(st.st_size)));
  char chunk[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error_number = errno;
      raw_.reset();
      throw unreadable(error_number);
    }
    if (n == 0) break;
    if (static_cast<long long>(raw_->len) + n > kMaxMessageBytes) {
      raw_.reset();
      throw ProtocolError(FileTooLargeText(path, kMaxMessageBytes), ErrorKind::LocalFile);
    }
    g_byte_array_append(raw_.get(), reinterpret_cast<const guint8*>(chunk), static_cast<guint>(n));
  }
  ParseBuffer();
}

void ParsedMessage::ParseHeaderOnly(std::string_view bytes) {
  Clear();
  size_t pos = 0;
  while (pos < bytes.size()) {
    const size_t nl = bytes.find('\n', pos);
    const size_t next = nl == std::string_view::npos ? bytes.size() : nl + 1;
    size_t end = nl == std::string_view::npos ? bytes.size() : nl;
    if (end > pos && bytes[end - 1] == '\r') --end;
    if (end == pos) break;
    header_lines_.emplace_back(bytes.substr(pos, end - pos));
    pos = next;
  }
}

std::string_view ParsedMessage::RawBytes() const {
  const GByteArray* bytes = stream_ ? g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream_.get())) : raw_.get();
  if (!bytes) return {};
  return std::string_view(reinterpret_cast<const char*>(bytes->data), bytes->len);
}

void ParsedMessage::ParseBuffer() {
  NormaliseBareCarriageReturns();
  const std::string_view raw = RawBytes();
  // Header lines straight from the bytes, so they are exactly as received.
  size_t pos = 0;
  std::vector<size_t> content_types;  // where each Content-Type header starts
  while (pos < raw.size()) {
    size_t nl = raw.find('\n', pos);
    const size_t next = nl == std::string_view::npos ? raw.size() : nl + 1;
    size_t end = nl == std::string_view::npos ? raw.size() : nl;
    if (end > pos && raw[end - 1] == '\r') --end;
    if (end == pos) break;
    header_lines_.emplace_back(raw.substr(pos, end - pos));
    if (IsContentTypeLine(header_lines_.back())) content_types.push_back(pos);
    pos = next;
  }
  if (MessageId().empty()) ComputeContentDigest();
  // Two Content-Type headers: the first one counts, as most readers have it. The MIME layer
  // would take the last, so the later ones are renamed for it (the header lines above keep
  // them as received).
  if (raw_ && content_types.size() > 1 && !original_) {
    original_.reset(g_byte_array_sized_new(raw_->len));
    g_byte_array_append(original_.get(), raw_->data, raw_->len);
  }
  if (raw_)
    for (size_t k = 1; k < content_types.size(); ++k) std::memcpy(raw_->data + content_types[k], "X-Extra-Type", 12);

  // The stream takes the buffer over; the parser keeps parts as windows onto it, so a large
  // attachment is neither copied nor decoded until it is written out, and a part handed out
  // keeps the bytes alive after this message is cleared.
  stream_ = GObjectRef<GMimeStream>::Adopt(g_mime_stream_mem_new_with_byte_array(raw_.release()));
  const auto parser = GObjectRef<GMimeParser>::Adopt(g_mime_parser_new_with_stream(stream_.get()));
  g_mime_parser_set_persist_stream(parser.get(), TRUE);
  GMimeMessage* message = g_mime_parser_construct_message(parser.get(), nullptr);
  if (message) message_ = GObjectRef<GMimeObject>::Adopt(GMIME_OBJECT(message));
  GMimeHeaderList* headers = message ? g_mime_object_get_header_list(GMIME_OBJECT(message)) : nullptr;
  GMimeObject* top = message ? g_mime_message_get_mime_part(message) : nullptr;
  // A header of Content-* fields alone belongs to the top part, not to the message: such a
  // message is read like any other (its text decoded, its attachments saved).
  GMimeHeaderList* top_headers = top ? g_mime_object_get_header_list(top) : nullptr;
  if ((!headers || g_mime_header_list_get_count(headers) == 0) &&
      (!top_headers || g_mime_header_list_get_count(top_headers) == 0 || header_lines_.empty())) {
    // Nothing the MIME layer reads as a header: the message is its raw text, so it is never
    // filed empty.
    body_in_raw_.emplace(0, RawBytes().size());
    return;
  }

  if (!top) return;
  if (GMIME_IS_MULTIPART(top)) {
    if (const char* prolog = g_mime_multipart_get_prologue(GMIME_MULTIPART(top))) body_ = prolog;
    Flatten(top, parts_, 0);
  } else if (GMIME_IS_PART(top) && !GMIME_IS_MESSAGE_PARTIAL(top) &&
             (IsAttachmentDisposition(top) || !FileNameOf(top).empty())) {
    // A message that is one attached file and nothing else.
    parts_.emplace_back(MessagePart::Kind::Attachment, top);
  } else if (auto span = ContentSpan(top, RawBytes())) {
    body_in_raw_ = span;
  } else {
    decoded_body_.reset(DecodedContentBytes(top));
    ReleaseRawBytes(top);
  }
}

void ParsedMessage::ComputeContentDigest() {
  std::string_view raw = RawBytes();
  // Line ends and the blank lines at the end are not the message's own: a server, a file and
  // a mailbox hand the same message over with different ones.
  while (!raw.empty() && (raw.back() == '\n' || raw.back() == '\r')) raw.remove_suffix(1);
  const auto context = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) return;
  size_t pos = 0;
  while (pos < raw.size()) {
    const size_t nl = raw.find('\n', pos);
    size_t end = nl == std::string_view::npos ? raw.size() : nl;
    const size_t next = nl == std::string_view::npos ? raw.size() : nl + 1;
    if (end > pos && raw[end - 1] == '\r') --end;
    EVP_DigestUpdate(context.get(), raw.data() + pos, end - pos);
    if (nl != std::string_view::npos) EVP_DigestUpdate(context.get(), "\n", 1);
    pos = next;
  }
  unsigned char md[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), md, &length) != 1) return;
  static const char kHex[] = "0123456789abcdef";
  content_digest_.clear();
  for (unsigned int i = 0; i < 16 && i < length; ++i) {
    content_digest_ += kHex[md[i] >> 4];
    content_digest_ += kHex[md[i] & 15];
  }
}

void ParsedMessage::ReleaseRawBytes(GMimeObject* top) {
  if (!GMIME_IS_PART(top)) return;
  raw_size_ = RawBytes().size();
  // The part's content is a window onto the received bytes: it goes first, then the bytes.
  GMimeDataWrapper* empty = g_mime_data_wrapper_new();
  g_mime_part_set_content(GMIME_PART(top), empty);
  g_object_unref(empty);
  if (!original_) {
    // The received bytes stay as the original the store keeps beside the message.
    GMimeStreamMem* mem = GMIME_STREAM_MEM(stream_.get());
    original_.reset(g_mime_stream_mem_get_byte_array(mem));
    g_mime_stream_mem_set_owner(mem, FALSE);
  }
  stream_.reset();
}

void ParsedMessage::NormaliseBareCarriageReturns() {
  if (!raw_ || raw_->len == 0) return;
  const GByteArray* bytes = raw_.get();
  // Only a message whose lines end in CR alone (old Mac mailers; a server may add a last line
  // feed) is changed; a stray CR in a message of line feeds is a byte of its line.
  const char* const begin = reinterpret_cast<const char*>(bytes->data);
  const char* const end = begin + bytes->len;
  size_t bare = 0;
  for (const char* p = begin; (p = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(end - p))));) {
    ++p;
    if (p == end || *p != '\n') ++bare;
  }
  if (bare == 0 || bare <= static_cast<size_t>(std::count(begin, end, '\n'))) return;
  // Without this the whole message would be one header line.
  GByteArray* fixed = g_byte_array_sized_new(bytes->len + static_cast<guint>(bare));
  for (guint i = 0; i < bytes->len; ++i) {
    g_byte_array_append(fixed, &bytes->data[i], 1);
    if (bytes->data[i] == '\r' && (i + 1 >= bytes->len || bytes->data[i + 1] != '\n')) {
      static const guint8 kLf = '\n';
      g_byte_array_append(fixed, &kLf, 1);
    }
  }
  original_ = std::move(raw_);
  raw_.reset(fixed);
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
  if (!message_) return HeaderOnlyCharset(HeaderValue("Content-Type"));
  GMimeObject* top = g_mime_message_get_mime_part(GMIME_MESSAGE(message_.get()));
  if (!top) return {};
  const char* cs = g_mime_object_get_content_type_parameter(top, "charset");
  return cs ? cs : std::string();
}

std::string ParsedMessage::References() const { return Trim(HeaderValue("References")); }

std::vector<MailAddress> ParsedMessage::ReplyTo() const { return ParseAddressList(HeaderValue("Reply-To")); }

std::vector<MailAddress> ParsedMessage::Cc() const { return ParseAddressList(HeaderValue("Cc")); }

std::string_view ParsedMessage::OriginalBytes() const {
  if (!original_) return RawBytes();
  return std::string_view(reinterpret_cast<const char*>(original_->data), original_->len);
}

void ParsedMessage::SetOriginalBytes(std::string_view bytes) {
  original_.reset(g_byte_array_sized_new(static_cast<guint>(bytes.size())));
  g_byte_array_append(original_.get(), reinterpret_cast<const guint8*>(bytes.data()), static_cast<guint>(bytes.size()));
}

size_t ParsedMessage::RawSize() const { return stream_ || raw_ ? RawBytes().size() : raw_size_; }

std::string_view ParsedMessage::BodyText() const {
  if (body_in_raw_) return RawBytes().substr(body_in_raw_->first, body_in_raw_->second);
  if (decoded_body_) return std::string_view(reinterpret_cast<const char*>(decoded_body_->data), decoded_body_->len);
  return body_;
}

std::vector<std::string> ParsedMessage::BodyLines() const { return SplitLines(BodyText()); }

}  // namespace plumex
