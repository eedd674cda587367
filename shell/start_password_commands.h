// "設定" → "起動時パスワード": "する" sets the password, "しない" removes it, and the start-up
// check asks for it before any mail is shown.
#pragma once

#include "shell/main_shell.h"

namespace plumex {

class StartPasswordCommands {
 public:
  explicit StartPasswordCommands(MainShell& shell) : shell_(shell) {}

  // "する": asks for a new password and stores it; the lock is on afterwards. A refused or
  // cancelled password changes nothing.
  void TurnOn();
  // "しない": after the question, removes Pass.dat; the lock is off afterwards (also when the
  // file was gone already).
  void TurnOff();
  // The start-up check: true when the program may go on. A wrong password is said and ends the
  // program, as does Cancel; a lock without a stored password is switched off (and said once).
  bool CheckAtStart();

 private:
  MainShell& shell_;
};

}  // namespace plumex
