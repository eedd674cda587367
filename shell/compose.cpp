#include "shell/compose.h"

#include "shell/shell_texts.h"

#include "addressbook/address_texts.h"
#include "addressbook/book_completion.h"
#include "codecs/header_decode.h"
#include "text/ascii_case.h"
#include "platform/clock.h"
#include "platform/directories.h"
#include "text/sjis_search.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "port/error_text.h"
#include "protocol/protocol_error.h"
#include "send/compose_lists.h"
#include "send/recipient_check.h"
#include "send/send_mail.h"
#include "send/sent_folder.h"
#include "shell/delayed_send_commands.h"
#include "shell/send_check_commands.h"
#include "shell/merge_sheet_commands.h"
#include "shell/scoped_flag.h"
#include "settings/account_list.h"
#include "shell/account_commands.h"
#include "store/file_key.h"
#include "store/index_row.h"
#include "store/store_layout.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

const char* kQuoteHeader = "-------------------ｵﾘｼﾞﾅﾙﾒｯｾｰｼﾞ-------------------";

}  // namespace

ComposeCommands::ComposeCommands(MainShell& shell, AccountCommands& accounts, const SendRuleList& send_rules)
    : shell_(shell), accounts_(accounts), send_rules_(send_rules) {}

void ComposeCommands::FillSenders() {
  const MainState& s = shell_.State();
  ComposeContent& c = content_;
  c.senders.clear();
  for (const auto& line : s.AccountList) c.senders.push_back(AccountRecord::Parse(line).address);
  c.sender_index = s.AccountPosition >= 1 && s.AccountPosition <= c.senders.size()
                       ? static_cast<int>(s.AccountPosition) - 1
                       : (c.senders.empty() ? -1 : 0);
}

void ComposeCommands::OpenCompose(const std::string& subject, const std::string& to) {
  ComposeContent& c = content_;
  FillSenders();
  // Every field but the body and the attachments starts empty (a reply or forward fills
  // To and Subject).
  c.delay.clear();
  c.temp_reply_to.clear();
  c.merge_sheet.clear();
  c.merge = false;
  if (sheet_) sheet_->Clear();
  c.draft_key.clear();
  c.priority = false;
  c.read_receipt = false;
  c.to = to;
  c.subject = subject;
  c.cc.clear();
  c.bcc.clear();
  // The signature below, "%SSdate%" as today's date.
  if (accounts_.InUse() && !accounts_.InUse()->signature.empty()) {
    const LocalDateTime today = ToLocal(NowSeconds());
    c.body.push_back("");
    c.body.push_back("");
    for (const auto& line : accounts_.InUse()->signature)
      c.body.push_back(ExpandSignatureDate(line, today.year, today.month, today.day));
  }
  shell_.Ui().ShowComposeWindow();
}

bool ComposeCommands::NewMail() {
  if (!shell_.Ui().ResolveUnsentCompose()) return false;
  // Writing mail leaves server delete mode the way "メール削除モード解除" does.
  shell_.LeaveServerDelete();
  content_.body.clear();
  content_.attachments.clear();
  EndReplyContext();
  OpenCompose("", "");
  return true;
}

void ComposeCommands::EndReplyContext() {
  reply_context_id_.clear();
  reply_header_lines_.clear();
  answers_ = Answers::Nothing;
}

Threading ComposeCommands::CurrentThreading() const {
  if (reply_context_id_.empty()) return {};
  size_t start = 0;
  const std::string references = FindHeaderValue("references", reply_header_lines_, true, start);
  start = 0;
  const std::string in_reply_to = FindHeaderValue("in-reply-to", reply_header_lines_, true, start);
  return ThreadingOf(reply_context_id_, references, in_reply_to, !IsForward());
}

void ComposeCommands::RestoreThreading(const Threading& threading) {
  EndReplyContext();
  reply_context_id_ = LastMessageId(threading.references);
  if (reply_context_id_.empty()) reply_context_id_ = threading.in_reply_to;
  if (reply_context_id_.empty()) return;
  reply_header_lines_ = {"References:" + WithoutLastMessageId(threading.references)};
  answers_ = threading.in_reply_to.empty() ? Answers::ReopenedForward : Answers::ReopenedReply;
}

