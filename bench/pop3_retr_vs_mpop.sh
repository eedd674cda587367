#!/bin/sh
# RETR of 2,000 messages of about 8 KB from a local Dovecot: the POP3 client (parsing every
# message) against mpop fetching the same mailbox (kept on the server, delivered to an mbox
# file), in one run. Prints both times and the ratio. Needs root (the servers) and
# scripts/build.sh bench. Usage: bench/pop3_retr_vs_mpop.sh [build-dir]
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build-bench}"
. "$here/servers_up.sh"
user=bench
new_maildir $user
maildir="$STATE/home/$user/Maildir"
/usr/bin/python3 - "$maildir/new" <<'PY'
import os, random, sys, time
random.seed(1)
base = int(time.time()) - 10000
words = ["mail", "server", "client", "message", "header", "body", "line", "text", "test", "data"]
for i in range(2000):
    body = []
    size = 0
    while size < 7600:
        line = " ".join(random.choice(words) for _ in range(12))
        if random.random() < 0.05:
            line = "." + line
        body.append(line)
        size += len(line) + 2
    head = ("From: sender%d@example.com\r\nTo: bench@example.com\r\nSubject: message %d\r\n"
            "Message-ID: <%d@bench.example.com>\r\nDate: Tue, 5 Mar 2024 10:20:30 +0900\r\n"
            "Content-Type: text/plain; charset=us-ascii\r\n\r\n" % (i, i, i))
    with open(os.path.join(sys.argv[1], "%d.M%d.bench" % (base + i, i)), "w", newline="") as f:
        f.write(head + "\r\n".join(body) + "\r\n")
PY
chmod 0666 "$maildir/new"/*

now() { date +%s.%N; }
runs=3
# mpop: keep the mail on the server, fetch every message each time.
: > "$work/mpop.times"
for r in $(seq $runs); do
  rm -f "$work/out.mbox" "$work/uidls"
  t0=$(now)
  mpop --host=127.0.0.1 --port="$POP3_PORT" --tls=off --auth=user --user="$user" \
       --passwordeval="echo secret" --keep=on --only-new=off --uidls-file="$work/uidls" \
       --received-header=off --deliver=mbox,"$work/out.mbox" --quiet
  t1=$(now)
  echo "$t0 $t1" >> "$work/mpop.times"
done
count=$(grep -c '^From ' "$work/out.mbox")

PLUMEX_BENCH_POP3_PORT="$POP3_PORT" PLUMEX_BENCH_POP3_USER="$user" \
  "$build/bench/pop3_retr_bench" --benchmark_format=json > "$work/ours.json"
/usr/bin/python3 - "$work/ours.json" "$work/mpop.times" "$count" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
times = [float(b) - float(a) for a, b in (l.split() for l in open(sys.argv[2]))]
mpop_ms = 1000 * sum(times) / len(times)
print("mpop fetched %s messages: %.1f ms per mailbox" % (sys.argv[3], mpop_ms))
for b in data["benchmarks"]:
    ms = b["real_time"]
    print("%-22s %8.1f ms per mailbox  ratio to mpop %.2f" % (b["name"], ms, ms / mpop_ms))
PY
