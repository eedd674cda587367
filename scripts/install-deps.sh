#!/bin/sh
# Installs every Debian package the build, the tests and the demo need.
# Safe to run again: packages already present are skipped.
set -eu

PACKAGES="
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libqt6svg6-dev qt6-l10n-tools
  libgmime-3.0-dev libssl-dev libjpeg-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  dovecot-core dovecot-pop3d dovecot-submissiond opensmtpd
  mpop msmtp python3 ca-certificates openssl
  xvfb xauth
"

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
  # Servers are started by the test scripts themselves, never as system services.
  $SUDO sh -c 'printf "#!/bin/sh\nexit 101\n" > /usr/sbin/policy-rc.d && chmod +x /usr/sbin/policy-rc.d' || true
  $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
