#!/usr/bin/python3
"""A small SMTP server for the tests and the demo: takes every message and files it in a maildir.

    smtp_sink.py --port PORT --maildir DIR [--host 127.0.0.1]

It speaks plain SMTP only (EHLO/HELO, MAIL, RCPT, DATA, RSET, NOOP, VRFY, HELP, QUIT) and
advertises 8BITMIME, SMTPUTF8 and SIZE: no TLS, no AUTH and no PIPELINING, so a client meets a
server that offers none of them. Recipients at refused.example are refused at RCPT TO with 550.
Each accepted message becomes one file in DIR/new, with LF line ends and a Return-Path, one
Delivered-To per recipient and a Received line in front, the way a delivering server writes
it. The file is written in DIR/tmp and renamed into new/, so a reader never sees half of it.
Started as root, it binds its port and then runs as the owner of DIR, so that the files belong
to the mailbox's owner (the POP3 server moves them from new/ to cur/ as that user).
"""
import argparse
import asyncio
import email.utils
import itertools
import os
import re
import socket
import sys
import time

REFUSED_DOMAIN = "refused.example"
MAX_LINE = 64 * 1024          # a command or a line of the message
MAX_MESSAGE = 64 * 1024 * 1024
IDLE_SECONDS = 300
HOSTNAME = "localhost"
NOT_OFFERED = {"STARTTLS", "AUTH", "BDAT", "BURL", "EXPN", "ETRN", "TURN", "ATRN"}

_counter = itertools.count()


def log(text):
    print(time.strftime("%H:%M:%S"), text, file=sys.stderr, flush=True)


def deliver(maildir, envelope_from, recipients, helo, peer, body):
    """Writes one message to maildir/new (through tmp/) and returns its file name."""
    now = time.time()
    name = "%d.M%dP%dQ%d.%s" % (int(now), int(now * 1e6) % 1000000, os.getpid(), next(_counter),
                                socket.gethostname())
    head = "Return-Path: <%s>\n" % envelope_from
    head += "".join("Delivered-To: %s\n" % r for r in recipients)
    head += "Received: from %s ([%s])\n\tby %s with ESMTP; %s\n" % (
        helo, peer, HOSTNAME, email.utils.formatdate(now, localtime=True))
    data = head.encode("utf-8") + body.replace(b"\r\n", b"\n")
    tmp = os.path.join(maildir, "tmp", name)
    fd = os.open(tmp, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o644)
    with os.fdopen(fd, "wb") as f:
        f.write(data)
    os.chmod(tmp, 0o644)  # readable by the tests whatever the umask
    os.rename(tmp, os.path.join(maildir, "new", name))
    return name


PATH_RE = re.compile(r"^<([^<>]*)>((?: +[^ ]+)*) *$")


def parse_path(text, prefix):
    """'FROM:<a@b> BODY=8BITMIME' after the verb: (address, [params]) or None. As in RFC 5321,
    no space may follow the colon: strict servers refuse it, so a client must not send one."""
    if text[:len(prefix)].upper() != prefix:
        return None
    m = PATH_RE.match(text[len(prefix):])
    if not m:
        return None
    return m.group(1), m.group(2).split()


