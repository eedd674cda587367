#include "protocol/connection.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/sjis_text.h"
#include "platform/text_file.h"
#include "protocol/protocol_error.h"
#include "protocol/trusted_certs.h"
#include "tests/protocol/fake_server.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

TEST(ConnectionTest, RefusedPortAndUnknownHostAreErrors) {
  int port = 0;
  {
    // A port that was free a moment ago: nobody listens there.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    ::close(fd);
  }
  Connection c;
  EXPECT_THROW(c.Open("127.0.0.1", port, false), ProtocolError);
  EXPECT_FALSE(c.IsOpen());
  EXPECT_THROW(c.Open("no-such-host.invalid", 110, false), ProtocolError);
  EXPECT_THROW(c.Open("127.0.0.1", 0, false), ProtocolError);
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
  EXPECT_THROW(c.ReadLine(), ProtocolError);
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
