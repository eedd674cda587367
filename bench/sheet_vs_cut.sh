#!/bin/sh
# A merge sheet of 100,000 rows (about 10 MB of code page 932 text): read, checked and shown in
# the sheet window's grid, against `cut -d, -f1` over the same file, in one run (best of 5
# each). Needs scripts/build.sh bench. Usage: bench/sheet_vs_cut.sh [build-dir]
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build-bench}"
work="$(mktemp -d /tmp/plumex-sheet.XXXXXX)"
trap 'rm -rf "$work"' EXIT
sheet="$work/sheet.csv"

/usr/bin/python3 - "$sheet" <<'PY'
import sys
rows = ["宛先,氏名,会社,部署,住所,備考"]
for i in range(1, 100000):
    rows.append("user%06d@example.jp,山田 太郎%d,株式会社サンプル商事,営業部第%d課,東京都千代田区丸の内%d-%d,%s"
                % (i, i, i % 9, i % 5, i % 30, "x" * (i % 7)))
open(sys.argv[1], "wb").write(("\r\n".join(rows) + "\r\n").encode("cp932"))
PY
size=$(stat -c %s "$sheet")

best_cut=$(/usr/bin/python3 - "$sheet" <<'PY'
import subprocess, sys, time
best = 1e9
for _ in range(5):
    t = time.perf_counter()
    subprocess.run(["cut", "-d,", "-f1", sys.argv[1]], stdout=subprocess.DEVNULL, check=True)
    best = min(best, time.perf_counter() - t)
print("%.4f" % best)
PY
)
ours=$(QT_QPA_PLATFORM=offscreen "$build/bench/sheet_grid_timing" "$sheet" 5 2>/dev/null)
rows=${ours% *}
best_ours=${ours##* }
/usr/bin/python3 -c "
import sys
size, cut, ours = $size, $best_cut, $best_ours
print('sheet of %s, %d bytes: cut -d, -f1 %.1f ms, load + check + grid %.1f ms, ratio %.2f (goal <= 3)'
      % ('$rows', size, cut * 1000, ours * 1000, ours / cut))
"
