#!/bin/sh
# Installs the Debian packages a task needs; packages already present are skipped.
# Usage: scripts/install-deps.sh [program|demo|test]   (default: program)
#   program  build and run Plumex (./run.sh): build tools, Qt with its Japanese translations, GMime,
#            OpenSSL, libjpeg, ICU, libsecret (passwords in the desktop keyring), SQLite (the search
#            index), fonts
#   demo     program + the local mail servers of the demo (./run.sh --demo)
#   test     demo + what the tests and benchmarks add (./test.sh; desktop-file-validate checks
#            the installed menu entry)
# The mail servers are Dovecot and tests/servers/smtp_sink.py; no package here is a mail
# transport agent, so a mail server already on the machine (Postfix, Exim, ...) stays, and
# apt-get is told to stop rather than remove anything.
set -eu

PROGRAM="
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-l10n-tools qt6-translations-l10n
  libgmime-3.0-dev libssl-dev libjpeg-dev libicu-dev libsecret-1-dev libsqlite3-dev ca-certificates
  fonts-ipafont-gothic fonts-ipafont-mincho
"
SERVERS="dovecot-core dovecot-pop3d dovecot-submissiond python3 openssl"
# msmtp and mpop are clients, the benchmarks' yardsticks (never msmtp-mta: it is an MTA).
# gnome-keyring, libsecret-tools (secret-tool) and dbus-daemon (dbus-run-session): a keyring of
# the tests' own on a private session bus. zip makes the password-protected archives the
# attachment warning is tested with.
TESTS="
  clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
  mpop msmtp xvfb xauth poppler-utils desktop-file-utils zip
  gnome-keyring libsecret-tools dbus-daemon
"
case "${1:-program}" in
  program) PACKAGES="$PROGRAM" ;;
  demo)    PACKAGES="$PROGRAM $SERVERS" ;;
  test)    PACKAGES="$PROGRAM $SERVERS $TESTS" ;;
  *) echo "usage: $0 [program|demo|test]" >&2; exit 2 ;;
esac

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

if [ -n "$missing" ]; then
  echo "Installing:$missing"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  # Servers are started by the test scripts themselves, never as system services: while
  # installing, a policy-rc.d (unless the machine has one) keeps Dovecot's from starting.
  policy=/usr/sbin/policy-rc.d
  if [ ! -e "$policy" ]; then
    $SUDO sh -c "printf '#!/bin/sh\nexit 101\n' > $policy && chmod +x $policy"
    trap '$SUDO rm -f "$policy"' EXIT
  fi
  $SUDO apt-get install -y -qq --no-install-recommends --no-remove $missing
fi
