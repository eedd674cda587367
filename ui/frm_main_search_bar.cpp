// The bar above the message list: the search box (Ctrl+E; over the folder on screen or every
// folder, results as the extraction shows them) and the switch to the conversation view.
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "ui/frm_main.h"
#include "ui/message_list_model.h"
#include "ui/qt_text.h"
#include "ui/run_guarded.h"

namespace plumex {
namespace {

// Typing goes on for this long before the search runs.
constexpr int kTypingPauseMs = 300;

}  // namespace

QWidget* TfrmMain::BuildSearchBar(QWidget* parent) {
  auto* pane = new QWidget(parent);
  auto* layout = new QVBoxLayout(pane);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  auto* bar = new QHBoxLayout();
  bar->setContentsMargins(2, 2, 2, 0);
  search_box_ = new QLineEdit(pane);
  search_box_->setObjectName(QStringLiteral("SearchBox"));
  search_box_->setPlaceholderText(QStringLiteral("検索 (Ctrl+E)"));
  search_scope_ = new QComboBox(pane);
  search_scope_->setObjectName(QStringLiteral("SearchScope"));
  search_scope_->addItems({QStringLiteral("このフォルダ"), QStringLiteral("すべてのフォルダ")});
  conversations_ = new QCheckBox(QStringLiteral("スレッド表示"), pane);
  conversations_->setObjectName(QStringLiteral("Conversations"));
  bar->addWidget(search_box_, 1);
  bar->addWidget(search_scope_);
  bar->addWidget(conversations_);
  layout->addLayout(bar);
  search_timer_ = new QTimer(this);
  search_timer_->setSingleShot(true);
  search_timer_->setInterval(kTypingPauseMs);
  return pane;
}

void TfrmMain::ConnectSearchBar() {
  auto* focus = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), this);
  focus->setContext(Qt::WindowShortcut);
  connect(focus, &QShortcut::activated, this, [this] {
    search_box_->setFocus(Qt::ShortcutFocusReason);
    search_box_->selectAll();
  });
  connect(search_box_, &QLineEdit::textChanged, this, [this] { search_timer_->start(); });
  connect(search_box_, &QLineEdit::returnPressed, this, [this] {
    search_timer_->stop();
    RunSearchBox();
  });
  connect(search_scope_, &QComboBox::currentIndexChanged, this, [this] {
    if (!search_box_->text().isEmpty()) search_timer_->start();
  });
  connect(search_timer_, &QTimer::timeout, this, &TfrmMain::RunSearchBox);

  // The conversation view follows every new filling and order of the list.
  auto apply_later = [this] {
    if (!applying_conversations_ && conversations_->isChecked()) QTimer::singleShot(0, this, &TfrmMain::ApplyConversations);
  };
  connect(list_model_, &QAbstractItemModel::modelReset, this, apply_later);
  connect(list_model_, &QAbstractItemModel::layoutChanged, this, apply_later);
  connect(list_model_, &QAbstractItemModel::rowsRemoved, this, apply_later);
  connect(conversations_, &QCheckBox::toggled, this, [this](bool on) {
    if (on) {
      ApplyConversations();
      return;
    }
    conversation_rows_.clear();
    list_model_->indent_of = nullptr;
    const MainState& s = shell_->State();
    if (s.ViewMode == ViewModes::Normal || s.ViewMode == ViewModes::SendFolder)
      RunGuarded(this, *port_, [&] { shell_->ChooseSort(shell_->State().SortKind); });
    ListView1_->viewport()->update();
  });
  // A click on the icon of a conversation's first row folds its replies away or back.
  connect(ListView1_, &QTreeView::clicked, this, [this](const QModelIndex& i) {
    if (i.column() != kColPriorityIcon || conversation_rows_.size() != shell_->List().Count()) return;
    const auto row = static_cast<size_t>(i.row());
    if (row >= conversation_rows_.size() || !conversation_rows_[row].has_replies) return;
    const std::vector<size_t> replies = RepliesOf(conversation_rows_, row);
    const bool hide = !ListView1_->isRowHidden(static_cast<int>(replies.front()), QModelIndex());
    for (size_t r : replies) ListView1_->setRowHidden(static_cast<int>(r), QModelIndex(), hide);
  });
}

void TfrmMain::RunSearchBox() {
  const QString text = search_box_->text();
  if (text.isEmpty()) return;
  if (shell_->Gate().Busy()) {
    // A search under way ends; this one runs once it has (or once another command has ended).
    shell_->Gate().StopRun(RunKind::Search);
    search_timer_->start();
    return;
  }
  const bool all = search_scope_->currentIndex() == 1;
  RunGuarded(this, *port_, [&] { core_->Search().SearchBox(FromQ(text), all); });
  UpdateListHeader();
}

void TfrmMain::ApplyConversations() {
  if (applying_conversations_) return;
  conversation_rows_.clear();
  list_model_->indent_of = nullptr;
  const MainState& s = shell_->State();
  if (!conversations_->isChecked() || shell_->List().Count() == 0) return;
  if (s.ViewMode != ViewModes::Normal && s.ViewMode != ViewModes::SendFolder) return;
  applying_conversations_ = true;
  RunGuarded(this, *port_, [&] { conversation_rows_ = ShowConversations(*shell_, s.SortKey < 0); });
  applying_conversations_ = false;
  if (conversation_rows_.size() != shell_->List().Count()) {
    conversation_rows_.clear();
    return;
  }
  list_model_->indent_of = [this](int row) {
    const auto r = static_cast<size_t>(row);
    return r < conversation_rows_.size() ? conversation_rows_[r].depth : 0;
  };
  ListView1_->viewport()->update();
}

}  // namespace plumex
