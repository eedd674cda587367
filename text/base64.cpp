#include "text/base64.h"

namespace plumex {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Value(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return 64;
}

}  // namespace

std::string Base64Encode(std::string_view bytes) {
  std::string out;
  AppendBase64(out, bytes);
  return out;
}

void AppendBase64(std::string& out, std::string_view bytes) {
  out.reserve(out.size() + (bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                 static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  size_t rest = bytes.size() - i;
  if (rest) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (rest == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
}

std::string Base64Decode(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4 * 3);
  for (size_t i = 0; i + 4 <= text.size(); i += 4) {
    int x1 = Value(text[i]), x2 = Value(text[i + 1]), x3 = Value(text[i + 2]), x4 = Value(text[i + 3]);
    auto b1 = static_cast<unsigned char>((x1 * 4) + ((x2 & 0x30) >> 4));
    auto b2 = static_cast<unsigned char>(((x2 & 0x0F) << 4) + ((x3 & 0x3C) >> 2));
    auto b3 = static_cast<unsigned char>(((x3 & 0x03) << 6) + (x4 & 0x3F));
    out += static_cast<char>(b1);
    if (b2) out += static_cast<char>(b2);
    if (b3) out += static_cast<char>(b3);
  }
  return out;
}

std::string Base64DecodeBytes(std::string_view text) {
  std::string out;
  unsigned buffer = 0;
  int bits = 0;
  for (unsigned char c : text) {
    int v = Value(c);
    if (v == 64) continue;
    buffer = (buffer << 6) | static_cast<unsigned>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((buffer >> bits) & 0xFF);
    }
  }
  return out;
}

}  // namespace plumex
