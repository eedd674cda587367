// Address capture from mail: a display name and an address out of a sender text or a
// selection, and the address written in a line of the viewer.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

struct NameAndAddress {
  std::string name;
  std::string address;
};

// Text with a "<": the name is what stands before it, blanks and control characters trimmed
// and one double quote taken off each end; the address is what stands between it and the next
// ">" (a comment after the ">" is no part of the address), not trimmed. Text without "<": no
// name, the whole text as the address.
NameAndAddress SplitSender(std::string_view text);

// The address around the first "@" of a line (code page 932), read by whole characters: the run
// of characters an address may hold (ASCII but blanks, control characters, the double quote and
// # $ % & ' ( ) : < > [ \ ] ~; half-width katakana), with any "," or "." that ends a sentence
// taken off its end. Empty when the line holds no "@".
std::string AddressInLine(std::string_view line);

}  // namespace plumex
