// Against real servers (tests/servers): Dovecot's POP3, plain and implicit TLS, and Dovecot's
// submission service (STARTTLS, AUTH LOGIN, PIPELINING) and the plain SMTP sink behind it
// (none of those), with what arrives read back by Python's email package.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>

#include "platform/text_file.h"
#include "protocol/openssl_ptr.h"
#include "protocol/outgoing_message.h"
#include "protocol/parsed_message.h"
#include "protocol/pop3_client.h"
#include "protocol/protocol_error.h"
#include "protocol/smtp_client.h"
#include "protocol/trusted_certs.h"
#include "tests/protocol/servers_test.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

using ::testing::Contains;

class ServerTest : public test::ServersTest {
 protected:
  void SetUpPop3(Pop3Client& c, const std::string& user, bool tls = false) {
    c.host = "localhost";
    c.port = servers->Port(tls ? "POP3S_PORT" : "POP3_PORT");
    c.user_name = user;
    c.password = "secret";
    c.use_tls = tls;
    c.options().ca_file = servers->Get("CA_FILE");
  }

  // SHA-256 of a PEM certificate, the way the trusted list writes it.
  static std::string Fingerprint(const std::string& pem_path) {
    FILE* f = std::fopen(pem_path.c_str(), "r");
    const X509Ptr cert(PEM_read_X509(f, nullptr, nullptr, nullptr));
    std::fclose(f);
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    X509_digest(cert.get(), EVP_sha256(), md, &len);
    std::string hex;
    char buf[3];
    for (unsigned i = 0; i < len; ++i) {
      std::snprintf(buf, sizeof buf, "%02x", md[i]);
      hex += buf;
    }
    return hex;
  }

  static std::string UniqueId() {
    std::random_device rd;
    return "<plumex-" + std::to_string(std::chrono::system_clock::now().time_since_epoch().count()) + "-" +
           std::to_string(rd()) + "@example.com>";
  }
};

std::string Pop3Message(int n) {
  return "From: a@example.com\r\nSubject: message " + std::to_string(n) + "\r\nMessage-ID: <" +
         std::to_string(n) + "@test>\r\n\r\nbody " + std::to_string(n) + "\r\n.dot line\r\n";
}

TEST_F(ServerTest, Pop3StatListTopRetrDele) {
  const std::vector<std::string> messages = {Pop3Message(1), Pop3Message(2), Pop3Message(3)};
  servers->MakeMailbox("pop-basic", messages);
  Pop3Client c;
  SetUpPop3(c, "pop-basic");
  c.Connect();
  EXPECT_EQ(c.Stat(), 3);
  EXPECT_EQ(c.List(2), static_cast<long long>(messages[1].size()));
  ParsedMessage m;
  c.Top(1, m);
  EXPECT_EQ(m.MessageId(), "<1@test>");
  EXPECT_EQ(m.BodyText(), "");
  c.Retrieve(2, m);
  EXPECT_EQ(m.HeaderValue("Subject"), "message 2");
  EXPECT_EQ(m.BodyText(), "body 2\r\n.dot line\r\n");
  std::vector<std::string> lines;
  c.RetrieveRaw(3, lines);
  EXPECT_EQ(lines, SplitLines(messages[2]));
  c.Delete(3);
  c.Disconnect();
  EXPECT_FALSE(c.IsConnected());

  c.Connect();
  EXPECT_EQ(c.Stat(), 2);
  EXPECT_THROW(c.Retrieve(3, m), ProtocolError);  // deleted: "-ERR"
  EXPECT_TRUE(c.IsConnected());
  c.Disconnect();
}

TEST_F(ServerTest, Pop3LogInFailure) {
  servers->MakeMailbox("pop-login", {});
  Pop3Client c;
  SetUpPop3(c, "pop-login");
  c.password = "wrong";
  try {
    c.Connect();
    ADD_FAILURE() << "logged in with a wrong password";
  } catch (const ProtocolError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Authentication);
    EXPECT_EQ(e.server_reply().substr(0, 4), "-ERR") << e.server_reply();
  }
  EXPECT_FALSE(c.IsConnected());
  c.password = "secret";
  c.Connect();
  EXPECT_EQ(c.Stat(), 0);
  c.Disconnect();
}

