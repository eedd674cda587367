// Who really sent a message: Authentication-Results of the trusted authserv-id, S/MIME
// signatures from a throwaway CA made here with OpenSSL, display names showing another
// address, and the one line plumex-cli and the header pane show.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "receive/sender_trust.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

TEST(SenderTrust, TheTrustedAuthservIdComesFromThePop3Host) {
  const std::pair<const char*, const char*> cases[] = {
      {"pop.example.jp", "example.jp"},        {"pop.mail.example.co.jp", "mail.example.co.jp"},
      {"POP.Example.JP.", "example.jp"},       {"example.jp", "example.jp"},
      {"localhost", "localhost"},              {"192.0.2.1", ""},
      {"[2001:db8::1]", ""},                    {"", ""}};
  for (const auto& [host, id] : cases) EXPECT_EQ(TrustedAuthservId(host), id) << host;
  EXPECT_TRUE(IsTrustedAuthservId("mx3.EXAMPLE.jp", "example.jp"));
  EXPECT_FALSE(IsTrustedAuthservId("badexample.jp", "example.jp"));
  EXPECT_FALSE(IsTrustedAuthservId("example.jp.evil.example", "example.jp"));
  EXPECT_FALSE(IsTrustedAuthservId("example.jp", ""));
}

TEST(SenderTrust, AnAccountMaySetItsOwnAuthservId) {
  test::TempDir dir;
  EXPECT_EQ(AccountAuthservId(dir.path(), "pop.isp.example"), "isp.example");
  WriteLines(dir.path() / kAuthservIdFileName, {"", " MX.Provider.Example "});
  EXPECT_EQ(AccountAuthservId(dir.path(), "pop.isp.example"), "mx.provider.example");
}

struct AuthCase {
  const char* name;
  std::vector<std::string> header;
  const char* dmarc;
  const char* dkim;
  const char* spf;
};

TEST(SenderTrust, AuthenticationResultsOfTheTrustedIdOnly) {
  const AuthCase cases[] = {
      {"trusted pass",
       {"Received: by mx.example.jp", "Authentication-Results: mx.example.jp;",
        "\tdkim=pass header.d=bank.example header.s=s1;", "\tspf=pass smtp.mailfrom=bank.example;",
        "\tdmarc=pass (p=REJECT sp=REJECT) header.from=bank.example", "From: a@bank.example"},
       "pass", "pass", "pass"},
      {"trusted fail; softfail, neutral and temperror are none",
       {"Authentication-Results: mx.example.jp; spf=softfail smtp.mailfrom=x; dkim=fail; dmarc=fail"}, "fail", "fail",
       "none"},
      {"neutral, temperror, permerror and policy are none",
       {"Authentication-Results: mx.example.jp; spf=neutral; dkim=temperror; dmarc=permerror"}, "none", "none", "none"},
      {"a forged field below the trusted one is ignored",
       {"Authentication-Results: mx.example.jp; dmarc=fail; spf=fail", "Received: from evil by mx.example.jp",
        "Authentication-Results: mx.example.jp; dmarc=pass; dkim=pass; spf=pass"},
       "fail", "none", "fail"},
      {"directly below, too",
       {"Authentication-Results: mx.example.jp; dmarc=fail", "Authentication-Results: mx.example.jp; dmarc=pass"},
       "fail", "none", "none"},
      {"another authserv-id is ignored",
       {"Authentication-Results: mx.evil.example; dmarc=pass; dkim=pass; spf=pass",
        "Authentication-Results: example.jp.evil.example; dmarc=pass"},
       "none", "none", "none"},
      {"the trusted field below another id counts",
       {"Authentication-Results: mx.evil.example; dmarc=pass", "Authentication-Results: example.jp; dmarc=fail"},
       "fail", "none", "none"},
      {"none", {"Authentication-Results: mx.example.jp; none"}, "none", "none", "none"},
      {"no field at all", {"Subject: hi"}, "none", "none", "none"},
      {"comments, quoted id, version, method version",
       {"Authentication-Results: (front; comment) \"MX.example.jp\" 1; (note; dmarc=fail) dkim/1=pass (good (nested) sig) "
        "header.i=@bank.example; spf = pass"},
       "none", "pass", "pass"},
      {"one passing DKIM signature of several",
       {"Authentication-Results: mx.example.jp; dkim=fail header.d=a.example; dkim=pass header.d=b.example"}, "none",
       "pass", "none"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const AuthResults r = ReadAuthenticationResults(c.header, "example.jp");
    EXPECT_STREQ(VerdictName(r.dmarc), c.dmarc);
    EXPECT_STREQ(VerdictName(r.dkim), c.dkim);
    EXPECT_STREQ(VerdictName(r.spf), c.spf);
  }
}

TEST(SenderTrust, DisplayNamesShowingAnotherAddress) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"support@bank.example", "x@evil.example", "support@bank.example"},
      {"銀行 サポート（support@bank.example）", "x@evil.example", "support@bank.example"},
      {"support＠bank.example", "x@evil.example", "support@bank.example"},
      {"X@Evil.Example", "x@evil.example", ""},  // the same address
      {"山田 太郎", "x@evil.example", ""},
      {"@home", "x@evil.example", ""},
  };
  for (const auto& [name, address, shown] : cases)
    EXPECT_EQ(AddressInDisplayName(Utf8ToCp932(name), address), shown) << name;
}

