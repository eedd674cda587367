// One command that pumps the window at a time. Receiving, sending, the server listing and
// deleting, the new-mail tick, forwarding, the queue tick, import, rule application, the
// search walk and maintenance all let pending window events run while they wait; without a
// gate a second one would start inside the first and both would write the same store. Each
// run has a stop of its own: "中止" ends the run going on and nothing after it.
#pragma once

#include <functional>
#include <memory>
#include <optional>

namespace plumex {

// What a run is, so that a stop meant for one kind ("終了" of the new-mail check) never ends
// a run of another.
enum class RunKind {
  Receive, Send, ServerDelete, NewCheck, Queue, Import, Rules, Search, Maintenance, OpenFiles
};

class RunGate {
 public:
  // The ticket of the run going on: the gate is free again when it is destroyed.
  class Run {
   public:
    Run(Run&& other) noexcept;
    Run& operator=(Run&&) = delete;
    ~Run();
    RunKind Kind() const { return kind_; }
    bool StopRequested() const { return *stop_; }
    // A check bound to this run's own stop; it stays valid after the run ended.
    std::function<bool()> StopCheck() const;
    // The flag itself, for loops that take one by reference.
    bool& StopFlag() const { return *stop_; }

   private:
    friend class RunGate;
    Run(RunGate* gate, RunKind kind);
    RunGate* gate_;
    RunKind kind_;
    std::shared_ptr<bool> stop_;
  };

  // A run of `kind`, or nothing when another run is going on.
  std::optional<Run> TryEnter(RunKind kind);
  bool Busy() const { return current_ != nullptr; }
  std::optional<RunKind> CurrentKind() const;
  // Stops the run going on (only when it is of `kind`, when one is given); true when one was.
  bool StopRun(std::optional<RunKind> kind = std::nullopt);
  // The stop of the run going on; false when none is.
  bool StopRequested() const { return current_ && *current_->stop_; }

  // Told when a run starts (true) and ends (false): the window greys what would start another.
  std::function<void(bool busy)> on_change;

 private:
  Run* current_ = nullptr;
};

}  // namespace plumex
