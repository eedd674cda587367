#!/bin/sh
# The whole receive run (plumex-cli receive: fetch, decode, file, index) against mpop fetching
# the same mailbox from the local Dovecot, in one run; and the cost of filing into a big inbox:
# 500 new messages into an inbox of 100,000 rows against 500 into an empty one.
# Needs root (the servers) and scripts/build.sh bench. Usage: bench/receive_vs_mpop.sh [build-dir]
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build-bench}"
cli="$build/app/plumex-cli"
. "$here/servers_up.sh"

# mailbox USER COUNT: COUNT messages of about 8 KB, half of them Japanese (ISO-2022-JP).
mailbox() {
  new_maildir "$1"
  maildir="$STATE/home/$1/Maildir"
  /usr/bin/python3 - "$maildir/new" "$2" "$1" <<'PY'
import base64, os, random, sys, time
random.seed(1)
base = int(time.time()) - 100000
words = ["mail", "server", "client", "message", "header", "body", "line", "text", "test", "data"]
kanji = "会議資料報告連絡確認予定変更日程場所時間担当部署営業開発"
for i in range(int(sys.argv[2])):
    japanese = i % 2 == 0
    body, size = [], 0
    while size < 7600:
        if japanese:
            line = "".join(random.choice(kanji) for _ in range(30))
        else:
            line = " ".join(random.choice(words) for _ in range(12))
        body.append(line)
        size += len(line.encode("iso2022_jp" if japanese else "ascii")) + 2
    text = "\r\n".join(body) + "\r\n"
    if japanese:
        subject = "=?ISO-2022-JP?B?" + base64.b64encode(("会議の件 %d" % i).encode("iso2022_jp")).decode() + "?="
        payload, charset = text.encode("iso2022_jp"), "ISO-2022-JP"
    else:
        subject, payload, charset = "message %d" % i, text.encode("ascii"), "us-ascii"
    head = ("From: sender%d@example.com\r\nTo: bench@example.com\r\nSubject: %s\r\n"
            "Message-ID: <%s.%d@bench.example.com>\r\nDate: Tue, 5 Mar 2024 10:20:30 +0900\r\n"
            "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=%s\r\n\r\n"
            % (i, subject, sys.argv[3], i, charset))
    with open(os.path.join(sys.argv[1], "%d.M%d.bench" % (base + i, i)), "wb") as f:
        f.write(head.encode("ascii") + payload)
PY
  chmod -R 0777 "$STATE/home/$1"
}

# store DIR USER: a mail store whose account "bench" receives from USER.
store() {
  rm -rf "$1"
  mkdir -p "$1"
  printf 'bench\t127.0.0.1\t%s\tsecret\t127.0.0.1\tbench@example.com\t%s\t25\t0\t>\t0\t0\r\n' "$2" "$POP3_PORT" \
    > "$1/Account.ini"
}

now() { date +%s.%N; }
elapsed() { /usr/bin/python3 -c "print($2 - $1)"; }

mailbox all 2000
mailbox five 500
/usr/bin/python3 - "$work/index100k" <<'PY'
import sys
with open(sys.argv[1], "wb") as f:
    for i in range(100000):
        row = "<old%06d@example.com>\t会議の件 %d\tsender@example.com\t2023/01/01_10:20:30\t8000\t2\t2\t2\r\n" % (i, i)
        f.write(row.encode("cp932"))
PY

# best of three runs each, so a busy machine weighs on both sides alike
best() { /usr/bin/python3 -c "import sys; print(min(float(x) for x in sys.argv[1:]))" "$@"; }
mpop_runs=""; ours_runs=""; empty_runs=""; big_runs=""
for run in 1 2 3; do
  rm -f "$work/uidls" "$work/out.mbox"
  t0=$(now)
  mpop --host=127.0.0.1 --port="$POP3_PORT" --tls=off --auth=user --user=all \
       --passwordeval="echo secret" --keep=on --only-new=off --uidls-file="$work/uidls" \
       --received-header=off --deliver=mbox,"$work/out.mbox" --quiet
  t1=$(now)
  mpop_runs="$mpop_runs $(elapsed "$t0" "$t1")"

  store "$work/s1" all
  t0=$(now)
  "$cli" --root "$work/s1" receive --account bench >/dev/null
  t1=$(now)
  ours_runs="$ours_runs $(elapsed "$t0" "$t1")"

  store "$work/empty" five
  t0=$(now)
  "$cli" --root "$work/empty" receive --account bench >/dev/null
  t1=$(now)
  empty_runs="$empty_runs $(elapsed "$t0" "$t1")"

  store "$work/big" five
  mkdir -p "$work/big/受信/bench"
  cp "$work/index100k" "$work/big/受信/bench/MsgID.ini"
  t0=$(now)
  "$cli" --root "$work/big" receive --account bench >/dev/null
  t1=$(now)
  big_runs="$big_runs $(elapsed "$t0" "$t1")"
done
mpop_s=$(best $mpop_runs); ours_s=$(best $ours_runs); empty_s=$(best $empty_runs); big_s=$(best $big_runs)
rows=$(wc -l < "$work/big/受信/bench/MsgID.ini")

/usr/bin/python3 - "$mpop_s" "$ours_s" "$empty_s" "$big_s" "$rows" <<'PY'
import sys
mpop, ours, empty, big, rows = map(float, sys.argv[1:])
print("2,000 messages: mpop %.2f s, plumex receive %.2f s, ratio %.2f (goal <= 2)" % (mpop, ours, ours / mpop))
print("500 new messages: empty inbox %.2f s, inbox of 100,000 rows %.2f s, ratio %.2f (goal <= 1.3); rows after: %d"
      % (empty, big, big / empty, rows))
PY
