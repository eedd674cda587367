#!/bin/sh
# What keeping each message's original costs a receive run: 2,000 messages (about 8 KB each,
# half Japanese) received from the local Dovecot by two builds of plumex-cli, one before the
# originals were kept and one after; best of three runs each, time and the store's size on disk.
# Needs root (the servers). Usage: bench/originals_cost.sh BEFORE-BUILD-DIR AFTER-BUILD-DIR
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
before="$1/app/plumex-cli"
after="$2/app/plumex-cli"
. "$here/servers_up.sh"

new_maildir all
maildir="$STATE/home/all/Maildir"
/usr/bin/python3 - "$maildir/new" 2000 <<'PY'
import base64, os, random, sys, time
random.seed(1)
base = int(time.time()) - 100000
words = ["mail", "server", "client", "message", "header", "body", "line", "text", "test", "data"]
kanji = "会議資料報告連絡確認予定変更日程場所時間担当部署営業開発"
for i in range(int(sys.argv[2])):
    japanese = i % 2 == 0
    body, size = [], 0
    while size < 7600:
        line = "".join(random.choice(kanji) for _ in range(30)) if japanese else " ".join(random.choice(words) for _ in range(12))
        body.append(line)
        size += len(line.encode("iso2022_jp" if japanese else "ascii")) + 2
    text = "\r\n".join(body) + "\r\n"
    if japanese:
        subject = "=?ISO-2022-JP?B?" + base64.b64encode(("会議の件 %d" % i).encode("iso2022_jp")).decode() + "?="
        payload, charset = text.encode("iso2022_jp"), "ISO-2022-JP"
    else:
        subject, payload, charset = "=?UTF-8?B?" + base64.b64encode(("message %d 😀" % i).encode()).decode() + "?=", text.encode("ascii"), "us-ascii"
    head = ("From: sender%d@example.com\r\nTo: bench@example.com\r\nSubject: %s\r\n"
            "Message-ID: <%d@bench.example.com>\r\nDate: Tue, 5 Mar 2024 10:20:30 +0900\r\n"
            "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=%s\r\n\r\n" % (i, subject, i, charset))
    with open(os.path.join(sys.argv[1], "%d.M%d.bench" % (base + i, i)), "wb") as f:
        f.write(head.encode("ascii") + payload)
PY
chmod -R 0777 "$STATE/home/all"

store() {
  rm -rf "$1"
  mkdir -p "$1"
  printf 'bench\t127.0.0.1\tall\tsecret\t127.0.0.1\tbench@example.com\t%s\t25\t0\t>\t0\t0\r\n' "$POP3_PORT" > "$1/Account.ini"
}
now() { date +%s.%N; }
elapsed() { /usr/bin/python3 -c "print($2 - $1)"; }
best() { /usr/bin/python3 -c "import sys; print(min(float(x) for x in sys.argv[1:]))" "$@"; }

before_runs=""; after_runs=""
for run in 1 2 3; do
  for side in before after; do
    cli=$before; [ "$side" = after ] && cli=$after
    store "$work/$side"
    t0=$(now)
    "$cli" --root "$work/$side" receive --account bench >/dev/null
    t1=$(now)
    eval "${side}_runs=\"\$${side}_runs $(elapsed "$t0" "$t1")\""
  done
done
before_kb=$(du -sk "$work/before" | cut -f1)
after_kb=$(du -sk "$work/after" | cut -f1)
originals_kb=$(find "$work/after" -name '*.eml' -print0 | du -ck --files0-from=- | tail -1 | cut -f1)
count=$(find "$work/after" -name '*.eml' | wc -l)
/usr/bin/python3 - "$(best $before_runs)" "$(best $after_runs)" "$before_kb" "$after_kb" "$originals_kb" "$count" <<'PY'
import sys
b, a = map(float, sys.argv[1:3])
bk, ak, ok, n = map(int, sys.argv[3:])
print("2,000 messages received: before %.2f s, after %.2f s (ratio %.2f)" % (b, a, a / b))
print("store on disk: before %d KB, after %d KB (ratio %.2f); %d originals, %d KB" % (bk, ak, ak / bk, n, ok))
PY
