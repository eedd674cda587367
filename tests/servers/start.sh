#!/bin/sh
# Starts the test mail servers on free loopback ports and writes DIR/servers.env:
#   STATE=...              the servers' working directory (under /tmp, reachable by nobody)
#   CA_FILE=...            the test CA that signed the servers' certificate (localhost, 127.0.0.1)
#   OTHER_CERT=, OTHER_KEY=  a self-signed certificate for localhost (fails verification)
#   POP3_PORT, POP3S_PORT  Dovecot POP3, plain and implicit TLS; any user, password "secret",
#                          mail in $STATE/home/USER/Maildir
#   SMTP_PORT              Dovecot submission: STARTTLS, AUTH LOGIN (any user, "secret"),
#                          PIPELINING; relays to the next one
#   SMTP_PLAIN_PORT        OpenSMTPD: no TLS, no authentication, no PIPELINING
#   SMTP_MAILDIR=...       where all mail sent is delivered (maildir: new/ holds the messages)
# Usage: start.sh DIR. Stop with stop.sh DIR. Must run as root (the servers drop privileges).
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
dir="$1"
mkdir -p "$dir"
dir="$(cd "$dir" && pwd)"
"$here/stop.sh" "$dir"

state="$(mktemp -d /tmp/plumex-servers.XXXXXX)"
chmod 755 "$state"
certs="$state/certs"
"$here/make_certs.sh" "$certs"
chmod 755 "$certs"; chmod 644 "$certs"/*.pem; chmod 600 "$certs"/*.key

py=/usr/bin/python3
free_ports() {  # N distinct free ports
  $py -c 'import socket,sys
socks=[socket.socket() for _ in range(int(sys.argv[1]))]
for s in socks: s.bind(("127.0.0.1",0))
print(" ".join(str(s.getsockname()[1]) for s in socks))' "$1"
}
wait_port() {
  i=0
  while ! $py -c 'import socket,sys; socket.create_connection(("127.0.0.1",int(sys.argv[1])),1).close()' "$1" 2>/dev/null; do
    i=$((i+1)); [ $i -gt 100 ] && { echo "server on port $1 did not start" >&2; return 1; }
    sleep 0.1
  done
}
set -- $(free_ports 4)
pop3_port=$1; pop3s_port=$2; smtp_port=$3; smtp_plain_port=$4
fill() {
  sed -e "s|@STATE@|$state|g" -e "s|@CERTS@|$certs|g" \
      -e "s|@POP3_PORT@|$pop3_port|g" -e "s|@POP3S_PORT@|$pop3s_port|g" \
      -e "s|@SMTP_PORT@|$smtp_port|g" -e "s|@SMTP_PLAIN_PORT@|$smtp_plain_port|g" "$1" > "$2"
}

# servers.env names the state from the start, so that stop.sh cleans up after a failure.
trap '"$here/stop.sh" "$dir"' EXIT
echo "STATE=$state" > "$dir/servers.env"

# OpenSMTPD keeps its queue and control socket at fixed places; a private mount namespace
# gives this instance its own, so that several test runs can have servers at once.
mkdir -p "$state/smtp-maildir/new" "$state/smtp-maildir/cur" "$state/smtp-maildir/tmp" \
         "$state/smtpd-spool" "$state/smtpd-run"
chmod -R 1777 "$state/smtp-maildir"
chmod 711 "$state/smtpd-spool"
fill "$here/opensmtpd/smtpd.conf.in" "$state/smtpd.conf"
mkdir -p /var/spool/smtpd
unshare -m sh -c "mount --bind '$state/smtpd-spool' /var/spool/smtpd && mount --bind '$state/smtpd-run' /run && exec smtpd -d -f '$state/smtpd.conf'" \
  < /dev/null > "$state/smtpd.log" 2>&1 &
echo $! > "$state/smtpd.pid"

mkdir -p "$state/run" "$state/state" "$state/home"
chmod 1777 "$state/home"
fill "$here/dovecot/dovecot.conf.in" "$state/dovecot.conf"
# The daemons must not keep the caller's output open (CTest waits for it to close).
dovecot -c "$state/dovecot.conf" < /dev/null > "$state/dovecot-start.log" 2>&1 || {
  cat "$state/dovecot-start.log" >&2; exit 1; }

for p in $pop3_port $pop3s_port $smtp_port $smtp_plain_port; do wait_port "$p"; done
cat >> "$dir/servers.env" <<END
CA_FILE=$certs/ca.pem
OTHER_CERT=$certs/other.pem
OTHER_KEY=$certs/other.key
POP3_PORT=$pop3_port
POP3S_PORT=$pop3s_port
SMTP_PORT=$smtp_port
SMTP_PLAIN_PORT=$smtp_plain_port
SMTP_MAILDIR=$state/smtp-maildir
END
trap - EXIT
