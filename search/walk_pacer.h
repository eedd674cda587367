// Lets pending window messages run during a long loop often enough that the window keeps
// answering and a stop command is seen quickly, but not after every item of a loop whose
// items cost microseconds. Every time it pumps it shows the progress too.
#pragma once

#include <chrono>

#include "port/ui_port.h"

namespace plumex {

class WalkPacer {
 public:
  // interval 0: pump before every item (what the tests use, so a stop lands on a chosen item).
  WalkPacer(UiPort& ui, const bool& stop_requested, std::chrono::milliseconds interval)
      : ui_(ui), stop_(stop_requested), interval_(interval) {}

  // Before an item: pumps when due; true when the loop is to end.
  bool Stop(int position, int maximum) {
    auto now = std::chrono::steady_clock::now();
    if (interval_.count() == 0 || first_ || now - last_ >= interval_) {
      first_ = false;
      last_ = now;
      if (maximum > 0) ui_.SetProgress(position < maximum ? position : maximum, maximum);
      ui_.Pump();
    }
    return stop_;
  }

 private:
  UiPort& ui_;
  const bool& stop_;
  std::chrono::milliseconds interval_;
  std::chrono::steady_clock::time_point last_{};
  bool first_ = true;
};

// How often the window's loops let it breathe: well under the 100 ms in which Escape is to
// take effect.
inline constexpr std::chrono::milliseconds kPumpInterval{15};

}  // namespace plumex