bool ComposeCommands::Send() {
  // A second "送信" while this one pumps the window (a double click) sends nothing more.
  if (sending_) return false;
  ScopedFlag sending(sending_);
  UiPort& ui = shell_.Ui();
  ComposeContent& c = content_;
  if (c.merge && c.merge_sheet.size() < 2) {
    ui.MessageBox(Sjis(texts::kNoMergeSheet));
    return false;
  }
  if (!c.merge && c.to.empty()) {
    ui.MessageBox(Sjis(texts::kNoRecipient));
    return false;
  }
  if (c.subject.empty()) {
    ui.MessageBox(Sjis(texts::kNoSubject));
    return false;
  }
  // Every recipient must be an address: a name alone would reach a local user of the server.
  for (const std::string* field : {&c.to, &c.cc, &c.bcc}) {
    if (field == &c.to && c.merge) continue;
    if (auto entry = RecipientWithoutAddress(*field)) {
      ui.MessageBox(Sjis(texts::kRecipientWithoutAddress) + "\r\n" + *entry,
                    MsgIcon::Warning);
      return false;
    }
  }
  MainState& s = shell_.State();
  // One command at a time: a send never starts inside another run's wait (the window greys
  // "送信" meanwhile).
  auto run = shell_.Gate().TryEnter(RunKind::Send);
  if (!run) {
    // The compose window is a window of its own, not greyed with the main window's commands.
    ui.MessageBox(Sjis(texts::kRunGoing), MsgIcon::Information);
    return false;
  }
  if (c.sender_index < 0 || static_cast<size_t>(c.sender_index) >= s.AccountList.size()) {
    ui.MessageBox(Sjis(texts::kBadSender));
    return false;
  }
  const AccountRecord account = AccountRecord::Parse(s.AccountList[static_cast<size_t>(c.sender_index)]);
  ComposeFields fields{c.to, c.cc, c.bcc, c.subject, c.temp_reply_to, c.priority, c.read_receipt, c.merge,
                       c.attachments};
  SendRequest request;
  request.settings = BuildSmtpSettingList(account);
  request.headers = BuildSendHeaderList(fields, account, ToLocal(NowSeconds()));
  request.attachments = c.attachments;
  request.body = c.body;
  request.merge_sheet = c.merge_sheet;
  request.reply_context_id = reply_context_id_;
  request.viewer_header_lines = reply_header_lines_;
  request.reply_context_is_forward = IsForward();
  last_queued_.reset();
  // The check before sending sees the message as it will go: sent now, queued or merged.
  if (!ConfirmBeforeSend(shell_.State().MailRoot, s.AccountList, c, answers_ == Answers::Reply ? &reply_header_lines_ : nullptr, ui))
    return false;
  const long long delay = DelayMinutes(c.delay);
  if (delay > 0 && delayed_) {
    last_queued_ = delayed_->Enqueue(request, c.delay, delay);
    c.attachments.clear();
    ui.Pump();
    ui.HideComposeWindow();
    return true;
  }
  SendContext context;
  context.mail_root = s.MailRoot;
  context.send_rules = send_rules_.Lines();
  context.connection = shell_.RunConnection(*run);
  try {
    last_sent_ = SendMail(request, context, ui);
  } catch (const std::exception& e) {
    const AppError error = AsAppError(e);
    if (error.kind() != ErrorKind::Stopped) ui.MessageBox(error.text(), MsgIcon::Error);
    return false;
  }
  ui.SetStatusText(1, Sjis(texts::kSent));
  // Sent is sent: a copy that could not be filed is told as such, never as a failed send.
  if (last_sent_.copy_error) ui.MessageBox(SentButNotFiledText(*last_sent_.copy_error), MsgIcon::Warning);
  try {
    shell_.RefreshSendSide();
  } catch (const std::exception&) {
  }
  c.attachments.clear();
  if (c.merge) ui.MergeSent();
  ui.Pump();
  ui.HideComposeWindow();
  return true;
}

bool ComposeCommands::Quote() {
  const ViewerContent& viewer = shell_.State().Viewer;
  if (viewer.shown_row.empty()) return false;
  content_.body.clear();
  // What the person reads: the text view, never the HTML source stored after it.
  const std::vector<std::string> shown = SplitLines(viewer.text_view);
  if (shown.empty()) return true;
  const std::string mark = accounts_.InUse() ? accounts_.InUse()->record.reply_mark : std::string(">");
  content_.body.push_back("");
  content_.body.push_back("");
  content_.body.push_back(Sjis(kQuoteHeader));
  for (const auto& line : shown) content_.body.push_back(mark + "  " + line);
  return true;
}

