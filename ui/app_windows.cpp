#include "ui/app_windows.h"

#include <QEventLoop>

#include "shell/account_commands.h"
#include "shell/main_shell.h"

#include "ui/frm_account.h"
#include "ui/frm_add_address.h"
#include "ui/frm_address.h"
#include "ui/frm_insert.h"
#include "ui/frm_insert_log.h"
#include "ui/frm_main.h"
#include "ui/frm_new_check.h"
#include "ui/frm_preview.h"
#include "ui/frm_send.h"
#include "ui/frm_set.h"
#include "ui/new_check_driver.h"

namespace plumex {

AppWindows::AppWindows(const std::filesystem::path& mail_root, std::unique_ptr<QtUiPort> port)
    : port(port ? std::move(port) : std::make_unique<QtUiPort>()),
      core(std::make_unique<AppCore>(*this->port, mail_root)),
      frmMain(std::make_unique<TfrmMain>(*core, *this->port)),
      frmAccount(std::make_unique<TfrmAccount>()),
      frmSend(std::make_unique<TfrmSend>()),
      frmAddress(std::make_unique<TfrmAddress>()),
      frmInsert(std::make_unique<TfrmInsert>()),
      frmSet(std::make_unique<TfrmSet>()),
      frmNewCheck(std::make_unique<TfrmNewCheck>()),
      frmAddAddress(std::make_unique<TfrmAddAddress>()),
      frmPreView(std::make_unique<TfrmPreView>()),
      frmInsertLog(std::make_unique<TfrmInsertLog>()) {
  frmMain->SetComposeWindow(frmSend.get());
  frmMain->SetAccountWindow(frmAccount.get());
  // The account window's opening makes the saved account the account in use.
  UiPort& ui = *this->port;
  frmAccount->Attach(core->Accounts(), ui);
  frmSend->Attach(core->Compose(), ui);
  frmAddress->Attach(core->AddressBooks(), ui);
  frmAddAddress->Attach(core->AddressBooks(), ui);
  QObject::connect(frmAddAddress.get(), &TfrmAddAddress::saved, frmAddress.get(), &TfrmAddress::Render);
  frmMain->SetAddressWindow(frmAddress.get());
  frmMain->SetRegisterWindow(frmAddAddress.get());
  frmSend->SetAddressWindow(frmAddress.get());
  frmSet->Attach(*core);
  frmSet->SetAddressWindow(frmAddress.get());
  frmInsert->Attach(core->MergeSheet(), ui);
  frmPreView->Attach(core->MergeSheet(), ui);
  // "アドレス帳から取込": the picker, modal; then the file its export wrote, if it wrote one.
  frmInsert->SetRecipientExport([this]() -> std::optional<std::filesystem::path> {
    AddressBookCommands& books = frmAddress->Commands();
    books.TakeLastExport();
    QEventLoop picking;
    frmAddress->ShowPicker([&picking] { picking.quit(); });
    picking.exec();
    return books.TakeLastExport();
  });
  frmSend->AttachMerge(core->MergeSheet(), core->Drafts(), frmInsert.get(), frmPreView.get());
  frmMain->SetMergeLogWindow(frmInsertLog.get());
  frmMain->SetSettingsWindow(frmSet.get());
  newCheck = std::make_unique<NewCheckDriver>(*core, *frmMain, *frmNewCheck);
  frmMain->SetNewCheck(newCheck.get());
  QObject::connect(frmSet.get(), &TfrmSet::newCheckRun, newCheck.get(),
                   [this] { newCheck->Start(NewCheckCommands::StartKind::AfterDialog); });
}

void AppWindows::ShowAtStart() {
  frmMain->ShowAtStart();
  if (frmMain->isVisible()) newCheck->Start(NewCheckCommands::StartKind::AtStartUp);
}

// The other windows go first: they read the main window's state; the core and the port last.
AppWindows::~AppWindows() {
  if (frmMain) frmMain->SetNewCheck(nullptr);
  newCheck.reset();
  frmInsertLog.reset();
  frmPreView.reset();
  frmAddAddress.reset();
  frmNewCheck.reset();
  frmSet.reset();
  frmInsert.reset();
  frmAddress.reset();
  frmSend.reset();
  frmAccount.reset();
  frmMain.reset();
}

}  // namespace plumex
