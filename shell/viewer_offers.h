// Which commands on the message on screen the window offers: they act on the viewer's message,
// so with the viewer emptied (after a delete, a move, a new list) none of them is offered.
#pragma once

namespace plumex {

class MainShell;

struct ViewerOffers {
  bool save = false;       // "メールを保存する"
  bool print = false;      // "印刷"
  bool overwrite = false;  // "メールを上書き保存する"
  bool reply = false;      // "返信"
  bool forward = false;    // "転送"
  bool html = false;       // "HTML表示"
  bool text = false;       // "テキスト表示(標準)"
  bool colour = false;     // "着色", "未読に戻す", "既読にする"
  bool operator==(const ViewerOffers&) const = default;
};

// panes_edited: the person changed the header panel or the body since the message was shown.
// Reply and forward also take a chosen row when nothing is shown (they show it first).
ViewerOffers OffersOnScreen(const MainShell& shell, bool panes_edited);

}  // namespace plumex
