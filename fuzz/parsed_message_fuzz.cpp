// The parsed message object fed with arbitrary bytes: every accessor must cope.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "protocol/parsed_message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plumex::ParsedMessage m;
  m.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
  size_t sink = m.HeaderLines().size();
  sink += m.HeaderValue("Subject").size() + m.HeaderValue("From").size() + m.MessageId().size();
  sink += static_cast<size_t>(m.Date() & 1) + static_cast<size_t>(m.Priority());
  sink += m.Charset().size() + m.References().size();
  for (const auto& a : m.ReplyTo()) sink += a.Text().size();
  for (const auto& a : m.Cc()) sink += a.Text().size();
  sink += m.BodyLines().size();
  for (const auto& part : m.Parts()) {
    sink += part.HeaderLines().size() + part.Charset().size() + part.FileName().size();
    sink += part.FileNameParam().text.size();
    sink += part.Lines().size();
  }
  m.Clear();
  return sink == 0xFFFFFFFF ? 1 : 0;
}
