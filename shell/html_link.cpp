#include "shell/html_link.h"

#include "text/ascii_case.h"
#include "text/sjis_text.h"
#include "shell/link_domain.h"
#include "shell/shell_texts.h"

namespace plumex {

HtmlLinkKind KindOfLink(const std::string& address) {
  const std::string lower = AsciiLower(address);
  if (lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0) return HtmlLinkKind::Web;
  if (lower.rfind("mailto:", 0) == 0) return HtmlLinkKind::Mail;
  return HtmlLinkKind::Refused;
}

std::string LinkQuestion(const std::string& address, const std::string& text) {
  std::string question;
  if (ShowsAnotherDomain(text, address)) {
    question = Sjis(texts::kLinkShowsAnother1) + DomainShownBy(text).value_or("") + Sjis(texts::kLinkShowsAnother2) +
               Sjis(texts::kLinkShowsAnother3) + HostOfAddress(address).value_or(address) +
               Sjis(texts::kLinkShowsAnother4) + "\r\n" + Sjis(texts::kLinkShowsAnother5) + "\r\n\r\n";
  }
  return question + Sjis(texts::kOpenLink) + "\r\n\r\n" + address + "\r\n\r\n" +
         Sjis(texts::kOpenLinkConfirm);
}

bool OpenHtmlLink(UiPort& ui, const std::string& address, const std::string& text) {
  switch (KindOfLink(address)) {
    case HtmlLinkKind::Mail: return false;
    case HtmlLinkKind::Refused:
      ui.MessageBox(Sjis(texts::kLinkRefused) + "\r\n" + address, MsgIcon::Warning);
      return false;
    case HtmlLinkKind::Web: break;
  }
  const MsgIcon icon = ShowsAnotherDomain(text, address) ? MsgIcon::Warning : MsgIcon::Question;
  if (ui.MessageBox(LinkQuestion(address, text), icon, MsgButtons::YesNo) != MsgAnswer::Yes) return false;
  ui.OpenUrl(address);
  return true;
}

}  // namespace plumex
