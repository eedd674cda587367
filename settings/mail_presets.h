// Server settings of well-known mail providers, filled in when an address of their domain is
// typed (or Microsoft 365 is chosen); the user can change every field afterwards.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plumex {

struct MailPreset {
  std::string pop_host;  // empty: the provider has no POP3
  int pop_port = 995;
  bool pop_ssl = true;
  std::string smtp_host;
  int smtp_port = 465;
  bool smtp_ssl = true;
  std::string login_method;  // "" (password) or "oauth2"
  std::string provider;      // "microsoft", "google" or ""
  std::string notice;        // code page 932; what the user must know or do, or ""
};

// The preset for the domain of address (text after the last '@', any letter case).
std::optional<MailPreset> PresetForAddress(std::string_view address);
// Microsoft 365 (work or school accounts), chosen by the user: its domains are the company's.
MailPreset Microsoft365Preset();

}  // namespace plumex
