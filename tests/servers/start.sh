#!/bin/sh
# Starts the test mail servers on free loopback ports and writes DIR/servers.env:
#   STATE=...              the servers' working directory (under /tmp, reachable by nobody)
#   CA_FILE=...            the test CA that signed the servers' certificate (localhost, 127.0.0.1)
#   OTHER_CERT=, OTHER_KEY=  a self-signed certificate for localhost (fails verification)
#   POP3_PORT, POP3S_PORT  Dovecot POP3, plain and implicit TLS; any user, password "secret",
#                          mail in $STATE/home/USER/Maildir
#   SMTP_PORT              Dovecot submission: STARTTLS, AUTH LOGIN (any user, "secret"),
#                          PIPELINING; relays to the next one
#   SMTP_PLAIN_PORT        smtp_sink.py: no TLS, no authentication, no PIPELINING
#   SMTP_MAILDIR=...       where all mail sent is delivered (maildir: new/ holds the messages)
#   IDP_PORT, IDPS_PORT    fake_idp.py over HTTP and HTTPS: OAuth2 authorize, token,
#                          introspection (Dovecot accepts XOAUTH2 / OAUTHBEARER with its tokens)
# Usage: start.sh DIR. Stop with stop.sh DIR. Must run as root (Dovecot drops privileges).
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
dir="${1:?usage: start.sh DIR}"

# Every program started below, with the Debian package that brings it.
missing=""
for need in dovecot:dovecot-core /usr/lib/dovecot/pop3:dovecot-pop3d \
            /usr/lib/dovecot/submission:dovecot-submissiond python3:python3 openssl:openssl; do
  prog="${need%%:*}"
  command -v "$prog" >/dev/null 2>&1 || missing="$missing $prog (package ${need#*:})"
done
if [ -n "$missing" ]; then
  echo "start.sh: missing:$missing; install them with scripts/install-deps.sh demo (or test)" >&2
  exit 1
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "start.sh: must run as root (Dovecot starts as root and drops privileges)" >&2
  exit 1
fi

mkdir -p "$dir"
dir="$(cd "$dir" && pwd)"
"$here/stop.sh" "$dir"

# Mail is read and written as this user: Dovecot's mail processes (see dovecot.conf.in) and the
# SMTP sink, which takes the uid of the maildir it delivers to.
mail_uid=65534
mail_gid=65534

state="$(mktemp -d /tmp/plumex-servers.XXXXXX)"
chmod 755 "$state"
certs="$state/certs"
"$here/make_certs.sh" "$certs"
chmod 755 "$certs"; chmod 644 "$certs"/*.pem; chmod 600 "$certs"/*.key

free_ports() {  # N distinct free ports
  python3 -c 'import socket,sys
socks=[socket.socket() for _ in range(int(sys.argv[1]))]
for s in socks: s.bind(("127.0.0.1",0))
print(" ".join(str(s.getsockname()[1]) for s in socks))' "$1"
}
wait_port() {
  i=0
  while ! python3 -c 'import socket,sys; socket.create_connection(("127.0.0.1",int(sys.argv[1])),1).close()' "$1" 2>/dev/null; do
    i=$((i+1)); [ $i -gt 100 ] && { echo "server on port $1 did not start (logs in $state)" >&2; return 1; }
    sleep 0.1
  done
}
set -- $(free_ports 6)
pop3_port=$1; pop3s_port=$2; smtp_port=$3; smtp_plain_port=$4; idp_port=$5; idps_port=$6
fill() {
  sed -e "s|@STATE@|$state|g" -e "s|@CERTS@|$certs|g" \
      -e "s|@MAIL_UID@|$mail_uid|g" -e "s|@MAIL_GID@|$mail_gid|g" \
      -e "s|@POP3_PORT@|$pop3_port|g" -e "s|@POP3S_PORT@|$pop3s_port|g" \
      -e "s|@SMTP_PORT@|$smtp_port|g" -e "s|@SMTP_PLAIN_PORT@|$smtp_plain_port|g" \
      -e "s|@IDP_PORT@|$idp_port|g" "$1" > "$2"
}

# servers.env names the state from the start, so that stop.sh cleans up after a failure.
trap '"$here/stop.sh" "$dir"' EXIT
echo "STATE=$state" > "$dir/servers.env"

# The maildir all sent mail goes to belongs to the mail user, so that it can also serve as a
# POP3 mailbox (the demo's): Dovecot then moves messages from new/ to cur/ as their owner.
maildir="$state/smtp-maildir"
mkdir -p "$maildir/new" "$maildir/cur" "$maildir/tmp"
chown -R "$mail_uid:$mail_gid" "$maildir"
chmod -R 755 "$maildir"
# Each server's pid in $state/*.pid, for stop.sh. The daemons must not keep the caller's output
# open (CTest waits for it to close).
python3 "$here/smtp_sink.py" --port "$smtp_plain_port" --maildir "$maildir" \
  < /dev/null > "$state/smtp-sink.log" 2>&1 &
echo $! > "$state/smtp-sink.pid"

python3 "$here/fake_idp.py" --port "$idp_port" --tls-port "$idps_port" \
  --cert "$certs/server.pem" --key "$certs/server.key" < /dev/null > "$state/fake-idp.log" 2>&1 &
echo $! > "$state/fake-idp.pid"

mkdir -p "$state/run" "$state/state" "$state/home"
chmod 1777 "$state/home"
fill "$here/dovecot/dovecot.conf.in" "$state/dovecot.conf"
fill "$here/dovecot/dovecot-oauth2.conf.ext.in" "$state/dovecot-oauth2.conf.ext"
chmod 644 "$state/dovecot-oauth2.conf.ext"
dovecot -c "$state/dovecot.conf" < /dev/null > "$state/dovecot-start.log" 2>&1 || {
  cat "$state/dovecot-start.log" >&2; exit 1; }

for p in $pop3_port $pop3s_port $smtp_port $smtp_plain_port $idp_port $idps_port; do wait_port "$p"; done
cat >> "$dir/servers.env" <<END
CA_FILE=$certs/ca.pem
OTHER_CERT=$certs/other.pem
OTHER_KEY=$certs/other.key
POP3_PORT=$pop3_port
POP3S_PORT=$pop3s_port
SMTP_PORT=$smtp_port
SMTP_PLAIN_PORT=$smtp_plain_port
SMTP_MAILDIR=$maildir
IDP_PORT=$idp_port
IDPS_PORT=$idps_port
END
trap - EXIT
