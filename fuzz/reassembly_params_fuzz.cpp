// The piece parameters of a split message (Content-Type id, number, total; the subject's
// "[n/m]" tail) read from arbitrary header bytes, and arbitrary pieces joined: no crash, and a
// piece number is never below 1.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "protocol/parsed_message.h"
#include "receive/reassembly.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace plumex;
  const std::string text(reinterpret_cast<const char*>(data), size);
  ParsedMessage header;
  header.ParseHeaderOnly(text);
  const std::string subject = header.HeaderValue("Subject");
  if (auto piece = PieceOf(header, subject); piece && (piece->number < 1 || piece->total < 0)) std::abort();
  std::vector<std::string> pieces;
  for (size_t at = 0; at < text.size(); at += 97) pieces.push_back(text.substr(at, 97));
  JoinPieces(pieces);
  return 0;
}
