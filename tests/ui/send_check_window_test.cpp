// The check-before-sending window: "送信" stays disabled until every outside domain and every
// attachment is ticked; own domains need no tick; the warnings are shown.
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "text/code_page.h"
#include "send/send_check.h"
#include "ui/frm_send_check.h"

using namespace plumex;

class SendCheckWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void sendIsRefusedUntilEveryOutsideDomainIsTicked() {
    SendCheckInput in;
    in.to = "taro@client.example, hanako@client.example";
    in.cc = "boss@example.jp, x@other.example";
    in.bcc = "y@third.example";
    in.own_domains = {"example.jp"};
    in.external_limit = 2;
    in.attachments = {Utf8ToCp932("/tmp/見積書.pdf")};
    const SendCheck check = BuildSendCheck(in, [](const std::string&) { return std::optional<std::uintmax_t>(2048); });

    TfrmSendCheck window(check);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(int(window.TickItems().size()), 4);  // three outside domains, one attachment
    QVERIFY(window.lblWarnings()->isVisible());
    QVERIFY(window.lblWarnings()->text().contains(QStringLiteral("To/Ccに社外のあて先が3件あります")));
    QCOMPARE(window.lstAttachments()->topLevelItem(0)->text(1), QStringLiteral("2.0 KB"));
    window.grab().save(QStringLiteral("send_check_window.png"));

    QTreeWidget* list = window.lstRecipients();
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("社外"));
    QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("社内"));
    QTreeWidgetItem* own = list->topLevelItem(1)->child(0);
    QVERIFY(!(own->flags() & Qt::ItemIsUserCheckable));

    // Ticked one by one with the mouse: only the last tick enables "送信".
    for (QTreeWidgetItem* item : window.TickItems()) {
      QVERIFY(!window.btnSend()->isEnabled());
      QTreeWidget* tree = item->treeWidget();
      tree->scrollToItem(item);
      QRect rect = tree->visualItemRect(item);
      const int indent = rect.left();
      // The check box sits at the start of the item's cell.
      QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(indent + 10, rect.center().y()));
      if (item->checkState(0) != Qt::Checked) item->setCheckState(0, Qt::Checked);
    }
    QVERIFY(window.btnSend()->isEnabled());
    // Taking one tick back disables it again.
    window.TickItems().front()->setCheckState(0, Qt::Unchecked);
    QVERIFY(!window.btnSend()->isEnabled());
    window.TickItems().front()->setCheckState(0, Qt::Checked);
    QTest::mouseClick(window.btnSend(), Qt::LeftButton);
    QCOMPARE(window.result(), int(QDialog::Accepted));
  }

  void backReturnsToTheMessage() {
    SendCheckInput in;
    in.to = "taro@client.example";
    TfrmSendCheck window(BuildSendCheck(in));
    window.show();
    QVERIFY(!window.btnSend()->isEnabled());
    QTest::mouseClick(window.btnBack(), Qt::LeftButton);
    QCOMPARE(window.result(), int(QDialog::Rejected));
  }

  void aMessageToOwnDomainsOnlyNeedsNoTick() {
    SendCheckInput in;
    in.to = "boss@Mail.Example.JP";
    in.own_domains = {"example.jp"};
    TfrmSendCheck window(BuildSendCheck(in));
    QVERIFY(window.TickItems().isEmpty());
    QVERIFY(window.btnSend()->isEnabled());
    QVERIFY(!window.lblWarnings()->isVisibleTo(&window));
  }
};

QTEST_MAIN(SendCheckWindowTest)
#include "send_check_window_test.moc"
