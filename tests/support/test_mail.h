// Small plain messages the tests put on their servers, one per number.
#pragma once

#include <string>

namespace plumex::test {

// Message n: Message-ID "<m" + n + "@x>" (or another prefix), From a@x, the subject given, a
// date in 2009 whose seconds end in n, and the body on one line.
inline std::string NumberedMail(int n, const std::string& subject, const std::string& body = "body",
                                const std::string& id_prefix = "m") {
  const std::string k = std::to_string(n);
  return "Message-ID: <" + id_prefix + k + "@x>\r\nFrom: a@x\r\nSubject: " + subject +
         "\r\nDate: Tue, 08 Sep 2009 12:34:5" + k + " +0900\r\n\r\n" + body + "\r\n";
}

}  // namespace plumex::test
