#!/bin/sh
# The count-only new-mail check with nothing new (plumex-cli check over ten accounts of 1,000
# messages each, every message already seen by an earlier check) against an mpop --only-new
# poll of the same ten accounts from the local Dovecot, in one run; and the TOP commands the
# measured checks sent, from Dovecot's log (the goal is none).
# Needs root (the servers) and scripts/build.sh bench. Usage: bench/check_vs_mpop.sh [build-dir]
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build-bench}"
cli="$build/app/plumex-cli"
. "$here/servers_up.sh"

accounts=10
per_account=1000

# mailbox USER COUNT: COUNT messages of about 2 KB.
mailbox() {
  new_maildir "$1"
  maildir="$STATE/home/$1/Maildir"
  /usr/bin/python3 - "$maildir/new" "$2" "$1" <<'PY'
import base64, os, sys, time
base = int(time.time()) - 100000
body = ("line of the message body, long enough to look like mail\r\n" * 36).encode("ascii")
for i in range(int(sys.argv[2])):
    subject = "=?ISO-2022-JP?B?" + base64.b64encode(("会議の件 %d" % i).encode("iso2022_jp")).decode() + "?="
    head = ("From: sender%d@example.com\r\nTo: bench@example.com\r\nSubject: %s\r\n"
            "Message-ID: <%s.%d@bench.example.com>\r\nDate: Tue, 5 Mar 2024 10:20:30 +0900\r\n"
            "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\n" % (i, subject, sys.argv[3], i))
    with open(os.path.join(sys.argv[1], "%d.M%d.bench" % (base + i, i)), "wb") as f:
        f.write(head.encode("ascii") + body)
PY
  chmod -R 0777 "$STATE/home/$1"
}

mkdir -p "$work/store" "$work/mpop-uidls"
: > "$work/store/Account.ini"
{
  echo "defaults"
  echo "host 127.0.0.1"
  echo "port $POP3_PORT"
  echo "tls off"
  echo "auth user"
  echo "passwordeval echo secret"
  echo "keep on"
  echo "only_new on"
  echo "received_header off"
  echo "uidls_file $work/mpop-uidls/%U_at_%H"
  echo "delivery mbox $work/out.mbox"
} > "$work/mpoprc"
n=0
while [ "$n" -lt "$accounts" ]; do
  mailbox "check$n" "$per_account"
  printf 'acct%d\t127.0.0.1\tcheck%d\tsecret\t127.0.0.1\tbench@example.com\t%s\t25\t0\t>\t0\t0\r\n' "$n" "$n" "$POP3_PORT" \
    >> "$work/store/Account.ini"
  printf 'account acct%d\nuser check%d\n' "$n" "$n" >> "$work/mpoprc"
  n=$((n + 1))
done
chmod 0600 "$work/mpoprc"

now() { date +%s.%N; }
elapsed() { /usr/bin/python3 -c "print($2 - $1)"; }
best() { /usr/bin/python3 -c "import sys; print(min(float(x) for x in sys.argv[1:]))" "$@"; }
tops() { grep -o 'top=[0-9]*' "$STATE/dovecot.log" | awk -F= '{s += $2} END {print s + 0}'; }

# Each side sees every message once before the measured polls: mpop fetches them all (keeping
# them on the server) and the check reads their headers and announces them.
mpop -C "$work/mpoprc" -a -Q >/dev/null
announced=$("$cli" --root "$work/store" check | tail -n 1)
tops_before=$(tops)

# best of five polls each, alternating, so a busy machine weighs on both sides alike
mpop_runs=""; ours_runs=""
for run in 1 2 3 4 5; do
  t0=$(now)
  mpop -C "$work/mpoprc" -a -Q >/dev/null
  t1=$(now)
  mpop_runs="$mpop_runs $(elapsed "$t0" "$t1")"

  t0=$(now)
  "$cli" --root "$work/store" check >"$work/check.out"
  t1=$(now)
  ours_runs="$ours_runs $(elapsed "$t0" "$t1")"
done
tops_measured=$(( $(tops) - tops_before ))
mpop_s=$(best $mpop_runs); ours_s=$(best $ours_runs)

/usr/bin/python3 - "$mpop_s" "$ours_s" "$tops_measured" "$announced" "$(tail -n 1 "$work/check.out")" "$tops_before" <<'PY'
import sys
mpop, ours = float(sys.argv[1]), float(sys.argv[2])
print("first check: %s, %s TOP commands" % (sys.argv[4], sys.argv[6]))
print("10 accounts x 1,000 messages, nothing new: mpop --only-new %.3f s, plumex-cli check %.3f s, ratio %.2f (goal <= 1.5)"
      % (mpop, ours, ours / mpop))
print("TOP commands in the measured checks: %s (goal 0); last check: %s" % (sys.argv[3], sys.argv[5]))
PY
