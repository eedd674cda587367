#include "shell/html_link.h"

#include "platform/ascii_case.h"
#include "platform/sjis_text.h"
#include "shell/link_domain.h"

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
    question = Sjis("注意：リンクの文字は「") + DomainShownBy(text).value_or("") + Sjis("」を示していますが、") +
               Sjis("実際のリンク先は「") + HostOfAddress(address).value_or(address) + Sjis("」です。") + "\r\n" +
               Sjis("偽のリンクかもしれません。") + "\r\n\r\n";
  }
  return question + Sjis("次のリンク先をブラウザで開きます。") + "\r\n\r\n" + address + "\r\n\r\n" +
         Sjis("よろしいですか？");
}

bool OpenHtmlLink(UiPort& ui, const std::string& address, const std::string& text) {
  switch (KindOfLink(address)) {
    case HtmlLinkKind::Mail: return false;
    case HtmlLinkKind::Refused:
      ui.MessageBox(Sjis("このリンクは開けません。") + "\r\n" + address, MsgIcon::Warning);
      return false;
    case HtmlLinkKind::Web: break;
  }
  const MsgIcon icon = ShowsAnotherDomain(text, address) ? MsgIcon::Warning : MsgIcon::Question;
  if (ui.MessageBox(LinkQuestion(address, text), icon, MsgButtons::YesNo) != MsgAnswer::Yes) return false;
  ui.OpenUrl(address);
  return true;
}

}  // namespace plumex
