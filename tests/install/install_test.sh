#!/bin/sh
# The Debian package as a technician gets it: built from this build by cpack,
# checked by lintian, unpacked into a temporary root (the machine's own package
# database untouched) and used there: the files in their places, hardened and
# stripped programs, the copyright file, changelog and man pages whatis finds, and
# the installed command line and window run against a virtual phone with no loaders
# installed (stand-ins for the run, gone afterwards), writing nothing into the home
# folder.
# usage: install_test.sh BUILD_FOLDER
set -eu
build=$(cd "$1" && pwd)
work=$(mktemp -d)
root="$work/root"
cleanup() { chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

# The package and its debug symbols.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null || fail "cpack"
deb=$(ls "$work"/package/brantle_*.deb)
dbgsym=$(ls "$work"/package/brantle-dbgsym_*.*deb) || fail "no debug symbols package"
version=$(dpkg-deb -f "$deb" Version)

# lintian: no error and no warning (its own note about running as root aside).
lint=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $lint"
echo "$lint" | grep -q "^[EW]:" && fail "lintian: $lint"

dpkg-deb -f "$deb" Maintainer | grep -q "localhost" && fail "the maintainer has no real address"
dpkg-deb -f "$deb" Description | sed -n 2p | grep -q "Samsung SGH" ||
  fail "no extended description: $(dpkg-deb -f "$deb" Description)"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the package does not depend on Qt"
dpkg-deb -f "$deb" Depends | grep -q qt6-translations-l10n ||
  fail "the package does not bring Qt's translations"
dpkg-deb -f "$deb" Recommends | grep -q bash-completion ||
  fail "the package does not recommend bash-completion, which loads its completion"
lint=$(lintian --fail-on error,warning "$dbgsym" 2>&1) || fail "lintian on $dbgsym: $lint"
echo "$lint" | grep -q "^[EW]:" && fail "lintian on $dbgsym: $lint"
dpkg-deb -c "$dbgsym" >"$work/dbgsym.list"

dpkg-deb -x "$deb" "$root"
for f in bin/brantle bin/brantle-cli bin/brantle-phonesim \
         share/brantle/loaders/README share/brantle/language/english.lng \
         share/brantle/language/arabic.lng share/brantle/language/german.lng \
         share/brantle/language/polish.lng share/brantle/language/portuguese_br.lng \
         share/brantle/language/russian.lng share/brantle/language/spanish.lng \
         share/brantle/language/turkish.lng share/brantle/language/ukrainian.lng \
         share/applications/brantle.desktop share/icons/hicolor/scalable/apps/brantle.svg \
         share/bash-completion/completions/brantle-cli share/doc/brantle/copyright \
         share/doc/brantle/changelog.Debian.gz; do
  [ -e "$root/usr/$f" ] || fail "$f is not installed"
done
[ "$(ls "$root/usr/share/brantle/loaders")" = "README" ] || fail "loader files were installed"
grep -q "Query_Sure=Are you sure?" "$root/usr/share/brantle/language/english.lng" ||
  fail "english.lng lacks the built-in texts"
grep -q "^Win_Tab_Flashing=Flashing" "$root/usr/share/brantle/language/english.lng" ||
  fail "english.lng lacks the window's captions"
desktop-file-validate "$root/usr/share/applications/brantle.desktop" || fail "desktop entry"

# Stripped, with debug symbols in the debug package, and hardened: bound at start,
# read-only relocations, position-independent, stack protector and checked functions.
for program in brantle brantle-cli brantle-phonesim; do
  bin="$root/usr/bin/$program"
  readelf -S "$bin" | grep -q -e "\.symtab" -e "\.debug_" && fail "$program is not stripped"
  readelf -h "$bin" | grep -q "Type: *DYN" || fail "$program is not position-independent"
  readelf -l "$bin" | grep -q "GNU_RELRO" || fail "$program has no read-only relocations"
  readelf -d "$bin" | grep -q "BIND_NOW" || fail "$program is not bound at start"
  id=$(readelf -n "$bin" | sed -n 's/.*Build ID: *//p')
  grep -q "/usr/lib/debug/.build-id/$(echo "$id" | cut -c1-2)/$(echo "$id" | cut -c3-)\.debug$" \
    "$work/dbgsym.list" || fail "no debug symbols of $program (build ID $id)"
  readelf -W --dyn-syms "$bin" >"$work/symbols"
  grep -q " __stack_chk_fail@" "$work/symbols" || fail "$program has no stack protector"
  grep -q " __[a-z]*_chk@" "$work/symbols" || fail "$program uses no checked functions"
done

# The licence, machine-readable, and the changelog of this version.
copyright="$root/usr/share/doc/brantle/copyright"
head -1 "$copyright" | grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ||
  fail "the copyright file is not machine-readable"
grep -qx "License: GPL-3.0-or-later" "$copyright" || fail "the copyright file names no licence"
zcat "$root/usr/share/doc/brantle/changelog.Debian.gz" >"$work/changelog"
[ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$version" ] ||
  fail "the changelog's version is not the package's ($version)"

# Man pages: what each program is, a synopsis, and whatis finds them.
man="$root/usr/share/man"
check_page() {
  page="$man/man1/$1.1.gz"
  name=$(zcat "$page" | sed -n '/^\.SH NAME/{n;p;q}')
  [ "$name" = "$1 \\- $2" ] || fail "$1.1 NAME line: $name"
  zcat "$page" | grep -q "^\.SH SYNOPSIS" || fail "$1.1 has no SYNOPSIS"
}
check_page brantle "dump, flash and erase Samsung SGH phones in boot mode over a serial line"
check_page brantle-cli "flash, dump and erase Samsung SGH phones from the command line"
check_page brantle-phonesim "virtual Samsung SGH phone in boot mode on a pseudo-terminal"
mandb -q -c "$man" >/dev/null 2>&1 || fail "mandb could not index the man pages"
whatis -M "$man" brantle | grep -q "^brantle (1) *- dump, flash and erase" ||
  fail "whatis brantle: $(whatis -M "$man" brantle 2>&1)"

# The demo of the installed copy: no loaders installed, none given; the programs get
# a home and temporary folder of their own, which they must leave as they found them.
unset BRANTLE_LOADERS
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
       XDG_CACHE_HOME="$work/cache" XDG_STATE_HOME="$work/state" XDG_RUNTIME_DIR="$work/runtime" \
       TMPDIR="$work/tmp" QT_QPA_PLATFORM=offscreen
mkdir "$HOME" "$TMPDIR"
mkdir -m 700 "$XDG_RUNTIME_DIR"
loaders="$root/usr/share/brantle/loaders"
out=$("$root/usr/bin/brantle-cli" --simulate E800 identify 2>&1) || fail "identify: $out"
echo "$out" | grep -q "Flash: Samsung" || fail "identify printed: $out"
echo "$out" | grep -qx "Stand-in demo loaders (no real loaders in $loaders)" ||
  fail "identify did not name the stand-ins and the loaders folder: $out"
[ -z "$(ls -A "$TMPDIR")" ] || fail "the command line left $(ls "$TMPDIR") in \$TMPDIR"

# The window, installed read-only: it reaches Ready on stand-ins (its trace marks
# the moment), its settings go to the XDG folder, and a SIGTERM ends it cleanly.
chmod a-w "$root/usr/bin"
"$root/usr/bin/brantle" --simulate E800 --trace "$work/trace" >"$work/window.log" 2>&1 &
window=$!
i=0
until grep -q -- " -- ready: Samsung " "$work/trace" 2>/dev/null; do
  i=$((i + 1))
  [ $i -lt 600 ] || { kill $window; fail "the window never became Ready: $(cat "$work/window.log")"; }
  kill -0 $window 2>/dev/null || fail "the window ended: $(cat "$work/window.log")"
  sleep 0.1
done
ls "$TMPDIR" | grep -q "^brantle-loaders-" || fail "the window runs without its stand-ins"
kill -TERM $window
wait $window || fail "the window ended with $? after SIGTERM: $(cat "$work/window.log")"
grep -q "TX 000000  E8" "$work/trace" || fail "the window did not end the phone connection"
grep -q "not found" "$work/window.log" && fail "the window: $(cat "$work/window.log")"
[ -z "$(ls -A "$TMPDIR")" ] || fail "the window left $(ls "$TMPDIR") in \$TMPDIR"
grep -q "PhoneType=E800" "$XDG_CONFIG_HOME/brantle/brntl.ini" ||
  fail "settings not saved in \$XDG_CONFIG_HOME/brantle"
[ ! -e "$root/usr/bin/brntl.ini" ] || fail "settings written into the program folder"
[ -z "$(ls -A "$HOME")" ] || fail "written into the home folder: $(ls -A "$HOME")"
# Both programs kept the operation log in the state folder.
log="$XDG_STATE_HOME/brantle/brantle.log"
grep -q " cli\[[0-9]*\] /dev/pts/[0-9]* E800: connected: Samsung " "$log" ||
  fail "the command line's connect is not in $log"
grep -q " window\[[0-9]*\] /dev/pts/[0-9]* E800: connected: Samsung " "$log" ||
  fail "the window's connect is not in $log"
echo "1 passed, 0 failed"
