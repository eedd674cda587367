#include "protocol/sasl.h"

#include "text/ascii_case.h"
#include "text/sjis_text.h"
#include "protocol/protocol_texts.h"

namespace plumex {

const char* MechanismName(SaslMechanism mechanism) {
  switch (mechanism) {
    case SaslMechanism::UserPass: return "USER";
    case SaslMechanism::Plain: return "PLAIN";
    case SaslMechanism::Login: return "LOGIN";
    case SaslMechanism::XOAuth2: return "XOAUTH2";
    case SaslMechanism::OAuthBearer: return "OAUTHBEARER";
  }
  return "";
}

std::vector<std::string> OfferedMechanisms(const std::vector<std::string>& capability_lines, std::string_view keyword) {
  std::vector<std::string> names;
  for (const std::string& line : capability_lines) {
    const std::string up = AsciiUpper(line);
    if (up.size() <= keyword.size() || up.compare(0, keyword.size(), keyword) != 0) continue;
    const char after = up[keyword.size()];
    if (after != ' ' && after != '=') continue;
    std::string word;
    for (size_t i = keyword.size() + 1; i <= up.size(); ++i) {
      if (i == up.size() || up[i] == ' ' || up[i] == '=') {
        if (!word.empty()) {
          bool known = false;
          for (const auto& n : names) known = known || n == word;
          if (!known) names.push_back(word);
        }
        word.clear();
      } else {
        word += up[i];
      }
    }
  }
  return names;
}

std::optional<SaslMechanism> ChooseMechanism(const std::vector<std::string>& offered, LoginMethod method, bool pop3,
                                             bool user_pass) {
  auto has = [&](const char* name) {
    for (const auto& o : offered)
      if (AsciiUpper(o) == name) return true;
    return false;
  };
  if (method == LoginMethod::OAuth2) {
    if (has("OAUTHBEARER")) return SaslMechanism::OAuthBearer;
    if (has("XOAUTH2")) return SaslMechanism::XOAuth2;
    return std::nullopt;
  }
  if (pop3) {
    if (user_pass) return SaslMechanism::UserPass;
    if (has("PLAIN")) return SaslMechanism::Plain;
    return std::nullopt;
  }
  if (has("LOGIN")) return SaslMechanism::Login;
  if (has("PLAIN")) return SaslMechanism::Plain;
  return std::nullopt;
}

std::string SaslInitialResponse(SaslMechanism mechanism, std::string_view user, std::string_view secret,
                                std::string_view host, int port) {
  std::string out;
  switch (mechanism) {
    case SaslMechanism::Plain:
      out += '\0';
      out += user;
      out += '\0';
      out += secret;
      break;
    case SaslMechanism::XOAuth2:
      out = "user=" + std::string(user) + "\x01" + "auth=Bearer " + std::string(secret) + "\x01\x01";
      break;
    case SaslMechanism::OAuthBearer: {
      // RFC 7628: the GS2 header names the user; commas and '=' in it are escaped.
      std::string name;
      for (char c : user) {
        if (c == ',') name += "=2C";
        else if (c == '=') name += "=3D";
        else name += c;
      }
      out = "n,a=" + name + ",\x01" + "host=" + std::string(host) + "\x01" + "port=" + std::to_string(port) + "\x01" +
            "auth=Bearer " + std::string(secret) + "\x01\x01";
      break;
    }
    case SaslMechanism::UserPass:
    case SaslMechanism::Login:
      break;
  }
  return out;
}

std::string NoMechanismText(LoginMethod method, const std::vector<std::string>& offered, const std::string& host,
                            int port) {
  std::string list;
  for (const auto& o : offered) list += (list.empty() ? "" : " ") + o;
  if (list.empty()) list = Sjis(texts::kNoMechanisms);
  const std::string_view wanted = method == LoginMethod::OAuth2 ? texts::kNoOAuth2Login : texts::kNoPasswordLogin;
  return Sjis(wanted) + "\r\n" + Sjis(texts::kOfferedMechanisms) + list + "\r\n" + Sjis(texts::kServerLine) + host +
         ":" + std::to_string(port);
}

}  // namespace plumex
