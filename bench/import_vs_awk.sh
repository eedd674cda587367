#!/bin/sh
# Mailbox import: plumex-cli import-mailbox of 20,000 messages (about 100 MB) against an awk
# script that only splits the same file into one file per message, in one run.
# Needs scripts/build.sh bench. Usage: bench/import_vs_awk.sh [build-dir]
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build-bench}"
cli="$build/app/plumex-cli"
work="$(mktemp -d /tmp/plumex-import.XXXXXX)"
trap 'rm -rf "$work"' EXIT

/usr/bin/python3 - "$work/box.mbx" <<'PY'
import base64, random, sys
random.seed(1)
words = ["mail", "server", "client", "message", "header", "body", "line", "text", "test", "data"]
kanji = "会議資料報告連絡確認予定変更日程場所時間担当部署営業開発"
with open(sys.argv[1], "wb") as f:
    for i in range(20000):
        japanese = i % 2 == 0
        lines, size = [], 0
        while size < 4800:
            line = "".join(random.choice(kanji) for _ in range(30)) if japanese else " ".join(random.choice(words) for _ in range(12))
            lines.append(line)
            size += len(line.encode("iso2022_jp" if japanese else "ascii")) + 2
        text = "\r\n".join(lines) + "\r\n"
        subject = "=?ISO-2022-JP?B?" + base64.b64encode(("会議の件 %d" % i).encode("iso2022_jp")).decode() + "?=" if japanese else "message %d" % i
        charset = "ISO-2022-JP" if japanese else "us-ascii"
        head = ("From: sender%d@example.com\r\nTo: bench@example.com\r\nSubject: %s\r\nDate: Tue, 5 Mar 2024 10:20:30 +0900\r\n"
                "Message-Id: <%d@bench.example.com>\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=%s\r\n\r\n"
                % (i, subject, i, charset))
        f.write(head.encode("ascii") + text.encode("iso2022_jp" if japanese else "ascii") + b".\r\n")
PY
printf 'bench\t127.0.0.1\tu\tp\t127.0.0.1\tbench@example.com\t110\t25\t0\t>\t0\t0\r\n' > "$work/Account.ini"

now() { date +%s.%N; }
best() { /usr/bin/python3 -c "import sys; print(min(float(x) for x in sys.argv[1:]))" "$@"; }
awk_runs=""; ours_runs=""
for run in 1 2 3; do
  rm -rf "$work/split" "$work/store"; mkdir -p "$work/split" "$work/store"
  cp "$work/Account.ini" "$work/store/"
  t0=$(now)
  LC_ALL=C awk -v dir="$work/split" '$0 == ".\r" || $0 == "." { close(out); n++; next } { out = dir "/" n ".eml"; print > out }' "$work/box.mbx"
  t1=$(now)
  awk_runs="$awk_runs $(/usr/bin/python3 -c "print($t1 - $t0)")"
  t0=$(now)
  "$cli" --root "$work/store" import-mailbox "$work/box.mbx" --account bench >/dev/null
  t1=$(now)
  ours_runs="$ours_runs $(/usr/bin/python3 -c "print($t1 - $t0)")"
done
size=$(stat -c %s "$work/box.mbx")
/usr/bin/python3 - "$(best $awk_runs)" "$(best $ours_runs)" "$size" <<'PY'
import sys
awk, ours, size = float(sys.argv[1]), float(sys.argv[2]), int(sys.argv[3])
print("import of 20,000 messages (%.0f MB): awk split %.2f s, plumex import-mailbox %.2f s, ratio %.2f (goal <= 3)"
      % (size / 1e6, awk, ours, ours / awk))
PY
