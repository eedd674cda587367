// A flag that is set for a scope and cleared when the scope ends, however it ends: "a command
// of this kind is running" while the command pumps the window.
#pragma once

namespace plumex {

class ScopedFlag {
 public:
  explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~ScopedFlag() { flag_ = false; }
  ScopedFlag(const ScopedFlag&) = delete;
  ScopedFlag& operator=(const ScopedFlag&) = delete;

 private:
  bool& flag_;
};

}  // namespace plumex
