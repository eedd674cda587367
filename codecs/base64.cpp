#include "codecs/base64.h"

#include <array>

namespace plumex {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<unsigned char, 256> MakeValues() {
  std::array<unsigned char, 256> values{};
  for (auto& v : values) v = 64;
  for (unsigned i = 0; i < 64; ++i) values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<unsigned char>(i);
  return values;
}

constexpr std::array<unsigned char, 256> kValues = MakeValues();

}  // namespace

std::string Base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                       static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 0x3F];
    out += kAlphabet[(v >> 6) & 0x3F];
    out += kAlphabet[v & 0x3F];
  }
  const std::size_t rest = bytes.size() - i;
  if (rest > 0) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (rest == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 0x3F];
    out += rest == 2 ? kAlphabet[(v >> 6) & 0x3F] : '=';
    out += '=';
  }
  return out;
}

std::string Base64Decode(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4 * 3);
  for (std::size_t i = 0; i + 4 <= text.size(); i += 4) {
    const unsigned x1 = kValues[static_cast<unsigned char>(text[i])];
    const unsigned x2 = kValues[static_cast<unsigned char>(text[i + 1])];
    const unsigned x3 = kValues[static_cast<unsigned char>(text[i + 2])];
    const unsigned x4 = kValues[static_cast<unsigned char>(text[i + 3])];
    const auto b1 = static_cast<unsigned char>(x1 * 4 + ((x2 & 0x30) >> 4));
    const auto b2 = static_cast<unsigned char>(((x2 & 0x0F) << 4) + ((x3 & 0x3C) >> 2));
    const auto b3 = static_cast<unsigned char>(((x3 & 0x03) << 6) + (x4 & 0x3F));
    out += static_cast<char>(b1);
    if (b2 != 0) out += static_cast<char>(b2);
    if (b3 != 0) out += static_cast<char>(b3);
  }
  return out;
}

}  // namespace plumex
