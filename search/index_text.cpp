#include "search/index_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "text/code_page.h"
#include "platform/unique_fd.h"

namespace plumex {
namespace {

constexpr char32_t kNoCharacter = 0xFFFD;

bool IsLineEnd(unsigned char b) { return b == '\n' || b == '\r'; }

// Code points of the one- and two-byte CP932 characters, each found through the code page
// conversion itself (so the index and the rest of the program agree on every character) the
// first time it is met: a search converts only its key, so no table of every pair is built.
class Cp932Table {
 public:
  Cp932Table() {
    single_.fill(kNoCharacter);
    for (unsigned b = 0; b < 0x80; ++b) single_[b] = b;
    for (unsigned b = 0xA1; b <= 0xDF; ++b) single_[b] = One(std::string(1, static_cast<char>(b)));
    double_.fill(kUnknown);
  }
  char32_t Single(unsigned char b) const { return single_[b]; }
  char32_t Double(unsigned char lead, unsigned char trail) {
    char32_t& c = double_[lead << 8 | trail];
    if (c == kUnknown) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      c = trail < 0x40 || trail == 0x7F || trail > 0xFC ? kNoCharacter : One(std::string(pair, 2));
    }
    return c;
  }

 private:
  static constexpr char32_t kUnknown = 0xFFFFFFFF;
  static char32_t One(const std::string& cp932) {
    std::u32string points = DecodeUtf8(Cp932ToUtf8(cp932));
    return points.size() == 1 ? points[0] : kNoCharacter;
  }
  std::array<char32_t, 256> single_;
  std::array<char32_t, 65536> double_;
};

// One table per thread: filled as characters are met, never shared between threads.
Cp932Table& Table() {
  thread_local Cp932Table table;
  return table;
}

// Calls emit(code point) per character, cut as the matcher cuts: a lead byte takes the next
// byte unless that ends the line.
template <typename Emit>
void ForEachCharacter(std::string_view text, Emit emit) {
  Cp932Table& table = Table();
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    unsigned char b = in[i];
    if (IsLineEnd(b)) {
      emit(U'\n');
      ++i;
    } else if (IsCp932LeadByte(b) && i + 1 < n && !IsLineEnd(in[i + 1])) {
      emit(table.Double(b, in[i + 1]));
      i += 2;
    } else {
      // A NUL would end the text for the index: it is no character of mail either.
      emit(b == 0 ? kNoCharacter : table.Single(b));
      ++i;
    }
  }
}

}  // namespace

std::string IndexText(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size() + cp932.size() / 2);
  ForEachCharacter(cp932, [&](char32_t c) { AppendUtf8(c, out); });
  return out;
}

std::optional<std::vector<std::string>> KeyTrigrams(std::string_view cp932_key) {
  std::vector<std::string> characters;
  bool servable = true;
  ForEachCharacter(cp932_key, [&](char32_t c) {
    if (c == kNoCharacter || c == U'\n') servable = false;
    std::string one;
    AppendUtf8(c, one);
    characters.push_back(std::move(one));
  });
  if (!servable || characters.size() < 3) return std::nullopt;
  std::vector<std::string> trigrams;
  for (size_t i = 0; i + 3 <= characters.size(); ++i) {
    std::string t = characters[i] + characters[i + 1] + characters[i + 2];
    bool seen = false;
    for (const auto& u : trigrams) seen = seen || u == t;
    if (!seen) trigrams.push_back(std::move(t));
  }
  return trigrams;
}

std::string TrigramQuery(const std::vector<std::string>& trigrams) {
  std::string query;
  for (const std::string& t : trigrams) {
    if (!query.empty()) query += " AND ";
    query += '"';
    for (char c : t) {
      if (c == '"') query += '"';
      query += c;
    }
    query += '"';
  }
  return query;
}

bool ReadIndexedFile(const std::filesystem::path& file, std::string& text) {
  UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  if (!fd) return false;
  struct stat st;
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  text.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  while (got < text.size()) {
    ssize_t n = ::read(fd.get(), text.data() + got, text.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  text.resize(got);
  return true;
}

}  // namespace plumex
