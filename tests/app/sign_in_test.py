"""plumex-cli with OAuth2 against Dovecot's oauth2 passdb and the fake identity provider of
tests/servers: sign-in with PKCE on a loopback redirect, POP3 (STLS) and submission (STARTTLS)
with OAUTHBEARER, tokens refreshed before they run out and after a refusal, a revoked refresh
token, an administrator's approval. No Secret Service here: the tokens stay in the account
folder's 0600 file. Usage: sign_in_test.py PLUMEX_CLI"""
import json
import os
import stat
import sys
import time
import unittest

import cli_support as support

CLI = None


class SignInTest(unittest.TestCase):
    def setUp(self):
        self.srv = support.servers()
        self.root = support.temp_root(self)
        self.cli = support.Cli(CLI, self.root, {"SSL_CERT_FILE": self.srv["CA_FILE"],
                                                "DBUS_SESSION_BUS_ADDRESS": "unix:path=/nonexistent/bus"})
        self.user = "oauth%d%d" % (os.getpid(), time.time_ns() % 1000000)
        support.idp(self.srv, "/control", lifetime="3600")
        self.addCleanup(support.idp, self.srv, "/control", lifetime="3600")
        # The token endpoint over HTTPS (the test CA), the authorization page over HTTP.
        idp = "http://127.0.0.1:%s" % self.srv["IDP_PORT"]
        token = "https://localhost:%s/token" % self.srv["IDPS_PORT"]
        status, _, err = self.cli.run(
            "account", "add", "oa", "--pop", "127.0.0.1:" + self.srv["POP3_PORT"],
            "--smtp", "127.0.0.1:" + self.srv["SMTP_PORT"], "--user", self.user, "--address",
            self.user + "@example.jp", "--ssl", "--auth", "oauth2", "--provider", "custom",
            "--client-id", "plumex-test", "--client-secret", "not-so-secret", "--authorize-url", idp + "/authorize",
            "--token-url", token,
            "--scope", "mail offline_access")
        self.assertEqual(status, 0, err)

    def stats(self):
        return json.loads(support.urllib.request.urlopen(
            "http://127.0.0.1:%s/stats" % self.srv["IDP_PORT"], timeout=10).read())

    def token_file(self):
        return os.path.join(self.root, "受信", "oa", "OAuthToken.ini")

    def tokens(self):
        with open(self.token_file()) as f:
            return dict(line.rstrip("\r\n").split(":", 1) for line in f if ":" in line)

    def sign_in(self):
        status, url, page, out, err = self.cli.sign_in("oa")
        self.assertEqual(status, 0, err)
        self.assertIn("code_challenge_method=S256", url)
        self.assertIn("redirect_uri=http%3A%2F%2F127.0.0.1%3A", url)
        self.assertIn("サインインが完了しました", page)

    def receive(self, *extra):
        support.put_message(self.srv, self.user, "hello")
        return self.cli.run(*extra, "receive", "--account", "oa")

    def test_sign_in_then_receive_over_stls_and_send_with_oauthbearer(self):
        self.sign_in()
        record = support.records(self.root)[0]
        self.assertEqual(record[3], "")           # no secret in Account.ini
        self.assertEqual(record[12:14], ["oauth2", "file"])
        self.assertEqual(stat.S_IMODE(os.stat(self.token_file()).st_mode), 0o600)
        tokens = self.tokens()
        self.assertTrue(tokens["refresh"].startswith("rt-"))

        status, out, err = self.receive("--debug")
        self.assertEqual(status, 0, err)
        self.assertIn("新着メールは1件です。", out)
        self.assertIn("C: STLS", err)
        self.assertIn("C: AUTH OAUTHBEARER ****", err)
        for secret in (tokens["access"], tokens["refresh"]):
            self.assertNotIn(secret, err)

        status, out, err = self.cli.run("--debug", "send", "--account", "oa", "--to", "to@example.jp",
                                        "--subject", "oauth sent " + self.user, stdin="body\n")
        self.assertEqual(status, 0, err)
        self.assertIn("C: STARTTLS", err)
        self.assertIn("C: AUTH OAUTHBEARER ****", err)
        self.assertNotIn(tokens["access"], err)
        new = os.path.join(self.srv["SMTP_MAILDIR"], "new")
        sent = []
        for n in os.listdir(new):
            with open(os.path.join(new, n), errors="replace") as f:
                if ("oauth sent " + self.user) in f.read():
                    sent.append(n)
        self.assertEqual(len(sent), 1)

    def test_xoauth2_where_the_server_offers_no_oauthbearer(self):
        # Plain connections (the account has no TLS at all), through a proxy that hides OAUTHBEARER.
        pop = support.HidingProxy(self.srv["POP3_PORT"], "OAUTHBEARER")
        smtp = support.HidingProxy(self.srv["SMTP_PORT"], "OAUTHBEARER")
        self.addCleanup(pop.close)
        self.addCleanup(smtp.close)
        idp = "http://127.0.0.1:%s" % self.srv["IDP_PORT"]
        status, _, err = self.cli.run(
            "account", "add", "x2", "--pop", "127.0.0.1:%d" % pop.port, "--smtp", "127.0.0.1:%d" % smtp.port,
            "--user", self.user, "--address", self.user + "@example.jp", "--auth", "oauth2",
            "--client-id", "plumex-test", "--authorize-url", idp + "/authorize", "--token-url", idp + "/token")
        self.assertEqual(status, 0, err)
        status, url, page, out, err = self.cli.sign_in("x2")
        self.assertEqual(status, 0, err)
        support.put_message(self.srv, self.user, "xoauth2")
        status, out, err = self.cli.run("--debug", "receive", "--account", "x2")
        self.assertEqual(status, 0, err)
        self.assertIn("C: AUTH XOAUTH2 ****", err)
        status, out, err = self.cli.run("--debug", "send", "--account", "x2", "--to", "to@example.jp",
                                        "--subject", "xoauth2 " + self.user, stdin="body\n")
        self.assertEqual(status, 0, err)
        self.assertIn("C: AUTH XOAUTH2 ****", err)

    def test_an_access_token_is_renewed_before_it_runs_out_and_once_after_a_refusal(self):
        support.idp(self.srv, "/control", lifetime="30")  # less than the minute kept in hand
        self.sign_in()
        first = self.tokens()
        before = self.stats()
        status, _, err = self.receive("--debug")
        self.assertEqual(status, 0, err)
        after = self.stats()
        self.assertEqual(after["refreshes"], before["refreshes"] + 1)
        self.assertEqual(after["rejected"], before["rejected"])  # renewed before use
        rotated = self.tokens()
        self.assertNotEqual(rotated["refresh"], first["refresh"])  # the rotated one is kept
        self.assertNotIn(rotated["access"], err)

        support.idp(self.srv, "/control", lifetime="3600")
        self.assertEqual(self.receive()[0], 0)
        support.idp(self.srv, "/control", action="reject")  # valid by its time, refused by the server
        before = self.stats()
        status, _, err = self.receive()
        self.assertEqual(status, 0, err)
        after = self.stats()
        self.assertEqual(after["rejected"], before["rejected"] + 1)
        self.assertEqual(after["refreshes"], before["refreshes"] + 1)

    def test_a_revoked_refresh_token_asks_to_sign_in_again(self):
        self.sign_in()
        support.idp(self.srv, "/control", action="reject")
        support.idp(self.srv, "/control", action="revoke")
        status, _, err = self.receive()
        self.assertEqual(status, 1)
        self.assertIn("サインインの有効期限が切れたか、取り消されました。", err)
        self.assertIn("「サインイン」をもう一度", err)
        self.sign_in()  # and signing in again mends it
        self.assertEqual(self.receive()[0], 0)

    def test_an_administrators_approval_is_explained(self):
        support.idp(self.srv, "/control", admin="1")
        status, url, page, out, err = self.cli.sign_in("oa")
        self.assertEqual(status, 1)
        self.assertIn("組織の管理者による承認が必要です", err)
        self.assertFalse(os.path.exists(self.token_file()))


if __name__ == "__main__":
    CLI = sys.argv.pop(1)
    unittest.main()