TEST_F(ServerTest, Pop3ImplicitTls) {
  servers->MakeMailbox("pop-tls", {Pop3Message(1)});
  Pop3Client c;
  SetUpPop3(c, "pop-tls", true);
  c.Connect();
  EXPECT_EQ(c.Stat(), 1);
  ParsedMessage m;
  c.Retrieve(1, m);
  EXPECT_EQ(m.MessageId(), "<1@test>");
  c.Disconnect();

  // TLS against the plain port fails cleanly.
  c.port = servers->Port("POP3_PORT");
  try {
    c.Connect();
    ADD_FAILURE() << "TLS with a plain server";
  } catch (const ProtocolError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Tls);
  }
  EXPECT_FALSE(c.IsConnected());
}

TEST_F(ServerTest, UnverifiedCertificateIsRefusedUntilTrusted) {
  servers->MakeMailbox("pop-trust", {Pop3Message(1)});
  test::TempDir root;
  Pop3Client c;
  SetUpPop3(c, "pop-trust", true);
  c.options().ca_file.clear();  // the system's store knows nothing of the test CA
  c.options().mail_root = root.path();
  const std::string fingerprint = Fingerprint(servers->Get("STATE") + "/certs/server.pem");
  try {
    c.Connect();
    FAIL() << "connected without verification";
  } catch (const CertificateError& e) {
    EXPECT_EQ(e.fingerprint(), fingerprint);
    EXPECT_EQ(e.host(), "localhost");
    EXPECT_FALSE(e.reason().empty());
    EXPECT_NE(CertificateQuestion(e).find(fingerprint), std::string::npos);
  }
  EXPECT_FALSE(c.IsConnected());

  // Another certificate trusted for this server does not help; this one does.
  TrustCertificate(root.path(), "localhost", c.port, Fingerprint(servers->Get("OTHER_CERT")));
  EXPECT_THROW(c.Connect(), CertificateError);
  TrustCertificate(root.path(), "localhost", c.port, fingerprint);
  c.Connect();
  EXPECT_EQ(c.Stat(), 1);
  c.Disconnect();
  // Trust is per host and port.
  c.port = servers->Port("POP3S_PORT");
  c.host = "127.0.0.1";
  EXPECT_THROW(c.Connect(), CertificateError);
}

TEST_F(ServerTest, SendThroughStartTlsAuthLoginAndPipelining) {
  test::TempDir dir;
  std::string binary;
  std::mt19937 rng(7);
  for (int i = 0; i < 100000; ++i) binary += static_cast<char>(rng());
  std::ofstream(dir.path() / "data.bin", std::ios::binary) << binary;
  std::ofstream(dir.path() / "note.txt", std::ios::binary) << "note\r\n";

  const std::string id = UniqueId();
  OutgoingMessage m;
  m.SetHeader("Message-ID", id);
  m.AddRawHeaderLine("X-Mailer:PlumexVer5.0");
  m.from = "\"=?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?=\"<me@example.com>";
  m.to = "b@example.com";
  m.cc = "c@example.com";
  m.bcc = "d@example.com";
  m.subject = "Re: =?ISO-2022-JP?B?GyRCJEgbKEI=?=";
  m.priority = OutgoingMessage::Priority::High;
  m.date = std::time(nullptr);
  m.text = "\x1B$B$3$s$K$A$O\x1B(B\r\n.dot\r\n";
  m.attachments.push_back({dir.path() / "data.bin", "data.bin"});
  m.attachments.push_back({dir.path() / "note.txt", "=?ISO-2022-JP?B?GyRCJEgbKEI=?=.txt"});

  SmtpClient c;
  c.options().ca_file = servers->Get("CA_FILE");
  c.user_name = "sender";
  c.password = "secret";
  c.Connect("localhost", servers->Port("SMTP_PORT"), true);
  EXPECT_TRUE(c.pipelining());
  c.Authenticate();
  c.Send(m);
  c.Disconnect();

  const auto file = servers->WaitForDelivered(id);
  ASSERT_FALSE(file.empty()) << "not delivered";
  const auto seen = test::ParseSentMail(file);
  EXPECT_THAT(seen, Contains("subject: \"Re: と\""));
  EXPECT_THAT(seen, Contains("from: \"テスト <me@example.com>\""));
  EXPECT_THAT(seen, Contains("to: \"b@example.com\""));
  EXPECT_THAT(seen, Contains("cc: \"c@example.com\""));
  EXPECT_THAT(seen, Contains("has_bcc: false"));
  EXPECT_THAT(seen, Contains("x_mailer: \"PlumexVer5.0\""));
  EXPECT_THAT(seen, Contains("x_priority: \"2\""));
  EXPECT_THAT(seen, Contains("content_type: \"multipart/mixed\""));
  EXPECT_THAT(seen, Contains("body: \"こんにちは\\n.dot\\n\""));
  EXPECT_THAT(seen, Contains("charset: \"iso-2022-jp\""));
  // SHA-256 of the bytes, computed here by OpenSSL.
  auto sha = [](const std::string& data) {
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    EVP_Digest(data.data(), data.size(), md, &len, EVP_sha256(), nullptr);
    std::string hex;
    char buf[3];
    for (unsigned i = 0; i < len; ++i) {
      std::snprintf(buf, sizeof buf, "%02x", md[i]);
      hex += buf;
    }
    return hex;
  };
  EXPECT_THAT(seen, Contains("attachments: [{\"name\": \"data.bin\", \"sha256\": \"" + sha(binary) +
                             "\"}, {\"name\": \"と.txt\", \"sha256\": \"" + sha("note\r\n") + "\"}]"));
}

