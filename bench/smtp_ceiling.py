#!/usr/bin/env python3
# The ceiling the submission server sets on a merge: 1,000 tiny messages over one connection,
# each as one pipelined group (RSET, MAIL, RCPT, DATA) and its content, no MIME building at all.
# Prints messages per second. Usage: smtp_ceiling.py SMTP_PORT CA_FILE
import socket, ssl, sys, time, base64
port, ca = int(sys.argv[1]), sys.argv[2]
s = socket.create_connection(("127.0.0.1", port))
f = s.makefile("rb")
def reply(f):
    lines = []
    while True:
        l = f.readline()
        lines.append(l)
        if l[3:4] != b"-": return lines
reply(f); s.sendall(b"EHLO probe\r\n"); reply(f)
s.sendall(b"STARTTLS\r\n"); reply(f)
ctx = ssl.create_default_context(cafile=ca); ctx.check_hostname = False
s = ctx.wrap_socket(s, server_hostname="127.0.0.1"); f = s.makefile("rb")
s.sendall(b"EHLO probe\r\n"); reply(f)
s.sendall(b"AUTH LOGIN\r\n"); reply(f)
s.sendall(base64.b64encode(b"bench") + b"\r\n"); reply(f)
s.sendall(base64.b64encode(b"secret") + b"\r\n"); reply(f)
n = 1000
t = time.perf_counter()
for i in range(n):
    s.sendall(b"RSET\r\nMAIL FROM:<bench@example.jp>\r\nRCPT TO:<row%d@example.jp>\r\nDATA\r\n" % i)
    for _ in range(4): reply(f)
    s.sendall(b"From: bench@example.jp\r\nTo: row%d@example.jp\r\nSubject: probe\r\n\r\nbody\r\n.\r\n" % i)
    reply(f)
print("%.1f" % (n / (time.perf_counter() - t)))
