#!/bin/sh
# A receive that finds nothing new, with every message kept on the server: plumex-cli receive
# (UIDL once, then the headers of only what is new) against mpop --only-new on the same
# mailbox from the local Dovecot. Both have fetched the mailbox once before the timed runs.
# Needs root (the servers) and scripts/build.sh bench.
# Usage: bench/receive_nothing_new_vs_mpop.sh [build-dir] [messages]
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build-bench}"
count="${2:-2338}"
cli="$build/app/plumex-cli"
. "$here/servers_up.sh"

new_maildir kept
maildir="$STATE/home/kept/Maildir"
/usr/bin/python3 - "$maildir/new" "$count" <<'PY'
import os, sys, time
base = int(time.time()) - 100000
for i in range(int(sys.argv[2])):
    head = ("From: sender%d@example.com\r\nTo: bench@example.com\r\nSubject: message %d\r\n"
            "Message-ID: <%d@kept.example.com>\r\nDate: Tue, 5 Mar 2024 10:20:30 +0900\r\n\r\n" % (i, i, i))
    with open(os.path.join(sys.argv[1], "%d.M%d.bench" % (base + i, i)), "wb") as f:
        f.write(head.encode("ascii") + b"body line\r\n" * 100)
PY
chmod -R 0777 "$STATE/home/kept"

mkdir -p "$work/store"
printf 'bench\t127.0.0.1\tkept\tsecret\t127.0.0.1\tbench@example.com\t%s\t25\t0\t>\t0\t0\r\n' "$POP3_PORT" \
  > "$work/store/Account.ini"

mpop_once() {
  mpop --host=127.0.0.1 --port="$POP3_PORT" --tls=off --auth=user --user=kept \
       --passwordeval="echo secret" --keep=on --only-new=on --uidls-file="$work/uidls" \
       --received-header=off --deliver=mbox,"$work/out.mbox" --quiet
}
now() { date +%s.%N; }
elapsed() { /usr/bin/python3 -c "print($2 - $1)"; }
best() { /usr/bin/python3 -c "import sys; print(min(float(x) for x in sys.argv[1:]))" "$@"; }

mpop_once
"$cli" --root "$work/store" receive --account bench >/dev/null
# "every header": the list of UIDLs seen is removed before the run, so every header is read
# again, as every run did before the list was kept.
mpop_runs=""; ours_runs=""; every_runs=""
for run in 1 2 3; do
  t0=$(now); mpop_once; t1=$(now)
  mpop_runs="$mpop_runs $(elapsed "$t0" "$t1")"
  t0=$(now); "$cli" --root "$work/store" receive --account bench >/dev/null; t1=$(now)
  ours_runs="$ours_runs $(elapsed "$t0" "$t1")"
  rm -f "$work/store/受信/bench/ReceivedUidl.ini"
  t0=$(now); "$cli" --root "$work/store" receive --account bench >/dev/null; t1=$(now)
  every_runs="$every_runs $(elapsed "$t0" "$t1")"
done
/usr/bin/python3 - "$(best $mpop_runs)" "$(best $ours_runs)" "$(best $every_runs)" "$count" <<'PY'
import sys
mpop, ours, every, count = float(sys.argv[1]), float(sys.argv[2]), float(sys.argv[3]), int(sys.argv[4])
print("%d messages kept, nothing new: mpop --only-new %.3f s, plumex receive %.3f s, ratio %.2f; "
      "reading every header as before: %.3f s" % (count, mpop, ours, ours / mpop, every))
PY
