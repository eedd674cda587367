// The search in the shown message ("現メール内本文検索", "メール本文検索"): the find dialog, which
// stays open, and the forward search it drives in the viewer's body.
#pragma once

#include <QDialog>

#include "port/ui_port.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace plumex {

// The find dialog: the text, whole-word and match-case choices, "find next". It searches
// forward only, so it offers no direction.
class FindDialog : public QDialog {
  Q_OBJECT
 public:
  explicit FindDialog(QWidget* parent);

  QLineEdit* Text() const { return text_; }
  QCheckBox* WholeWord() const { return whole_word_; }
  QCheckBox* MatchCase() const { return match_case_; }
  QPushButton* FindNextButton() const { return find_next_; }

 signals:
  void findNext();

 private:
  QLineEdit* text_;
  QCheckBox* whole_word_;
  QCheckBox* match_case_;
  QPushButton* find_next_;
};

class BodyFinder : public QObject {
  Q_OBJECT
 public:
  BodyFinder(QTextEdit* body, UiPort& ui, QWidget* window);

  // Opens the find dialog over the shown message, with the body's selection as its text;
  // says so when no message is shown.
  void Open();
  // One "find next" of the dialog.
  void FindNext();
  FindDialog* Dialog() const { return dialog_; }

 private:
  QTextEdit* body_;
  UiPort& ui_;
  FindDialog* dialog_;
  int remembered_line_ = 0;
};

}  // namespace plumex