class Session:
    def __init__(self, reader, writer, maildir):
        self.reader = reader
        self.writer = writer
        self.maildir = maildir
        self.peer = writer.get_extra_info("peername")[0]
        self.helo = None
        self.reset()

    def reset(self):
        self.envelope_from = None
        self.recipients = []

    async def reply(self, text):
        self.writer.write(text.encode("utf-8") + b"\r\n")
        await self.writer.drain()

    async def read_line(self):
        """One line without its line end; None at the end of the connection."""
        try:
            line = await asyncio.wait_for(self.reader.readuntil(b"\n"), IDLE_SECONDS)
        except asyncio.IncompleteReadError:
            return None
        except asyncio.TimeoutError:
            await self.reply("421 4.4.2 %s idle too long, closing" % HOSTNAME)
            return None
        except asyncio.LimitOverrunError:
            await self.reply("500 5.5.2 line too long")
            return None
        return line.rstrip(b"\n").rstrip(b"\r")

    async def run(self):
        await self.reply("220 %s ESMTP test sink" % HOSTNAME)
        while True:
            line = await self.read_line()
            if line is None:
                return
            text = line.decode("utf-8", "replace")
            verb, _, arg = text.partition(" ")
            handler = getattr(self, "do_" + verb.upper(), None) if verb.isalpha() else None
            if handler is None and verb.upper() in NOT_OFFERED:
                await self.reply("502 5.5.1 %s not offered here" % verb.upper())
            elif handler is None:
                await self.reply("500 5.5.1 command not recognized")
            elif await handler(arg.strip()) is False:
                return

    async def do_EHLO(self, arg):
        if not arg:
            return await self.reply("501 5.5.4 EHLO needs a domain")
        self.helo = arg
        self.reset()
        await self.reply("250-%s hello %s\r\n250-8BITMIME\r\n250-SMTPUTF8\r\n250-ENHANCEDSTATUSCODES\r\n"
                         "250 SIZE %d" % (HOSTNAME, arg, MAX_MESSAGE))

    async def do_HELO(self, arg):
        if not arg:
            return await self.reply("501 5.5.4 HELO needs a domain")
        self.helo = arg
        self.reset()
        await self.reply("250 %s hello %s" % (HOSTNAME, arg))

    async def do_MAIL(self, arg):
        if self.helo is None:
            return await self.reply("503 5.5.1 say EHLO first")
        if self.envelope_from is not None:
            return await self.reply("503 5.5.1 nested MAIL command")
        parsed = parse_path(arg, "FROM:")
        if parsed is None:
            return await self.reply("501 5.5.4 syntax: MAIL FROM:<address>")
        address, params = parsed
        for p in params:
            key, _, value = p.upper().partition("=")
            if key == "BODY" and value in ("7BIT", "8BITMIME"):
                continue
            if key == "SMTPUTF8" and not value:
                continue
            if key == "SIZE" and value.isdigit():
                if int(value) > MAX_MESSAGE:
                    return await self.reply("552 5.3.4 message too big")
                continue
            return await self.reply("555 5.5.4 unsupported parameter %s" % p)
        self.envelope_from = address
        await self.reply("250 2.1.0 sender ok")

    async def do_RCPT(self, arg):
        if self.envelope_from is None:
            return await self.reply("503 5.5.1 need MAIL before RCPT")
        parsed = parse_path(arg, "TO:")
        if parsed is None or not parsed[0]:
            return await self.reply("501 5.5.4 syntax: RCPT TO:<address>")
        address, params = parsed
        if params:
            return await self.reply("555 5.5.4 unsupported parameter %s" % params[0])
        if address.rpartition("@")[2].lower() == REFUSED_DOMAIN:
            return await self.reply("550 5.7.1 <%s>: recipient refused" % address)
        self.recipients.append(address)
        await self.reply("250 2.1.5 recipient ok")

    async def do_DATA(self, arg):
        if not self.recipients:
            return await self.reply("503 5.5.1 need RCPT before DATA" if self.envelope_from is None
                                    else "554 5.5.1 no valid recipients")
        await self.reply("354 end data with <CR><LF>.<CR><LF>")
        lines, size, too_big = [], 0, False
        while True:
            try:
                line = await asyncio.wait_for(self.reader.readuntil(b"\n"), IDLE_SECONDS)
            except (asyncio.IncompleteReadError, asyncio.TimeoutError):
                return False
            except asyncio.LimitOverrunError:
                await self.reply("500 5.5.2 line too long")
                return False
            if line in (b".\r\n", b".\n"):
                break
            if line.startswith(b"."):
                line = line[1:]  # dot-unstuffing
            size += len(line)
            if size > MAX_MESSAGE:
                too_big = True
            elif not too_big:
                lines.append(line)
        if too_big:
            await self.reply("552 5.3.4 message too big")
        else:
            name = deliver(self.maildir, self.envelope_from, self.recipients, self.helo, self.peer,
                           b"".join(lines))
            log("delivered %s from <%s> to %s" % (name, self.envelope_from,
                                                  ", ".join("<%s>" % r for r in self.recipients)))
            await self.reply("250 2.0.0 queued as %s" % name)
        self.reset()

    async def do_RSET(self, arg):
        self.reset()
        await self.reply("250 2.0.0 reset")

    async def do_NOOP(self, arg):
        await self.reply("250 2.0.0 ok")

    async def do_VRFY(self, arg):
        await self.reply("252 2.5.2 cannot verify, but will take the message")

    async def do_HELP(self, arg):
        await self.reply("214 2.0.0 EHLO HELO MAIL RCPT DATA RSET NOOP VRFY HELP QUIT")

    async def do_QUIT(self, arg):
        await self.reply("221 2.0.0 bye")
        return False


async def serve(args):
    async def on_client(reader, writer):
        try:
            await Session(reader, writer, args.maildir).run()
        except (ConnectionResetError, BrokenPipeError):
            pass  # a client that just checks the port is open
        except OSError as e:
            log("connection: %s" % e)
        finally:
            writer.close()

    server = await asyncio.start_server(on_client, args.host, args.port, limit=MAX_LINE)
    if os.getuid() == 0:
        owner = os.stat(args.maildir)
        os.setgroups([])
        os.setgid(owner.st_gid)
        os.setuid(owner.st_uid)
    log("listening on %s port %d, delivering to %s as uid %d" % (args.host, args.port, args.maildir, os.getuid()))
    async with server:
        await server.serve_forever()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--maildir", required=True)
    args = parser.parse_args()
    for sub in ("tmp", "new", "cur"):
        if not os.path.isdir(os.path.join(args.maildir, sub)):
            sys.exit("smtp_sink: %s is not a maildir (no %s/)" % (args.maildir, sub))
    try:
        asyncio.run(serve(args))
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
