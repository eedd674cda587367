#include "platform/store_path.h"

#include "text/code_page.h"

namespace plumex {
namespace {

constexpr char32_t kEscapeBase = 0xF700;

void AppendEscaped(unsigned char byte, std::string& out) { AppendUtf8(kEscapeBase + byte, out); }

bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

}  // namespace

std::vector<std::string> SplitStorePath(std::string_view path) {
  std::vector<std::string> parts;
  std::string current;
  for (size_t i = 0; i < path.size(); ++i) {
    auto b = static_cast<unsigned char>(path[i]);
    if (IsCp932LeadByte(b) && i + 1 < path.size()) {
      current += path[i];
      current += path[i + 1];
      ++i;
    } else if (b == '\\') {
      if (!current.empty()) parts.push_back(std::move(current));
      current.clear();
    } else {
      current += path[i];
    }
  }
  if (!current.empty()) parts.push_back(std::move(current));
  return parts;
}

std::string NativeName(std::string_view name) {
  std::string out;
  if (name == "." || name == "..") {
    for (char c : name) AppendEscaped(static_cast<unsigned char>(c), out);
    return out;
  }
  for (size_t i = 0; i < name.size(); ++i) {
    auto b = static_cast<unsigned char>(name[i]);
    if (b == '/' || b == 0) {
      AppendEscaped(b, out);
    } else if (b < 0x80) {
      out += static_cast<char>(b);
    } else if (IsCp932LeadByte(b) && i + 1 < name.size() && IsTrailByte(static_cast<unsigned char>(name[i + 1]))) {
      std::u32string decoded;
      DecodeToUnicode("CP932", name.substr(i, 2), decoded);
      if (decoded.size() == 1 && decoded[0] != 0xFFFD) {
        AppendUtf8(decoded[0], out);
      } else {
        AppendEscaped(b, out);
        AppendEscaped(static_cast<unsigned char>(name[i + 1]), out);
      }
      ++i;
    } else if (b >= 0xA1 && b <= 0xDF) {
      AppendUtf8(0xFF61 + (b - 0xA1), out);  // half-width katakana
    } else {
      AppendEscaped(b, out);
    }
  }
  return out;
}

std::string StoreName(std::string_view native) {
  std::u32string text = DecodeUtf8(native);
  std::string out;
  std::u32string run;  // ordinary characters, converted together
  auto flush = [&] {
    if (run.empty()) return;
    std::string bytes;
    EncodeFromUnicode("CP932", run, bytes, "?");
    out += bytes;
    run.clear();
  };
  for (char32_t c : text) {
    if (c >= kEscapeBase && c <= kEscapeBase + 0xFF) {
      flush();
      out += static_cast<char>(c - kEscapeBase);
    } else {
      run += c;
    }
  }
  flush();
  return out;
}

std::filesystem::path ToNativePath(const std::filesystem::path& mail_root, std::string_view store_path) {
  std::filesystem::path p = mail_root;
  for (const auto& part : SplitStorePath(store_path)) p /= NativeName(part);
  return p;
}

std::string DisplayPath(const std::filesystem::path& path) { return StoreName(path.string()); }

std::string PathText(const std::filesystem::path& path) {
  const std::string native = path.string();
  std::string out;
  size_t start = 0;
  while (true) {
    size_t slash = native.find('/', start);
    out += StoreName(std::string_view(native).substr(start, slash == std::string::npos ? slash : slash - start));
    if (slash == std::string::npos) return out;
    out += '/';
    start = slash + 1;
  }
}

std::filesystem::path PathFromText(std::string_view text) {
  std::string out;
  size_t start = 0;
  while (true) {
    size_t slash = text.find('/', start);
    std::string_view part = text.substr(start, slash == std::string_view::npos ? slash : slash - start);
    out += part == "." || part == ".." ? std::string(part) : NativeName(part);
    if (slash == std::string_view::npos) return out;
    out += '/';
    start = slash + 1;
  }
}

}  // namespace plumex
