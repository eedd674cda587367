#!/bin/sh
# Peak memory of receiving one message of about 200 MB (plumex-cli receive from the local
# Dovecot), against the size of the message: a 7bit ISO-2022-JP text body, a base64 UTF-8
# text body and a base64 attachment. Needs root (the servers) and scripts/build.sh bench.
# Usage: bench/big_message_memory.sh [build-dir] [megabytes]
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build-bench}"
megabytes="${2:-200}"
cli="$build/app/plumex-cli"
. "$here/servers_up.sh"

for kind in jis b64text attachment; do
  new_maildir big
  maildir="$STATE/home/big/Maildir"
  size=$(/usr/bin/python3 - "$maildir/new" "$kind" "$megabytes" <<'PY'
import base64, os, random, sys
folder, kind, megabytes = sys.argv[1], sys.argv[2], int(sys.argv[3])
random.seed(1)
kanji = "会議資料報告連絡確認予定変更日程場所時間担当部署営業開発"
line = "".join(random.choice(kanji) for _ in range(36))
head = ("From: a@example.com\r\nTo: b@example.com\r\nSubject: big\r\nMessage-ID: <%s@example.com>\r\n"
        "Date: Tue, 5 Mar 2024 10:20:30 +0900\r\nMIME-Version: 1.0\r\n" % kind)
if kind == "jis":
    one = line.encode("iso2022_jp") + b"\r\n"
    head += "Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\n"
    body = one * (megabytes * 1024 * 1024 // len(one))
elif kind == "b64text":
    one = line.encode("utf-8") + b"\r\n"
    head += "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: base64\r\n\r\n"
    body = base64.encodebytes(one * (megabytes * 1024 * 1024 * 3 // 4 // len(one))).replace(b"\n", b"\r\n")
else:
    head += ("Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\nContent-Type: text/plain\r\n\r\nhello\r\n"
             "--b\r\nContent-Type: application/octet-stream\r\nContent-Disposition: attachment; filename=\"a.bin\"\r\n"
             "Content-Transfer-Encoding: base64\r\n\r\n")
    body = base64.encodebytes(os.urandom(megabytes * 1024 * 1024 * 3 // 4)).replace(b"\n", b"\r\n") + b"--b--\r\n"
data = head.encode("ascii") + body
with open(os.path.join(folder, "1.M1.big"), "wb") as f:
    f.write(data)
print(len(data))
PY
)
  chmod -R 0777 "$STATE/home/big"
  store="$work/store"
  rm -rf "$store"
  mkdir -p "$store"
  printf 'big\t127.0.0.1\tbig\tsecret\t127.0.0.1\tbig@example.com\t%s\t25\t0\t>\t0\t0\r\n' "$POP3_PORT" > "$store/Account.ini"
  peak_kb=$(/usr/bin/time -f "%M" "$cli" --root "$store" receive --account big 2>&1 >/dev/null | tail -n 1)
  /usr/bin/python3 -c "import sys; s, p = int(sys.argv[2]), int(sys.argv[3]) * 1024; print('%s: message %.1f MB, peak %.1f MB, ratio %.2f (goal < 2)' % (sys.argv[1], s / 1e6, p / 1e6, p / s))" "$kind" "$size" "$peak_kb"
done
