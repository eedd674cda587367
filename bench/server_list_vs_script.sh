#!/bin/sh
# Listing a mailbox of 2,000 messages in server delete mode, against its anchor in the same run:
# a small script that logs in and sends the same 2,000 "TOP n 0" commands in one pipelined
# batch, reading every reply. Prints both times and the ratio. Needs root (the servers) and a
# bench build (scripts/build.sh bench, or only the target server_list_bench).
# Usage: bench/server_list_vs_script.sh [build-dir]
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build-bench}"
work="$(mktemp -d /tmp/plumex-bench.XXXXXX)"
trap '"$root/tests/servers/stop.sh" "$work/servers"; rm -rf "$work"' EXIT

"$root/tests/servers/start.sh" "$work/servers" >/dev/null
. "$work/servers/servers.env"
user=bench
maildir="$STATE/home/$user/Maildir"
mkdir -p "$maildir/cur" "$maildir/new" "$maildir/tmp"
chmod -R 0777 "$STATE/home/$user"
/usr/bin/python3 - "$maildir/new" <<'PY'
import base64, os, sys, time
base = int(time.time()) - 10000
for i in range(2000):
    subject = "=?ISO-2022-JP?B?%s?=" % base64.b64encode(("お知らせ %d" % i).encode("iso-2022-jp")).decode()
    head = ("Received: from client%d.example (client [192.0.2.%d]) by mx%d.example with ESMTP id %d;\r\n"
            "\tTue, 5 Mar 2024 10:20:30 +0900\r\n"
            "From: =?ISO-2022-JP?B?%s?= <sender%d@example.com>\r\nTo: bench@example.com\r\nSubject: %s\r\n"
            "Message-ID: <%d@bench.example.com>\r\nDate: Tue, 5 Mar 2024 10:20:30 +0900\r\nMIME-Version: 1.0\r\n"
            "Content-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: 7bit\r\n\r\n"
            % (i, i % 250, i % 10, i, base64.b64encode("山田 太郎".encode("iso-2022-jp")).decode(), i, subject, i))
    with open(os.path.join(sys.argv[1], "%d.M%d.bench" % (base + i, i)), "w", newline="") as f:
        f.write(head + "body line\r\n" * 200)
PY
chmod 0666 "$maildir/new"/*

# Both in turn, five times each, in the same run.
PLUMEX_BENCH_POP3_PORT="$POP3_PORT" PLUMEX_BENCH_POP3_USER="$user" \
  "$build/bench/server_list_bench" --benchmark_format=json > "$work/ours.json"
/usr/bin/python3 - "$POP3_PORT" "$user" > "$work/script.ms" <<'PY'
import socket, sys, time
port, user = int(sys.argv[1]), sys.argv[2]
def listing():
    s = socket.create_connection(("127.0.0.1", port))
    f = s.makefile("rb")
    def line():
        return f.readline()
    line()
    for cmd in ("USER " + user, "PASS secret", "STAT"):
        s.sendall((cmd + "\r\n").encode())
        reply = line()
    count = int(reply.split()[1])
    s.sendall("".join("TOP %d 0\r\n" % n for n in range(1, count + 1)).encode())
    for n in range(count):
        assert line().startswith(b"+OK")
        while line() != b".\r\n":
            pass
    s.sendall(b"QUIT\r\n")
    line()
    s.close()
    return count
times = []
for _ in range(5):
    t0 = time.perf_counter()
    count = listing()
    times.append(time.perf_counter() - t0)
print("%f %d" % (1000 * sum(times) / len(times), count))
PY
/usr/bin/python3 - "$work/ours.json" "$work/script.ms" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
script_ms, count = open(sys.argv[2]).read().split()
script_ms = float(script_ms)
print("script, %s TOP n 0 in one pipelined batch: %.1f ms per mailbox" % (count, script_ms))
for b in data["benchmarks"]:
    ms = b["real_time"]
    print("%-20s %8.1f ms per mailbox (%d messages)  ratio to the script %.2f" % (b["name"], ms, b.get("messages", 0), ms / script_ms))
PY
