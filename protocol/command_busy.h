// Marks a command of a POP3 or SMTP client in progress, so that a Disconnect from the pump
// callback does not talk to the server in the middle of a reply, and a second command begun
// meanwhile is refused.
#pragma once

#include "protocol/protocol_error.h"
#include "protocol/protocol_texts.h"

namespace plumex {

class CommandBusy {
 public:
  explicit CommandBusy(bool& busy) : busy_(busy) {
    if (busy_) throw ProtocolError(BusyText(), ErrorKind::BadInput);
    busy_ = true;
  }
  ~CommandBusy() { busy_ = false; }
  CommandBusy(const CommandBusy&) = delete;
  CommandBusy& operator=(const CommandBusy&) = delete;

 private:
  bool& busy_;
};

}  // namespace plumex
