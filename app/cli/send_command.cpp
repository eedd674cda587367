// send --account NAME --to ADDR --subject TEXT [--cc ADDR] [--bcc ADDR] [--attach FILE]...
//      [--merge-sheet CSV] [--yes]: the body on standard input (UTF-8), sent through SendMail.
#include <iostream>
#include <iterator>

#include "app/cli/cli_command.h"
#include "platform/code_page.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "protocol/trusted_certs.h"
#include "send/compose_lists.h"
#include "send/send_mail.h"
#include "send/sent_folder.h"

namespace plumex::cli {
namespace {

constexpr const char* kUsage =
    "send --account NAME --to ADDR --subject TEXT [--cc ADDR] [--bcc ADDR] [--attach FILE]... "
    "[--merge-sheet CSV] [--yes]";

int Send(CliContext& context) {
  std::string account_name, merge_sheet;
  ComposeFields fields;
  bool yes = false;
  const auto& a = context.args;
  for (size_t i = 0; i < a.size(); ++i) {
    auto value = [&]() -> std::string { return i + 1 < a.size() ? Utf8ToCp932(a[++i]) : std::string(); };
    if (a[i] == "--account") account_name = value();
    else if (a[i] == "--to") fields.to = value();
    else if (a[i] == "--subject") fields.subject = value();
    else if (a[i] == "--cc") fields.cc = value();
    else if (a[i] == "--bcc") fields.bcc = value();
    else if (a[i] == "--attach" && i + 1 < a.size()) fields.attachments.push_back(PathText(std::filesystem::absolute(a[++i])));
    else if (a[i] == "--merge-sheet" && i + 1 < a.size()) merge_sheet = a[++i];
    else if (a[i] == "--yes") yes = true;
    else {
      context.err << "usage: plumex-cli " << kUsage << "\n";
      return 1;
    }
  }
  const auto accounts = LoadAccountList(context.mail_root);
  auto position = FindAccount(accounts, account_name);
  if (!position) {
    context.err << "plumex-cli: no such account: " << Cp932ToUtf8(account_name) << "\n";
    return 1;
  }
  const AccountRecord account = AccountRecord::Parse(accounts[*position]);

  SendRequest request;
  fields.merge = !merge_sheet.empty();
  if (fields.merge) {
    std::vector<std::string> rows;
    if (!ReadLines(merge_sheet, rows)) {
      context.err << "plumex-cli: cannot read " << merge_sheet << "\n";
      return 1;
    }
    request.merge_sheet = rows;  // a sheet is code page 932 text, like every file the store keeps
  } else if (fields.to.empty()) {
    context.err << "plumex-cli: --to is missing\n";
    return 1;
  }
  request.settings = BuildSmtpSettingList(account);
  request.headers = BuildSendHeaderList(fields, account, ToLocal(NowSeconds()));
  request.attachments = fields.attachments;
  request.body = SplitLines(Utf8ToCp932(std::string(std::istreambuf_iterator<char>(context.in), {})));

  SendContext send;
  send.mail_root = context.mail_root;
  send.send_rules = LoadSendRules(context.mail_root);
  send.connection.mail_root = context.mail_root;
  send.ask_trust_certificate = [&](const std::string& question) {
    context.err << Cp932ToUtf8(question) << (yes ? " --yes\n" : " (--yes to trust)\n");
    return yes;
  };
  try {
    SendResult result = SendMail(request, send);
    if (fields.merge) context.out << "OK " << result.merge_ok << ", NO!! " << result.merge_failed << "\n";
    context.out << Cp932ToUtf8(result.message_id) << "\n";
  } catch (const std::exception& e) {
    context.err << Cp932ToUtf8(e.what()) << "\n";
    return 1;
  }
  return 0;
}

const CliCommand registration("send", kUsage, Send);

}  // namespace
}  // namespace plumex::cli
