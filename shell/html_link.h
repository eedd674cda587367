// A link clicked in the HTML view: the person sees where it really leads (and is warned when its
// text shows another domain) before the browser opens it. Nothing opens without that answer.
#pragma once

#include <string>

#include "port/ui_port.h"

namespace plumex {

enum class HtmlLinkKind { Web, Mail, Refused };

// What a link address is: "http"/"https" (opened in the browser), "mailto" (a new message), or
// anything else (refused: "javascript:", "file:", ...).
HtmlLinkKind KindOfLink(const std::string& address);

// The question before a web link opens: its real address, with a warning first when the text
// shows another domain. Code page 932 text; address ASCII (percent-escaped), text as shown.
std::string LinkQuestion(const std::string& address, const std::string& text);

// Asks, and opens the address in the browser on Yes (through the port, which says when there
// is no browser); a refused kind is told. True when the link was handed on. A "mailto" link
// is left to the caller (it refills the compose window).
bool OpenHtmlLink(UiPort& ui, const std::string& address, const std::string& text);

}  // namespace plumex
