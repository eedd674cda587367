#!/bin/sh
# The full-text index over a store of 100,000 message files of about 4 KB (two accounts and the
# send tree), in the same run as its anchors:
#   - "plumex-cli search --all" of a three-character key in 1 % of the files, through the index,
#     against "grep -rlF" of the key's CP932 bytes over the same trees (and against --scan);
#   - the size of the index against the size of the message files;
#   - filing 2,000 messages ("plumex-cli import-mailbox") with the index present (the run and
#     the first search after it, which brings the index level) against the same without one.
# The best of three is reported for the searches. Needs scripts/build.sh bench.
# Usage: bench/index_vs_grep.sh [build-dir] [files]
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build-bench}"
count="${2:-100000}"
cli="$build/app/plumex-cli"
work="$(mktemp -d /tmp/plumex-index-bench.XXXXXX)"
trap 'rm -rf "$work"' EXIT
store="$work/store"
export XDG_CACHE_HOME="$work/cache"

/usr/bin/python3 - "$store" "$count" "$work/mailbox.txt" <<'PY'
import os, random, sys
store, count, mailbox = sys.argv[1], int(sys.argv[2]), sys.argv[3]
random.seed(11)
cp = "cp932"
def write(path, lines):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write("".join(l + "\r\n" for l in lines).encode(cp))
write(os.path.join(store, "Account.ini"), ["B\th", "C\th"])
write(os.path.join(store, "plumex.ini"), ["[CurAccount]", "Position=B"])
words = ["mail", "server", "client", "message", "header", "body", "line", "text", "test", "data",
         "会議", "資料", "報告", "連絡", "確認", "予定", "変更", "日程", "場所", "時間", "ｶﾀｶﾅ", "①"]
topics = ["見積もり", "議事録", "出張報告", "新製品", "定例会", "請求書", "打ち合わせ", "障害報告"]
rows = {}
for i in range(count):
    tree = i % 10
    if tree < 6:
        folder = os.path.join(store, "受信", "B", "箱%02d" % (i % 12))
    elif tree < 9:
        folder = os.path.join(store, "受信", "C")
    else:
        folder = os.path.join(store, "送信")
    subject = random.choice(["", "Re: "]) + "%s %d" % (random.choice(topics), random.randrange(5000))
    date = "2009/%02d/%02d_%02d:%02d:%02d" % (random.randrange(1, 13), random.randrange(1, 29),
                                              random.randrange(24), random.randrange(60), random.randrange(60))
    mid = "<%d@bench.example.jp>" % i
    body, size = [], 0
    while size < 3800:
        line = " ".join(random.choice(words) for _ in range(10))
        body.append(line)
        size += len(line.encode(cp)) + 2
    if i % 100 == 0:
        body[len(body) // 2] += " 稟議書"
    header = ["あて名:b@example.jp", "Message-ID:" + mid, "References:", "差出人:taro@example.jp",
              "件名:" + subject, "日時:" + date, "ﾌｧｲﾙｻｲｽﾞ:%d" % size, "-------------------"]
    write(os.path.join(folder, "m%06d.txt" % i), header + body)
    rows.setdefault(folder, []).append("\t".join([mid, subject, "taro@example.jp", date, str(size), "2", "2", "2"]))
for folder, lines in rows.items():
    lines.sort(key=lambda r: r.lower())
    write(os.path.join(folder, "Send.ini" if folder.endswith("送信") else "MsgID.ini"), lines)
# 2,000 messages for filing, in a mailbox file (messages end at a line ".").
with open(mailbox, "wb") as f:
    for i in range(2000):
        text = ("From: hanako@example.jp\r\nTo: b@example.jp\r\nSubject: filing %d\r\n"
                "Message-ID: <file%d@bench.example.jp>\r\nDate: Tue, 8 Sep 2009 12:34:56 +0900\r\n"
                "Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\n" % (i, i))
        f.write(text.encode("ascii"))
        body = ("filed message %d body text line\r\n" % i) * 100
        f.write(body.encode("ascii") + b".\r\n")
PY

best() {  # best wall time of three runs of a command, in seconds
  b=""
  for _ in 1 2 3; do
    s=$(date +%s.%N); "$@" >/dev/null 2>&1; e=$(date +%s.%N)
    t=$(echo "$e - $s" | bc)
    if [ -z "$b" ] || [ "$(echo "$t < $b" | bc)" = 1 ]; then b=$t; fi
  done
  echo "$b"
}
once() {
  s=$(date +%s.%N); "$@" >/dev/null 2>&1; e=$(date +%s.%N)
  echo "$e - $s" | bc
}
ratio() { echo "scale=3; $1 / $2" | bc; }

key="稟議書"
key_sjis="$(printf '%s' "$key" | iconv -f UTF-8 -t CP932)"
t_build=$(once "$cli" --root "$store" index rebuild)
found_index=$("$cli" --root "$store" search --all "$key" | tail -n 1)
found_scan=$("$cli" --root "$store" search --all --scan "$key" | tail -n 1)
found_grep=$(LC_ALL=C grep -rlF --include='*.txt' "$key_sjis" "$store/受信" "$store/送信" | wc -l)
echo "files: $count; matches: index $found_index, scan $found_scan, grep $found_grep; index built in ${t_build}s"

t_index=$(best "$cli" --root "$store" search --all "$key")
t_scan=$(best "$cli" --root "$store" search --all --scan "$key")
t_grep=$(best env LC_ALL=C grep -rlF --include='*.txt' "$key_sjis" "$store/受信" "$store/送信")
t_version=$(best "$cli" --root "$store" version)
echo "search --all (index) ${t_index}s, grep -rlF ${t_grep}s, ratio $(ratio "$t_index" "$t_grep"); search --all --scan ${t_scan}s, ratio to the index $(ratio "$t_scan" "$t_index"); plumex-cli start-up alone (version) ${t_version}s"

text_bytes=$(find "$store/受信" "$store/送信" -name '*.txt' -print0 | du -cb --files0-from=- | tail -n 1 | cut -f 1)
index_bytes=$(du -cb "$XDG_CACHE_HOME/plumex/index" | tail -n 1 | cut -f 1)
echo "size: message files $text_bytes bytes, index $index_bytes bytes, ratio $(ratio "$index_bytes" "$text_bytes")"

# Filing: the same 2,000 messages into a copy of the store without and with the index.
cp -a "$store" "$work/plain"
cp -a "$store" "$work/indexed"
mv "$XDG_CACHE_HOME" "$work/cache-built"
t_plain=$(once "$cli" --root "$work/plain" import-mailbox "$work/mailbox.txt" --account B)
export XDG_CACHE_HOME="$work/cache2"
"$cli" --root "$work/indexed" index rebuild >/dev/null 2>&1
t_filed=$(once "$cli" --root "$work/indexed" import-mailbox "$work/mailbox.txt" --account B)
t_level=$(once "$cli" --root "$work/indexed" search --all "filing 1999")
t_after=$(best "$cli" --root "$work/indexed" search --all "$key")
echo "filing 2000: without index ${t_plain}s, with index ${t_filed}s (ratio $(ratio "$t_filed" "$t_plain")); first search after it (brings the index level) ${t_level}s, so filing + catch-up ratio $(ratio "$(echo "$t_filed + $t_level" | bc)" "$t_plain"); later searches ${t_after}s"
