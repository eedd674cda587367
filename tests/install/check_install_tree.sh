#!/bin/sh
# Installs the build into a fresh prefix and checks the tree a desktop needs.
# Usage: check_install_tree.sh BUILD_DIR PREFIX
set -eu
build="$1"
prefix="$2"
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "install tree: $*" >&2; exit 1; }

for f in bin/plumex bin/plumex-cli; do
  [ -x "$prefix/$f" ] || fail "$f missing or not executable"
done
for f in share/applications/plumex.desktop share/icons/hicolor/scalable/apps/plumex.svg \
         share/man/man1/plumex-cli.1 share/doc/plumex/guide.html; do
  [ -s "$prefix/$f" ] || fail "$f missing"
done

desktop="$prefix/share/applications/plumex.desktop"
command -v desktop-file-validate >/dev/null || fail "desktop-file-validate missing (scripts/install-deps.sh test)"
desktop-file-validate "$desktop" || fail "plumex.desktop is not valid"
grep -qx 'MimeType=x-scheme-handler/mailto;' "$desktop" || fail "no mailto: handler"
grep -qx 'Categories=Network;Email;' "$desktop" || fail "categories"
grep -q '^Exec=plumex %u$' "$desktop" || fail "Exec does not pass the address"
grep -q '^Name\[ja\]=' "$desktop" && grep -q '^Comment\[ja\]=' "$desktop" || fail "no Japanese name or comment"
grep -q '^Icon=plumex$' "$desktop" || fail "icon name"

# The manual page names the command, and the installed tool runs and names its mail root.
head -n 1 "$prefix/share/man/man1/plumex-cli.1" | grep -q '^\.TH PLUMEX-CLI 1' || fail "manual page header"
out="$(PLUMEX_ROOT="$prefix/store" "$prefix/bin/plumex-cli" version)" || fail "plumex-cli version failed"
echo "$out" | grep -q "メールストア: $prefix/store (PLUMEX_ROOT)" || fail "version output: $out"
echo "install tree: ok"
