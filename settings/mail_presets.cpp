#include "settings/mail_presets.h"

#include "text/ascii_case.h"
#include "text/sjis_text.h"
#include "settings/settings_texts.h"

namespace plumex {
namespace {

MailPreset Outlook() {
  MailPreset p;
  p.pop_host = "outlook.office365.com";
  p.smtp_host = "smtp-mail.outlook.com";
  p.smtp_port = 587;
  p.login_method = "oauth2";
  p.provider = "microsoft";
  p.notice = Sjis(texts::kOutlookNotice);
  return p;
}

MailPreset Gmail() {
  MailPreset p;
  p.pop_host = "pop.gmail.com";
  p.smtp_host = "smtp.gmail.com";
  p.login_method = "oauth2";
  p.provider = "google";
  p.notice = Sjis(texts::kGmailNotice);
  return p;
}

MailPreset Ssl(const char* pop, const char* smtp, std::string_view notice = {}) {
  MailPreset p;
  p.pop_host = pop;
  p.smtp_host = smtp;
  if (!notice.empty()) p.notice = Sjis(notice);
  return p;
}

}  // namespace

MailPreset Microsoft365Preset() {
  MailPreset p = Outlook();
  p.smtp_host = "smtp.office365.com";
  p.notice = Sjis(texts::kMicrosoft365Notice);
  return p;
}

std::optional<MailPreset> PresetForAddress(std::string_view address) {
  const size_t at = address.rfind('@');
  if (at == std::string_view::npos) return std::nullopt;
  std::string domain = AsciiLower(address.substr(at + 1));
  while (!domain.empty() && (domain.back() == '>' || domain.back() == ' ')) domain.pop_back();
  if (domain == "gmail.com" || domain == "googlemail.com") return Gmail();
  for (const char* d : {"outlook.com", "hotmail.com", "live.com", "msn.com", "outlook.jp", "hotmail.co.jp", "live.jp"})
    if (domain == d) return Outlook();
  if (domain == "yahoo.co.jp" || domain == "ymail.ne.jp")
    return Ssl("pop.mail.yahoo.co.jp", "smtp.mail.yahoo.co.jp",
               texts::kYahooNotice);
  if (domain == "icloud.com" || domain == "me.com" || domain == "mac.com") {
    MailPreset p;
    p.pop_host.clear();
    p.smtp_host = "smtp.mail.me.com";
    p.smtp_port = 587;
    p.notice = Sjis(texts::kICloudNotice);
    return p;
  }
  if (domain == "nifty.com") return Ssl("pop.nifty.com", "smtp.nifty.com");
  if (domain == "biglobe.ne.jp") return Ssl("mail.biglobe.ne.jp", "mail.biglobe.ne.jp");
  if (domain == "ocn.ne.jp") return Ssl("pop.ocn.ne.jp", "smtp.ocn.ne.jp");
  if (domain == "au.com") return Ssl("pop.au.com", "smtp.au.com");
  return std::nullopt;
}

}  // namespace plumex
