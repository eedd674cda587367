#include "protocol/protocol_trace.h"

#include <algorithm>
#include <mutex>

namespace plumex {
namespace {

std::mutex& TraceMutex() {
  static std::mutex mutex;
  return mutex;
}

std::function<void(const std::string&)>& DebugSink() {
  static std::function<void(const std::string&)> sink;
  return sink;
}

std::string& LastTrace() {
  static std::string text;
  return text;
}

}  // namespace

void ProtocolTrace::Add(char who, std::string_view line) {
  std::string kept;
  kept.reserve(std::min(line.size(), kMaxLineBytes) + 3);
  kept += who;
  kept += ": ";
  // Control characters would garble a message box or a terminal.
  for (char c : line.substr(0, kMaxLineBytes)) kept += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? '.' : c;
  if (line.size() > kMaxLineBytes) kept += "...";
  WriteProtocolDebug(kept);
  lines_.push_back(std::move(kept));
  while (lines_.size() > kMaxLines) lines_.pop_front();
}

std::string ProtocolTrace::Text() const {
  std::string text;
  for (const std::string& line : lines_) {
    if (!text.empty()) text += "\r\n";
    text += line;
  }
  return text;
}

void SetProtocolDebugSink(std::function<void(const std::string&)> sink) {
  std::lock_guard<std::mutex> lock(TraceMutex());
  DebugSink() = std::move(sink);
}

void WriteProtocolDebug(const std::string& line) {
  std::lock_guard<std::mutex> lock(TraceMutex());
  if (DebugSink()) DebugSink()(line);
}

void KeepLastConnectionTrace(const ProtocolTrace& trace) {
  if (trace.empty()) return;
  std::lock_guard<std::mutex> lock(TraceMutex());
  LastTrace() = trace.Text();
}

std::string LastConnectionTrace() {
  std::lock_guard<std::mutex> lock(TraceMutex());
  return LastTrace();
}

}  // namespace plumex