TEST(SenderTrust, TheLineForPlumexCliAndTheHeaderPane) {
  const std::string raw =
      "Authentication-Results: mx.example.jp; dmarc=fail header.from=evil.example; spf=softfail\r\n"
      "From: \"support@bank.example\" <x@evil.example>\r\nSubject: hi\r\n\r\nbody\r\n";
  const SenderTrust t = EvaluateSenderTrust(raw, "example.jp");
  EXPECT_EQ(LevelOf(t), TrustLevel::Warning);
  EXPECT_EQ(Cp932ToUtf8(TrustLine(t)),
            "送信者確認: dmarc=fail; dkim=none; spf=none; smime=none; from=x@evil.example "
            "差出人のドメインevil.exampleは送信ドメイン認証（DMARC）に失敗しました。なりすましの恐れがあります。"
            "表示名に別のアドレス（support@bank.example）が書かれていますが、実際の差出人はx@evil.exampleです。");
  // Kept in the message file and read back, also from the line the header pane shows.
  EXPECT_EQ(Cp932ToUtf8(TrustHeaderLine(t)),
            "送信者確認:dmarc=fail; dkim=none; spf=none; smime=none; from=x@evil.example; name=support@bank.example");
  EXPECT_EQ(StoredTrust({"Message-ID:<a@b>", TrustHeaderLine(t)}), t);
  const auto from_pane = StoredTrust({TrustLineShown(TrustHeaderLine(t))});
  ASSERT_TRUE(from_pane);
  EXPECT_EQ(from_pane->dmarc, AuthVerdict::Fail);
  EXPECT_EQ(from_pane->from, "x@evil.example");
  EXPECT_FALSE(StoredTrust({"Message-ID:<a@b>"}));

  SenderTrust good;
  good.dmarc = good.dkim = good.spf = AuthVerdict::Pass;
  good.from = "info@bank.example";
  EXPECT_EQ(LevelOf(good), TrustLevel::Good);
  EXPECT_EQ(Cp932ToUtf8(TrustLine(good)),
            "送信者確認: dmarc=pass; dkim=pass; spf=pass; smime=none; from=info@bank.example "
            "差出人のドメインbank.exampleは送信ドメイン認証（DMARC）に合格しています。");
}

// --- S/MIME ----------------------------------------------------------------------------

