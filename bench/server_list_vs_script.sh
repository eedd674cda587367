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
. "$here/servers_up.sh"
user=bench
new_maildir $user
maildir="$STATE/home/$user/Maildir"
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

# The anchor: log in, STAT, and every "TOP n 0" in one write, each reply read to its end.
cat > "$work/anchor.py" <<'PY'
import socket, sys, time
port, user, runs, warm = int(sys.argv[1]), sys.argv[2], int(sys.argv[3]), sys.argv[4] == "warm"
def listing():
    s = socket.create_connection(("127.0.0.1", port))
    f = s.makefile("rb")
    f.readline()
    for cmd in ("USER " + user, "PASS secret", "STAT"):
        s.sendall((cmd + "\r\n").encode())
        reply = f.readline()
    count = int(reply.split()[1])
    if warm:
        # The server works out sizes and ids once and keeps them; neither side pays for that.
        for cmd in (b"UIDL\r\n", b"LIST\r\n"):
            s.sendall(cmd)
            while f.readline() != b".\r\n":
                pass
    s.sendall("".join("TOP %d 0\r\n" % n for n in range(1, count + 1)).encode())
    for n in range(count):
        assert f.readline().startswith(b"+OK")
        while f.readline() != b".\r\n":
            pass
    s.sendall(b"QUIT\r\n")
    f.readline()
    s.close()
    return count
times = []
for _ in range(runs):
    t0 = time.perf_counter()
    count = listing()
    times.append(time.perf_counter() - t0)
print("%f %d" % (1000 * sum(times) / len(times), count))
PY
/usr/bin/python3 "$work/anchor.py" "$POP3_PORT" "$user" 1 warm > /dev/null
# The machine may be busy: the two take turns, round after round, and the medians are compared.
rounds=7
for r in $(seq $rounds); do
  /usr/bin/python3 "$work/anchor.py" "$POP3_PORT" "$user" 3 timed >> "$work/script.ms"
  PLUMEX_BENCH_POP3_PORT="$POP3_PORT" PLUMEX_BENCH_POP3_USER="$user" \
    "$build/bench/server_list_bench" --benchmark_format=json > "$work/ours.$r.json"
done
/usr/bin/python3 - "$work" "$rounds" <<'PY'
import json, statistics, sys
work, rounds = sys.argv[1], int(sys.argv[2])
script = [float(l.split()[0]) for l in open(work + "/script.ms")]
count = open(work + "/script.ms").readline().split()[1]
ours = [json.load(open("%s/ours.%d.json" % (work, r)))["benchmarks"][0] for r in range(1, rounds + 1)]
ours_ms = [b["real_time"] for b in ours]
cpu_ms = [b["cpu_time"] for b in ours]
s, o = statistics.median(script), statistics.median(ours_ms)
print("script, %s TOP n 0 in one pipelined batch: median %.1f ms per mailbox (rounds: %s)"
      % (count, s, " ".join("%.0f" % x for x in script)))
print("server listing (STAT, UIDL, LIST, TOP, rows): median %.1f ms per mailbox, %.1f ms CPU (rounds: %s)"
      % (o, statistics.median(cpu_ms), " ".join("%.0f" % x for x in ours_ms)))
print("ratio to the script: %.2f" % (o / s))
PY
