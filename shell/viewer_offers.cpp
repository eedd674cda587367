#include "shell/viewer_offers.h"

#include "shell/html_page.h"
#include "shell/main_shell.h"

namespace plumex {

ViewerOffers OffersOnScreen(const MainShell& shell, bool panes_edited) {
  const MainState& s = shell.State();
  const ViewerContent& v = s.Viewer;
  const MessageList& list = shell.List();
  ViewerOffers o;
  const bool stored_rows = !IsServerList(s.ViewMode);
  const bool shown = stored_rows && !v.message_file.empty();
  bool row_chosen = false;
  for (size_t row : list.Selection()) row_chosen = row_chosen || list.IsValid(row);
  row_chosen = row_chosen && stored_rows;
  o.save = o.print = shown;
  o.overwrite = shown && panes_edited && !HtmlPartStart(v.body_text);
  o.reply = o.forward = shown || row_chosen;
  o.html = shown && !v.html_shown;
  o.text = v.html_shown;
  o.colour = row_chosen;
  return o;
}

}  // namespace plumex
