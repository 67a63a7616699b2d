#!/bin/sh
# Installs the build into a temporary prefix and uses it as a technician's machine
# would: the files in their places, the installed command line against a virtual
# phone, the installed window with a read-only program folder keeping its settings
# in $XDG_CONFIG_HOME, and the Debian package's file list.
# usage: install_test.sh BUILD_FOLDER
set -eu
build=$(cd "$1" && pwd)
work=$(mktemp -d)
prefix="$work/prefix"
cleanup() { chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/brantle bin/brantle-cli bin/brantle-phonesim \
         share/brantle/loaders/README share/brantle/language/english.lng \
         share/applications/brantle.desktop share/icons/hicolor/scalable/apps/brantle.svg \
         share/bash-completion/completions/brantle-cli \
         share/man/man1/brantle.1 share/man/man1/brantle-cli.1 share/man/man1/brantle-phonesim.1; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done
[ "$(ls "$prefix/share/brantle/loaders")" = "README" ] || fail "loader files were installed"
grep -q "Query_Sure=Are you sure?" "$prefix/share/brantle/language/english.lng" ||
  fail "english.lng lacks the built-in texts"
grep -q "^Win_Tab_Flashing=Flashing" "$prefix/share/brantle/language/english.lng" ||
  fail "english.lng lacks the window's captions"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/brantle.desktop" || fail "desktop entry"
fi

# The demo loaders are never installed; the virtual phone takes them from the build.
export BRANTLE_LOADERS="$build/bin/loaders"
out=$("$prefix/bin/brantle-cli" --simulate E700 identify 2>&1) || fail "identify: $out"
echo "$out" | grep -q "Flash: Samsung" || fail "identify printed: $out"

# The window, installed read-only: its settings go to the XDG folder.
chmod a-w "$prefix/bin"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=offscreen
"$prefix/bin/brantle" --simulate E800 --trace "$work/trace" >"$work/window.log" 2>&1 &
window=$!
# Bounded wait for the second loader's "c": the phone is (all but) connected. A
# SIGTERM in the middle of the connect would only end the attempt.
i=0
until grep -q -- "RX 000000  63 " "$work/trace" 2>/dev/null; do
  i=$((i + 1))
  [ $i -lt 300 ] || { kill $window; fail "the window never connected: $(cat "$work/window.log")"; }
  sleep 0.1
done
kill -TERM $window
wait $window || fail "the window ended with $? after SIGTERM: $(cat "$work/window.log")"
grep -q "TX 000000  E8" "$work/trace" || fail "the window did not end the phone connection"
[ -f "$XDG_CONFIG_HOME/brantle/brntl.ini" ] || fail "no settings in \$XDG_CONFIG_HOME/brantle"
grep -q "PhoneType=E800" "$XDG_CONFIG_HOME/brantle/brntl.ini" || fail "settings not saved"
[ ! -e "$prefix/bin/brntl.ini" ] || fail "settings written into the program folder"
chmod u+w "$prefix/bin"

# The Debian package holds what a desktop needs.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null || fail "cpack"
deb=$(ls "$work"/package/*.deb)
list=$(dpkg-deb -c "$deb")
for f in usr/bin/brantle usr/share/applications/brantle.desktop \
         usr/share/icons/hicolor/scalable/apps/brantle.svg usr/share/man/man1/brantle.1 \
         usr/share/man/man1/brantle-cli.1 usr/share/bash-completion/completions/brantle-cli; do
  echo "$list" | grep -q "\./$f\$" || fail "$f is not in the package"
done
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the package does not depend on Qt"
dpkg-deb -f "$deb" Depends | grep -q qt6-translations-l10n ||
  fail "the package does not bring Qt's translations"
echo "1 passed, 0 failed"
