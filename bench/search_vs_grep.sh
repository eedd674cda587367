#!/bin/sh
# The extraction ("plumex-cli search") over a tree of message files of about 8 KB, a key in
# 1 % of them, against GNU grep finding the same files (case folded, ".txt" only), warm cache;
# and the related-mail extraction ("plumex-cli related") of a folder of as many rows against
# "sort -f" of its index. Each pair runs in the same run; the best of three is reported.
# Needs scripts/build.sh bench. Usage: bench/search_vs_grep.sh [build-dir] [files]
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build-bench}"
count="${2:-100000}"
cli="$build/app/plumex-cli"
work="$(mktemp -d /tmp/plumex-search-bench.XXXXXX)"
trap 'rm -rf "$work"' EXIT
store="$work/store"

# Account "B": its inbox holds `count` message files in 20 subfolders and an index of as many
# rows; every hundredth file holds the key, written in mixed case.
/usr/bin/python3 - "$store" "$count" <<'PY'
import os, random, sys
store, count = sys.argv[1], int(sys.argv[2])
random.seed(7)
cp = "cp932"
def write(path, lines):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write("".join(l + "\r\n" for l in lines).encode(cp))
write(os.path.join(store, "Account.ini"), ["B\th"])
write(os.path.join(store, "plumex.ini"), ["[CurAccount]", "Position=B"])
words = ["mail", "server", "client", "message", "header", "body", "line", "text", "test", "data",
         "会議", "資料", "報告", "連絡", "確認", "予定", "変更", "日程", "場所", "時間"]
topics = ["見積もり", "議事録", "出張報告", "新製品", "定例会", "請求書", "打ち合わせ", "障害報告"]
inbox = os.path.join(store, "受信", "B")
rows = []
for i in range(count):
    sub = "箱%02d" % (i % 20)
    topic = "%s %d" % (random.choice(topics), random.randrange(count // 4 or 1))
    prefix = random.choice(["", "", "Re: ", "Fw: ", "Re: Re: "])
    subject = prefix + topic
    date = "2009/%02d/%02d_%02d:%02d:%02d" % (random.randrange(1, 13), random.randrange(1, 29),
                                              random.randrange(24), random.randrange(60), random.randrange(60))
    mid = "<%d@bench.example.jp>" % i
    body, size = [], 0
    while size < 7800:
        line = " ".join(random.choice(words) for _ in range(12))
        body.append(line)
        size += len(line.encode(cp)) + 2
    if i % 100 == 0:
        body[len(body) // 2] += " ZqxKeyWord"
    header = ["あて名:b@example.jp", "Message-ID:" + mid, "差出人:taro@example.jp", "件名:" + subject,
              "日時:" + date, "ﾌｧｲﾙｻｲｽﾞ:%d" % size, "-------------------"]
    write(os.path.join(inbox, sub, "m%06d.txt" % i), header + body)
    rows.append("\t".join([mid, subject, "taro@example.jp", date, str(size), "2", "2", "2"]))
rows.sort(key=lambda r: r.lower())  # as Plumex keeps an index: sorted by id, letter case aside
write(os.path.join(inbox, "MsgID.ini"), rows)
PY

best() {  # best wall time of three runs of a command, in seconds
  b=""
  for _ in 1 2 3; do
    s=$(date +%s.%N); "$@" >/dev/null; e=$(date +%s.%N)
    t=$(echo "$e - $s" | bc)
    if [ -z "$b" ] || [ "$(echo "$t < $b" | bc)" = 1 ]; then b=$t; fi
  done
  echo "$b"
}

# Warm the cache, and check both find the same number of files.
found_plumex=$("$cli" --root "$store" search zqxkeyword | tail -n 1)
found_grep=$(LC_ALL=C grep -rliF --include='*.txt' zqxkeyword "$store/受信/B" | wc -l)
echo "files: $count; matches: plumex $found_plumex, grep $found_grep"

t_plumex=$(best "$cli" --root "$store" search zqxkeyword)
t_grep=$(best env LC_ALL=C grep -rliF --include='*.txt' zqxkeyword "$store/受信/B")
echo "extraction: plumex-cli search ${t_plumex}s, grep -rliF ${t_grep}s, ratio $(echo "scale=2; $t_plumex / $t_grep" | bc)"

index="$store/受信/B/MsgID.ini"
t_related=$(best "$cli" --root "$store" related)
t_sort=$(best sort -f "$index")
t_sort_c=$(best env LC_ALL=C sort -f "$index")
echo "related: plumex-cli related ${t_related}s, sort -f ${t_sort}s (locale ${LC_ALL:-${LANG:-POSIX}}), ratio $(echo "scale=2; $t_related / $t_sort" | bc); LC_ALL=C sort -f ${t_sort_c}s, ratio $(echo "scale=2; $t_related / $t_sort_c" | bc)"
