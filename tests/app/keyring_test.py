"""plumex-cli keeps passwords in the desktop keyring: a GNOME Keyring started here, unlocked, on
the session bus of the dbus-run-session this test runs under. Account.ini then holds no
secret, secret-tool finds it, a receive logs in with it (and --debug shows it masked), a locked
keyring is a clear failure that sends nothing, and without a Secret Service the password stays
in Account.ini with a notice given once.
Usage: dbus-run-session -- keyring_test.py PLUMEX_CLI"""
import os
import shutil
import subprocess
import sys
import unittest

import cli_support as support

CLI = None


def unlock_keyring():
    """Starts the daemon anew with the keyring's password: the "login" keyring is unlocked."""
    out = subprocess.run(["gnome-keyring-daemon", "--replace", "--unlock", "--components=secrets"],
                         input="keyring-test", capture_output=True, text=True, timeout=30).stdout
    for line in out.splitlines():
        key, _, value = line.partition("=")
        if key and value:
            os.environ[key] = value


def start_keyring(home):
    for program, package in (("gnome-keyring-daemon", "gnome-keyring"), ("secret-tool", "libsecret-tools")):
        if not shutil.which(program):
            raise RuntimeError("%s is missing (package %s; scripts/install-deps.sh test)" % (program, package))
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        raise RuntimeError("run this test under dbus-run-session")
    os.environ["HOME"] = home
    os.environ["XDG_DATA_HOME"] = os.path.join(home, ".local", "share")
    os.environ["XDG_RUNTIME_DIR"] = home
    # A non-empty password creates the "login" keyring unlocked, with no prompt.
    out = subprocess.run(["gnome-keyring-daemon", "--unlock", "--components=secrets"], input="keyring-test",
                         capture_output=True, text=True, timeout=30).stdout
    for line in out.splitlines():
        key, _, value = line.partition("=")
        if key and value:
            os.environ[key] = value


class KeyringTest(unittest.TestCase):
    def setUp(self):
        self.srv = support.servers()
        self.root = support.temp_root(self)
        self.cli = support.Cli(CLI, self.root, {"SSL_CERT_FILE": self.srv["CA_FILE"]})
        self.user = "kr%d%d" % (os.getpid(), support.time.time_ns() % 1000000)

    def add(self, name):
        status, _, err = self.cli.run("account", "add", name, "--pop", "127.0.0.1:" + self.srv["POP3_PORT"],
                                      "--smtp", "127.0.0.1:" + self.srv["SMTP_PORT"], "--user", self.user,
                                      "--address", self.user + "@example.jp", "--ssl")
        self.assertEqual(status, 0, err)

    def lookup(self, name, kind="password"):
        return subprocess.run(["secret-tool", "lookup", "store", os.path.realpath(self.root), "account", name,
                               "kind", kind], capture_output=True, text=True, timeout=30).stdout

    def test_oauth2_tokens_go_to_the_keyring(self):
        idp = "http://127.0.0.1:%s" % self.srv["IDP_PORT"]
        status, _, err = self.cli.run(
            "account", "add", "oa", "--pop", "127.0.0.1:" + self.srv["POP3_PORT"], "--smtp",
            "127.0.0.1:" + self.srv["SMTP_PORT"], "--user", self.user, "--address", self.user + "@example.jp",
            "--ssl", "--auth", "oauth2", "--client-id", "plumex-test", "--authorize-url", idp + "/authorize",
            "--token-url", idp + "/token")
        self.assertEqual(status, 0, err)
        status, url, page, out, err = self.cli.sign_in("oa")
        self.assertEqual(status, 0, err)
        record = support.records(self.root)[0]
        self.assertEqual(record[3], "")
        self.assertEqual(record[12:14], ["oauth2", "keyring"])
        refresh = self.lookup("oa", "refresh-token")
        self.assertTrue(refresh.startswith("rt-"), refresh)
        self.assertFalse(os.path.exists(os.path.join(self.root, "受信", "oa", "OAuthToken.ini")))
        support.put_message(self.srv, self.user, "oauth from the keyring")
        status, out, err = self.cli.run("--debug", "receive", "--account", "oa")
        self.assertEqual(status, 0, err)
        self.assertNotIn(refresh, err)
        self.assertNotIn(self.lookup("oa", "access-token").partition(" ")[2], err)

    def test_the_password_goes_to_the_keyring_and_is_used_from_there(self):
        self.add("kr")
        status, _, err = self.cli.run("account", "password", "kr", stdin="secret\n")
        self.assertEqual(status, 0, err)
        record = support.records(self.root)[0]
        self.assertEqual(record[3], "")
        self.assertEqual(record[13], "keyring")
        self.assertEqual(self.lookup("kr"), "secret")
        self.assertIn("\tkeyring", self.cli.run("account", "list")[1])

        support.put_message(self.srv, self.user, "from the keyring")
        status, out, err = self.cli.run("--debug", "receive", "--account", "kr")
        self.assertEqual(status, 0, err)
        self.assertIn("新着メールは1件です。", out)
        self.assertIn("C: PASS ****", err)
        self.assertNotIn("secret", err)

        # Locked: a clear failure, and no password goes to the server.
        subprocess.run(["secret-tool", "lock", "--collection=login"], capture_output=True, timeout=30)
        self.addCleanup(unlock_keyring)
        if self.lookup("kr") == "secret":
            self.skipTest("secret-tool could not lock the keyring")
        status, out, err = self.cli.run("--debug", "receive", "--account", "kr")
        self.assertEqual(status, 1)
        self.assertIn("キーリング", err)
        self.assertNotIn("C: PASS", err)

    def test_without_a_secret_service_the_password_stays_in_the_file_with_one_notice(self):
        self.add("plain")
        nobus = dict(self.cli.env, DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent/bus")
        cli = support.Cli(CLI, self.root, nobus)
        status, _, err = cli.run("account", "password", "plain", stdin="pw1\n")
        self.assertEqual(status, 0, err)
        self.assertIn("キーリング(Secret Service)が見つからない", err)
        record = support.records(self.root)[0]
        self.assertEqual(record[3], "pw1")
        self.assertEqual(len(record), 12)
        status, _, err = cli.run("account", "password", "plain", stdin="pw2\n")
        self.assertEqual(status, 0, err)
        self.assertNotIn("Secret Service", err)  # said once
        self.assertEqual(support.records(self.root)[0][3], "pw2")

        # With the keyring back, the next save moves the password there.
        status, _, err = self.cli.run("account", "password", "plain", stdin="pw3\n")
        self.assertEqual(status, 0, err)
        self.assertEqual(support.records(self.root)[0][3], "")
        self.assertEqual(self.lookup("plain"), "pw3")


if __name__ == "__main__":
    CLI = sys.argv.pop(1)
    home = support.tempfile.mkdtemp()
    try:
        start_keyring(home)
        result = unittest.main(exit=False).result
    finally:
        shutil.rmtree(home, ignore_errors=True)
    sys.exit(0 if result.wasSuccessful() else 1)
