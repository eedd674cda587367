#include "protocol/connection.h"

#include <gtest/gtest.h>

#include "text/sjis_text.h"
#include "platform/text_file.h"
#include "protocol/protocol_error.h"
#include "protocol/trusted_certs.h"
#include "tests/protocol/fake_server.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

TEST(ConnectionTest, FailuresToConnectNameTheServerAndTheReason) {
  struct Case {
    std::string host;
    int port;
    ErrorKind kind;
    const char* reason;
  };
  const Case cases[] = {
      {"127.0.0.1", test::ClosedPort(), ErrorKind::Connection, "接続が拒否されました"},
      {"no-such-host.invalid", 110, ErrorKind::Connection, "ホストが見つかりません"},
      {"127.0.0.1", 0, ErrorKind::BadInput, "ポート番号が正しくありません"},
  };
  for (const Case& c : cases) {
    Connection connection;
    try {
      connection.Open(c.host, c.port, false);
      ADD_FAILURE() << c.host << ":" << c.port << " connected";
    } catch (const ProtocolError& e) {
      EXPECT_EQ(e.kind(), c.kind) << c.reason;
      EXPECT_EQ(e.text(), Sjis("接続できませんでした。") + "\r\n" + Sjis("サーバ: ") + c.host + ":" +
                              std::to_string(c.port) + "\r\n" + Sjis(c.reason));
    }
    EXPECT_FALSE(connection.IsOpen());
  }
}

TEST(ConnectionTest, LinesSplitAcrossReadsAndLongLines) {
  const std::string long_line(300000, 'x');
  test::FakeServer server({{"", "one\r\ntwo\nthree\r"}, {"", "\nbare\rcr\r\n" + long_line + "\r\n", 50, true}});
  Connection c;
  c.Open("127.0.0.1", server.port(), false);
  EXPECT_EQ(c.ReadLine(), "one");
  EXPECT_EQ(c.ReadLine(), "two");
  EXPECT_EQ(c.ReadLine(), "three");
  EXPECT_EQ(c.ReadLine(), "bare\rcr");
  EXPECT_EQ(c.ReadLine(), long_line);
  try {
    c.ReadLine();
    ADD_FAILURE() << "read past the end";
  } catch (const ProtocolError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Connection);
    EXPECT_NE(e.text().find(Sjis("サーバが接続を切断しました")), std::string::npos);
  }
  EXPECT_FALSE(c.IsOpen());
}

TEST(ConnectionTest, TrustedCertificatesFile) {
  test::TempDir dir;
  const std::string fp1(64, 'a'), fp2(64, 'b');
  EXPECT_FALSE(FindTrustedCertificate(dir.path(), "mail.example.com", 995));
  TrustCertificate(dir.path(), "Mail.Example.com", 995, fp1);
  TrustCertificate(dir.path(), "mail.example.com", 465, fp2);
  EXPECT_EQ(FindTrustedCertificate(dir.path(), "mail.example.com", 995), fp1);
  TrustCertificate(dir.path(), "mail.example.com", 995, fp2);  // replaces
  EXPECT_EQ(FindTrustedCertificate(dir.path(), "MAIL.example.com", 995), fp2);
  EXPECT_FALSE(FindTrustedCertificate(dir.path(), "mail.example.com", 110));
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadLines(TrustedCertsPath(dir.path()), lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"mail.example.com:465\t" + fp2, "mail.example.com:995\t" + fp2}));

  const CertificateError error("mail.example.com", 995, "self-signed certificate", fp1);
  EXPECT_EQ(CertificateQuestion(error), Sjis("サーバ証明書を確認できませんでした。") +
                                            "\r\nself-signed certificate\r\nSHA-256: " + fp1 + "\r\n\r\n" +
                                            Sjis("この証明書を信頼して接続しますか？"));
}

}  // namespace
}  // namespace plumex
