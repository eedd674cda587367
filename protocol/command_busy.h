// What the POP3 and SMTP clients share about a command in progress: CommandBusy marks it, so
// that a Disconnect from the pump callback does not talk to the server in the middle of a
// reply and a second command begun meanwhile is refused; QuitAndClose ends a session.
#pragma once

#include "protocol/connection.h"
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

// Closes an open connection, saying QUIT (quit()) first unless a command waits for its reply:
// that one's read then fails at once. A QUIT the server does not answer changes nothing.
template <typename Quit>
void QuitAndClose(Connection& connection, bool& busy, Quit&& quit) {
  if (!connection.IsOpen()) return;
  if (!busy) {
    CommandBusy guard(busy);
    try {
      quit();
    } catch (const ProtocolError&) {
      // The connection goes anyway.
    }
  }
  connection.Close();
}

}  // namespace plumex
