// The dialogue of a connection, for support: the last lines each side sent, with every
// password, AUTH argument and token replaced by "****" before it is kept. The trace of the
// connection that ended last is kept for the window's "詳細" under a failure, and every line
// can also go to a debug sink as it happens (plumex-cli --debug).
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <string_view>

namespace plumex {

inline constexpr std::string_view kMaskedSecret = "****";

class ProtocolTrace {
 public:
  // A line the client sent ('C'), the server sent ('S'), or a note of our own ('*') such as a
  // connect or a TLS upgrade. The line must already be masked.
  void Add(char who, std::string_view line);
  // The kept lines, CR LF between them.
  std::string Text() const;
  void Clear() { lines_.clear(); }
  bool empty() const { return lines_.empty(); }

  static constexpr size_t kMaxLines = 40;
  static constexpr size_t kMaxLineBytes = 300;

 private:
  std::deque<std::string> lines_;
};

// Where every traced line goes as well (already masked); nullptr: nowhere.
void SetProtocolDebugSink(std::function<void(const std::string&)> sink);
void WriteProtocolDebug(const std::string& line);

// The trace of the connection that ended last (empty when none did yet).
void KeepLastConnectionTrace(const ProtocolTrace& trace);
std::string LastConnectionTrace();

}  // namespace plumex
