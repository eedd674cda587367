// Delayed sending: messages whose delay is not zero wait in the send queue until their time;
// the main window's one-minute timer sends what is due. A message that fails stays queued and
// is tried at every tick, without holding back the others, and is told once.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "send/send_queue.h"
#include "settings/send_rule_list.h"
#include "shell/main_shell.h"

namespace plumex {

class DelayedSendCommands {
 public:
  DelayedSendCommands(MainShell& shell, const SendRuleList& send_rules);

  SendQueue& Queue() { return queue_; }
  // How a due message goes out; SendMail through the account's server unless a test sets it.
  void SetSender(SendQueue::Sender sender) { sender_ = std::move(sender); }

  // Queues a message (the compose window's "メール送信" with a delay) and says when it goes.
  QueueEntry Enqueue(const SendRequest& request, const std::string& delay_text, long long minutes);
  // A tick of the timer (and "queue run"): sends what is due.
  QueueTickResult Tick();
  // "時差送信解除": true when the queue was cancelled.
  bool CancelAll();
  // Failures not yet shown in a message box, each told once; taken when the window shows.
  std::vector<std::string> TakeUntold();

 private:
  void Sent(const SendResult& result);

  MainShell& shell_;
  const SendRuleList& send_rules_;
  SendQueue queue_;
  SendQueue::Sender sender_;
  bool running_ = false;
  std::set<std::string> told_;  // entry folders whose failure was told
  std::vector<std::string> untold_;
};

// The delay box's text read as minutes; 0 (send at once) for anything but a positive number.
long long DelayMinutes(const std::string& text);

}  // namespace plumex
