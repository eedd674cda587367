#include "shell/run_gate.h"

namespace plumex {

RunGate::Run::Run(RunGate* gate, RunKind kind) : gate_(gate), kind_(kind), stop_(std::make_shared<bool>(false)) {}

RunGate::Run::Run(Run&& other) noexcept : gate_(other.gate_), kind_(other.kind_), stop_(other.stop_) {
  other.gate_ = nullptr;
  if (gate_ && gate_->current_ == &other) gate_->current_ = this;
}

RunGate::Run::~Run() {
  if (!gate_ || gate_->current_ != this) return;
  gate_->current_ = nullptr;
  if (gate_->on_change) gate_->on_change(false);
}

std::function<bool()> RunGate::Run::StopCheck() const {
  return [stop = stop_] { return *stop; };
}

std::optional<RunGate::Run> RunGate::TryEnter(RunKind kind) {
  if (current_) return std::nullopt;
  std::optional<Run> run;
  run.emplace(Run(this, kind));
  current_ = &*run;
  if (on_change) on_change(true);
  return run;
}

std::optional<RunKind> RunGate::CurrentKind() const {
  if (!current_) return std::nullopt;
  return current_->kind_;
}

bool RunGate::StopRun(std::optional<RunKind> kind) {
  if (!current_ || (kind && current_->kind_ != *kind)) return false;
  *current_->stop_ = true;
  return true;
}

}  // namespace plumex
