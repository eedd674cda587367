// "コピー", "切り取り" and "貼り付け" of a window's menus and the body's context menu: they act on
// the focused text, whichever pane or box holds it.
#pragma once

class QAction;

namespace plumex {

// Copy and cut are offered on selected text, cut and paste in editable text only, paste when
// there is text to paste.
void EnableTextCommands(QAction* copy, QAction* cut, QAction* paste);

void CopyFocusedText();
void CutFocusedText();
void PasteFocusedText();

}  // namespace plumex