// Reply and forward act on one message: the one on screen. With none on screen the first
// chosen row is shown first, so recipient, subject, quote and attachments never come from
// two different mails.
const std::string* ComposeCommands::MessageOnScreen() {
  const ViewerContent& viewer = shell_.State().Viewer;
  if (viewer.shown_row.empty()) {
    const auto selection = shell_.List().Selection();
    if (selection.empty()) return nullptr;
    shell_.ShowMessage(selection.front());
  }
  return viewer.shown_row.empty() ? nullptr : &viewer.shown_row;
}

std::optional<std::string> ComposeCommands::BeginAnswer(Answers answers) {
  const std::string* row = MessageOnScreen();
  if (!row) return std::nullopt;
  std::string shown = *row;
  if (!shell_.Ui().ResolveUnsentCompose()) return std::nullopt;
  EndReplyContext();
  reply_context_id_ = FieldOf(shown, IndexRow::kMessageId);
  reply_header_lines_ = SplitLines(shell_.State().Viewer.header_text);
  answers_ = answers;
  return shown;
}

bool ComposeCommands::Reply() {
  const std::optional<std::string> answered = BeginAnswer(Answers::Reply);
  if (!answered) return false;
  const std::string& shown = *answered;
  size_t start = 0;
  std::string reply_to = FindHeaderValue("ReplyTo", reply_header_lines_, false, start);
  Quote();
  if (reply_to.empty()) {
    reply_to = FieldOf(shown, IndexRow::kCorrespondent);
    if (!reply_to.empty() && reply_to.front() == '<') std::erase_if(reply_to, [](char ch) { return ch == '<' || ch == '>'; });
  }
  content_.attachments.clear();
  OpenCompose(Sjis(texts::kReplySubjectPrefix) + FieldOf(shown, IndexRow::kSubject), reply_to);
  return true;
}

bool ComposeCommands::Forward() {
  const std::optional<std::string> answered = BeginAnswer(Answers::Forward);
  if (!answered) return false;
  const std::string& shown = *answered;
  Quote();
  content_.attachments.clear();
  const ViewerContent& viewer = shell_.State().Viewer;
  for (const auto& name : viewer.attachments)
    content_.attachments.push_back(PathText(viewer.attachment_dir / NativeName(name)));
  OpenCompose(Sjis(texts::kForwardSubjectPrefix) + FieldOf(shown, IndexRow::kSubject), "");
  return true;
}

void ComposeCommands::ForwardAsAttachment() {
  const std::optional<std::string> answered = BeginAnswer(Answers::Forward);
  if (!answered) return;
  const std::string& shown = *answered;
  content_.body.clear();
  content_.attachments.clear();
  std::filesystem::path message = shell_.State().Viewer.message_file;
  std::filesystem::path original = message;
  original.replace_extension(std::string(kOriginalExtension));
  content_.attachments.push_back(PathText(FileExists(original) ? original : message));
  OpenCompose(Sjis(texts::kForwardSubjectPrefix) + FieldOf(shown, IndexRow::kSubject), "");
}

std::vector<std::string> ComposeCommands::Complete(const std::string& typed, std::string& pending) {
  if (typed.empty()) return {};
  const std::vector<std::string> found =
      MatchingBookLines(BookFolder(shell_.Native(std::string(texts::kBookFolder) + "\\")), typed);
  if (found.empty()) return {};
  const std::string tail = pending;
  pending.clear();
  std::vector<std::string> items;
  items.reserve(found.size());
  for (const auto& line : found) items.push_back(CompletionItem(line) + "," + tail);
  return items;
}

void ComposeCommands::InsertChosenAttachments() {
  for (const auto& file : shell_.Ui().ChooseOpenFiles(Sjis(texts::kAttachmentFilter), true, 1))
    AddAttachment(PathText(file));
}

void ComposeCommands::AddAttachment(const std::string& path) {
  // File names differ by letter case here: "a.txt" and "A.TXT" are two files.
  for (const auto& existing : content_.attachments)
    if (existing == path) return;
  content_.attachments.push_back(path);
}

void ComposeCommands::ChangeReplyTo() {
  auto answer = shell_.Ui().InputBox(
      Sjis(texts::kReplyToCaption),
      Sjis(texts::kReplyToPrompt1) + "\r\n\r\n" +
          Sjis(texts::kReplyToPrompt2),
      content_.temp_reply_to);
  if (answer && !answer->empty()) content_.temp_reply_to = *answer;
}

}  // namespace plumex
