#!/bin/sh
# Sending against msmtp in one run, through the local submission server (STARTTLS, AUTH LOGIN,
# PIPELINING): 500 single messages sent one call each, and a merge of 1,000 rows over one
# connection against msmtp sending the same 1,000 messages one call each.
# Needs root (the servers) and scripts/build.sh bench. Usage: bench/send_vs_msmtp.sh [build-dir]
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build-bench}"
cli="$build/app/plumex-cli"
. "$here/servers_up.sh"
singles=500
rows=1000

store="$work/store"
mkdir -p "$store"
printf 'bench\t127.0.0.1\tbench\tsecret\t127.0.0.1\tbench@example.jp\t110\t%s\t0\t>\t0\t-1\r\n' "$SMTP_PORT" > "$store/Account.ini"
body="$work/body.txt"
printf '%s\n' "こんにちは。" "ベンチマークの本文です。" > "$body"
# The first send trusts the test CA's certificate for this store.
"$cli" --root "$store" send --account bench --to first@example.jp --subject warmup --yes < "$body" >/dev/null 2>&1

cat > "$work/msmtprc" <<RC
account bench
host 127.0.0.1
port $SMTP_PORT
tls on
tls_starttls on
tls_trust_file $CA_FILE
auth login
user bench
password secret
from bench@example.jp
account default : bench
RC
chmod 600 "$work/msmtprc"
mail="$work/mail.txt"
printf 'From: bench@example.jp\r\nTo: to@example.jp\r\nSubject: bench\r\n\r\nbody\r\n' > "$mail"

now() { date +%s.%N; }
elapsed() { /usr/bin/python3 -c "print($2 - $1)"; }

t0=$(now)
i=0
while [ $i -lt $singles ]; do
  msmtp -C "$work/msmtprc" to@example.jp < "$mail"
  i=$((i + 1))
done
t1=$(now)
msmtp_single=$(elapsed "$t0" "$t1")

t0=$(now)
i=0
while [ $i -lt $singles ]; do
  "$cli" --root "$store" send --account bench --to to@example.jp --subject bench < "$body" >/dev/null
  i=$((i + 1))
done
t1=$(now)
ours_single=$(elapsed "$t0" "$t1")

sheet="$work/sheet.csv"
{
  echo "mail,name"
  i=0
  while [ $i -lt $rows ]; do echo "row$i@example.jp,name$i"; i=$((i + 1)); done
} > "$sheet"
t0=$(now)
"$cli" --root "$store" send --account bench --subject "merge %SS2%" --merge-sheet "$sheet" < "$body" >/dev/null
t1=$(now)
ours_merge=$(elapsed "$t0" "$t1")

t0=$(now)
i=0
while [ $i -lt $rows ]; do
  msmtp -C "$work/msmtprc" "row$i@example.jp" < "$mail"
  i=$((i + 1))
done
t1=$(now)
msmtp_merge=$(elapsed "$t0" "$t1")

ceiling=$(/usr/bin/python3 "$here/smtp_ceiling.py" "$SMTP_PORT" "$CA_FILE")
echo "the server's own ceiling, 1,000 bare messages pipelined over one connection: $ceiling msg/s"

/usr/bin/python3 - "$singles" "$rows" "$msmtp_single" "$ours_single" "$msmtp_merge" "$ours_merge" <<'PY'
import sys
singles, rows = int(sys.argv[1]), int(sys.argv[2])
ms, os_, mm, om = map(float, sys.argv[3:])
print("single sends: msmtp %.1f msg/s, plumex-cli send %.1f msg/s, ratio %.2f (goal >= 10)" % (singles / ms, singles / os_, ms / os_))
print("1,000 rows: msmtp one call each %.1f msg/s, plumex merge over one connection %.1f msg/s, ratio %.2f (goal >= 30)"
      % (rows / mm, rows / om, mm / om))
PY