TEST_F(ServerTest, SubmissionRefusesAWrongPasswordAndUnverifiedCertificate) {
  SmtpClient c;
  c.options().ca_file = servers->Get("CA_FILE");
  c.user_name = "sender";
  c.password = "wrong";
  c.Connect("localhost", servers->Port("SMTP_PORT"), true);
  try {
    c.Authenticate();
    ADD_FAILURE() << "no error";
  } catch (const ProtocolError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Authentication);
    EXPECT_EQ(e.server_reply().substr(0, 3), "535") << e.server_reply();
  }
  c.Disconnect();

  SmtpClient untrusted;
  untrusted.user_name = "sender";
  untrusted.password = "secret";
  untrusted.Connect("localhost", servers->Port("SMTP_PORT"), true);
  EXPECT_THROW(untrusted.Authenticate(), CertificateError);
  EXPECT_FALSE(untrusted.IsConnected());
}

TEST_F(ServerTest, PlainServerWithoutPipeliningRefusesARecipientThenSends) {
  SmtpClient c;
  c.Connect("127.0.0.1", servers->Port("SMTP_PLAIN_PORT"), false);
  EXPECT_FALSE(c.pipelining());
  OutgoingMessage m;
  m.from = "me@example.com";
  m.to = "b@example.com, x@refused.example";
  m.subject = "refused";
  m.text = "x\r\n";
  try {
    c.Send(m);
    ADD_FAILURE() << "no error";
  } catch (const ProtocolError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::ServerRefusal);
    EXPECT_EQ(e.server_reply().substr(0, 3), "550") << e.server_reply();
  }
  const std::string id = UniqueId();
  m.SetHeader("Message-ID", id);
  m.to = "b@example.com";
  m.subject = "after the refusal";
  c.Send(m);
  c.Disconnect();
  const auto file = servers->WaitForDelivered(id);
  ASSERT_FALSE(file.empty());
  EXPECT_THAT(test::ParseSentMail(file), Contains("subject: \"after the refusal\""));
}

TEST_F(ServerTest, TlsWantedButNotOffered) {
  SmtpClient c;
  c.user_name = "sender";
  c.password = "secret";
  c.Connect("127.0.0.1", servers->Port("SMTP_PLAIN_PORT"), true);
  try {
    c.Authenticate();
    ADD_FAILURE() << "no error";
  } catch (const ProtocolError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Tls);
  }
  EXPECT_FALSE(c.IsConnected());
}

}  // namespace
}  // namespace plumex