class Smime : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempDir;
    const auto d = dir_->path();
    std::ofstream(d / "ext.cnf") << "subjectAltName=email:copy\nkeyUsage=digitalSignature\nextendedKeyUsage=emailProtection\n";
    std::ofstream(d / "content.txt") << "Content-Type: text/plain; charset=us-ascii\r\n\r\nお振込みのご案内です。\r\n";
    MakeCa("ca", "Trusted Test CA");
    MakeCa("other", "Unknown Test CA");
    MakeSigner("bank", "ca", "bank@bank.example");
    MakeSigner("stranger", "other", "bank@bank.example");
    signed_by_bank_ = Sign("bank");
    signed_by_stranger_ = Sign("stranger");
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    ::setenv("SSL_CERT_FILE", (dir_->path() / "ca.pem").c_str(), 1);
    ::setenv("SSL_CERT_DIR", (dir_->path() / "no-such-dir").c_str(), 1);
  }

  static void Run(const std::string& command) {
    const std::string line = "cd '" + dir_->path().string() + "' && " + command + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(line.c_str()), 0) << command;
  }
  static void MakeCa(const std::string& name, const std::string& cn) {
    Run("openssl req -x509 -newkey rsa:2048 -nodes -keyout " + name + ".key -out " + name + ".pem -days 2 -subj '/CN=" +
        cn + "' -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign");
  }
  static void MakeSigner(const std::string& name, const std::string& ca, const std::string& email) {
    Run("openssl req -newkey rsa:2048 -nodes -keyout " + name + ".key -out " + name + ".csr -subj '/CN=" + name +
        "/emailAddress=" + email + "'");
    Run("openssl x509 -req -in " + name + ".csr -CA " + ca + ".pem -CAkey " + ca + ".key -CAcreateserial -out " + name +
        ".pem -days 2 -extfile ext.cnf");
  }
  static std::string Sign(const std::string& signer) {
    Run("openssl cms -sign -in content.txt -signer " + signer + ".pem -inkey " + signer +
        ".key -from bank@bank.example -to me@example.jp -subject test -out " + signer + ".eml");
    return ReadFileBytes(dir_->path() / (signer + ".eml")).value_or("");
  }
  static std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
      text.replace(at, from.size(), to);
    return text;
  }
  static SmimeStatus Status(const std::string& raw) { return EvaluateSenderTrust(raw, "example.jp").smime; }

  static test::TempDir* dir_;
  static std::string signed_by_bank_, signed_by_stranger_;
};

test::TempDir* Smime::dir_ = nullptr;
std::string Smime::signed_by_bank_, Smime::signed_by_stranger_;

TEST_F(Smime, SignaturesAreTrustedOnlyWithATrustedChainAndTheSignerAsFrom) {
  ASSERT_NE(signed_by_bank_.find("multipart/signed"), std::string::npos);
  const std::string changed_from = Replace(signed_by_bank_, "From: bank@bank.example", "From: bank@bank-example.example");
  const std::string changed_body = Replace(signed_by_bank_, "お振込み", "お振替え");
  ASSERT_NE(changed_body, signed_by_bank_);
  const std::pair<const char*, std::pair<std::string, SmimeStatus>> cases[] = {
      {"good and trusted via the test CA file", {signed_by_bank_, SmimeStatus::Trusted}},
      {"LF line ends as a file may keep them", {Replace(signed_by_bank_, "\r\n", "\n"), SmimeStatus::Trusted}},
      {"application/pkcs7-signature",
       {Replace(signed_by_bank_, "application/x-pkcs7-signature", "application/pkcs7-signature"), SmimeStatus::Trusted}},
      {"application/x-pkcs7-signature",
       {Replace(signed_by_bank_, "application/pkcs7-signature", "application/x-pkcs7-signature"), SmimeStatus::Trusted}},
      {"a CA nobody trusts", {signed_by_stranger_, SmimeStatus::Untrusted}},
      {"body changed", {changed_body, SmimeStatus::Invalid}},
      {"signer not From", {changed_from, SmimeStatus::Mismatch}},
      {"invalid beats mismatch",
       {Replace(changed_body, "From: bank@bank.example", "From: x@evil.example"), SmimeStatus::Invalid}},
      {"mismatch beats untrusted",
       {Replace(signed_by_stranger_, "From: bank@bank.example", "From: x@evil.example"), SmimeStatus::Mismatch}},
      {"no signature", {"From: bank@bank.example\r\nSubject: x\r\n\r\nbody\r\n", SmimeStatus::None}},
  };
  for (const auto& [name, c] : cases) EXPECT_STREQ(SmimeStatusName(Status(c.first)), SmimeStatusName(c.second)) << name;
}

TEST_F(Smime, TheSystemStoreDecides) {
  // Without the test CA in the store the same good signature is only untrusted.
  ::setenv("SSL_CERT_FILE", (dir_->path() / "other.pem").c_str(), 1);
  EXPECT_EQ(Status(signed_by_bank_), SmimeStatus::Untrusted);
  EXPECT_EQ(Status(signed_by_stranger_), SmimeStatus::Trusted);
  SenderTrust t = EvaluateSenderTrust(signed_by_stranger_, "example.jp");
  EXPECT_EQ(LevelOf(t), TrustLevel::Good);
  EXPECT_NE(Cp932ToUtf8(TrustLine(t)).find("smime=trusted; from=bank@bank.example "), std::string::npos);
  EXPECT_NE(Cp932ToUtf8(TrustLine(t)).find("署名あり・信頼できる"), std::string::npos);
}

}  // namespace
}  // namespace plumex
