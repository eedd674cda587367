# Sourced (not run) by the benchmarks that need the real servers, after they set $root: makes
# the work folder $work, starts the servers of tests/servers in it, reads their settings
# (POP3_PORT, SMTP_PORT, STATE, ...) and stops them and removes $work when the script exits.
work="$(mktemp -d /tmp/plumex-bench.XXXXXX)"
trap '"$root/tests/servers/stop.sh" "$work/servers" >/dev/null 2>&1; rm -rf "$work"' EXIT

"$root/tests/servers/start.sh" "$work/servers" >/dev/null
. "$work/servers/servers.env"

# new_maildir USER: an empty mailbox for USER on the POP3 server (an old one is removed), open
# to the server's own user as the tests' mailboxes are.
new_maildir() {
  rm -rf "$STATE/home/$1"
  mkdir -p "$STATE/home/$1/Maildir/cur" "$STATE/home/$1/Maildir/new" "$STATE/home/$1/Maildir/tmp"
  chmod -R 0777 "$STATE/home/$1"
}
