// The fixture of the sends through the real submission server: a store with its "送信" folder,
// the send context, and a Ui that records what the core shows.
#pragma once

#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "send/send_mail.h"
#include "tests/protocol/servers_test.h"
#include "tests/support/fake_ui.h"
#include "tests/support/temp_dir.h"

namespace plumex::test {

class SendServersTest : public ServersTest {
 protected:
  void SetUp() override {
    ServersTest::SetUp();
    if (IsSkipped()) return;
    context.mail_root = root.path();
    context.connection.ca_file = servers->Get("CA_FILE");
    context.connection.read_timeout_seconds = 20;
    EnsureDirectory(ToNativePath(root.path(), Sjis("送信\\")));
  }

  TempDir root;
  SendContext context;
  FakeUi ui;
};

}  // namespace plumex::test
