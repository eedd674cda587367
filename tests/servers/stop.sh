#!/bin/sh
# Stops the servers started by start.sh DIR and removes their working directory.
set -u
dir="$1"
env="$dir/servers.env"
[ -f "$env" ] || exit 0
state="$(sed -n 's/^STATE=//p' "$env")"
if [ -n "$state" ] && [ -d "$state" ]; then
  if [ -f "$state/dovecot.conf" ]; then
    dovecot -c "$state/dovecot.conf" stop 2>/dev/null || true
  fi
  for pidfile in "$state"/*.pid; do
    [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null
  done
  sleep 0.3
  case "$state" in /tmp/plumex-servers.*) rm -rf "$state" ;; esac
fi
rm -f "$env"
