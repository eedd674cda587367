"""Shared pieces of the Python tests of plumex-cli: the servers of tests/servers, a mailbox,
the tool itself, and Account.ini (code page 932, CR LF)."""
import os
import subprocess
import tempfile
import time
import unittest
import urllib.parse
import urllib.request


def servers():
    base = os.environ.get("PLUMEX_TEST_SERVERS")
    if not base or not os.path.exists(os.path.join(base, "servers.env")):
        raise unittest.SkipTest("PLUMEX_TEST_SERVERS is not set")
    env = {}
    with open(os.path.join(base, "servers.env")) as f:
        for line in f:
            key, _, value = line.strip().partition("=")
            env[key] = value
    return env


def put_message(srv, user, subject):
    """A message for user's POP3 mailbox (maildir new/), readable and movable by Dovecot."""
    maildir = os.path.join(srv["STATE"], "home", user, "Maildir")
    for sub in ("cur", "new", "tmp"):
        os.makedirs(os.path.join(maildir, sub), exist_ok=True)
        os.chmod(os.path.join(maildir, sub), 0o777)
    for d in (os.path.join(srv["STATE"], "home", user), maildir):
        os.chmod(d, 0o777)
    name = "%d.%d.test" % (time.time_ns(), os.getpid())
    text = ("Message-ID: <%s@test>\r\nFrom: a@example.jp\r\nTo: %s@example.jp\r\nSubject: %s\r\n"
            "Date: Tue, 08 Sep 2009 12:34:56 +0900\r\n\r\nbody\r\n" % (name, user, subject))
    path = os.path.join(maildir, "new", name)
    with open(path, "w") as f:
        f.write(text)
    os.chmod(path, 0o666)


class Cli:
    def __init__(self, program, root, env=None):
        self.program = program
        self.root = root
        self.env = dict(os.environ)
        self.env.update(env or {})

    def run(self, *args, stdin=""):
        p = subprocess.run([self.program, "--root", self.root, *args], input=stdin, capture_output=True,
                           text=True, env=self.env, timeout=120)
        return p.returncode, p.stdout, p.stderr

    def sign_in(self, name):
        """account signin NAME --no-browser, with the browser's part played here: the
        authorization URL is opened and its redirect followed to the tool's loopback address."""
        p = subprocess.Popen([self.program, "--root", self.root, "account", "signin", name, "--no-browser"],
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, env=self.env)
        url = p.stdout.readline().strip()
        page = ""
        if url.startswith("http"):
            try:
                page = urllib.request.urlopen(url, timeout=30).read().decode("utf-8")
            except Exception as e:  # the tool's answer to a refusal may be an error page
                page = str(e)
        out, err = p.communicate(timeout=60)
        return p.returncode, url, page, out, err


def records(root):
    path = os.path.join(root, "Account.ini")
    with open(path, "rb") as f:
        text = f.read().decode("cp932")
    return [line.split("\t") for line in text.split("\r\n") if line]


def idp(srv, path, **form):
    url = "http://127.0.0.1:%s%s" % (srv["IDP_PORT"], path)
    data = urllib.parse.urlencode(form).encode() if form else None
    return urllib.request.urlopen(url, data, timeout=10).read().decode()


def temp_root(test):
    d = tempfile.TemporaryDirectory()
    test.addCleanup(d.cleanup)
    return d.name


class HidingProxy:
    """A plain-text proxy on a loopback port in front of a server that takes one SASL
    mechanism out of what the server offers (POP3 "SASL ..." and SMTP "AUTH ..." lines), so a
    client meets a server without it. Only for connections without TLS."""

    def __init__(self, port, hidden):
        import socket
        import threading
        self.target = int(port)
        self.hidden = hidden.encode()
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(8)
        self.port = self.listener.getsockname()[1]
        threading.Thread(target=self.accept, daemon=True).start()

    def accept(self):
        import socket
        import threading
        while True:
            try:
                client, _ = self.listener.accept()
            except OSError:
                return
            server = socket.create_connection(("127.0.0.1", self.target))
            threading.Thread(target=self.pipe, args=(client, server, False), daemon=True).start()
            threading.Thread(target=self.pipe, args=(server, client, True), daemon=True).start()

    def pipe(self, src, dst, from_server):
        buffer = b""
        try:
            while True:
                data = src.recv(65536)
                if not data:
                    break
                if not from_server:
                    dst.sendall(data)
                    continue
                buffer += data
                *lines, buffer = buffer.split(b"\n")
                out = b""
                for line in lines:
                    if line.upper().startswith((b"SASL ", b"250-AUTH", b"250 AUTH")):
                        line = line.replace(b" " + self.hidden, b"")
                    out += line + b"\n"
                dst.sendall(out)
        except OSError:
            pass
        finally:
            for s in (src, dst):
                try:
                    s.shutdown(2)
                except OSError:
                    pass

    def close(self):
        self.listener.close()
