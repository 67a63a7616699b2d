#!/bin/sh
# The bash completion of brantle-cli in a plain bash (no bash-completion helpers, no
# start-up files): it registers itself, offers after --speed only the speeds of the
# family chosen so far, the commands and their kinds, and file names whole.
# usage: completion_test.sh COMPLETION_FILE
set -eu
file=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

# What the completion offers for the words given, the last being the one completed,
# one a line in the order offered.
offered() {
  bash --norc --noprofile -c '
    . "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    _brantle_cli
    printf "%s\n" "${COMPREPLY[@]}"' _ "$file" "$@"
}
expect() {
  want=$1
  shift
  got=$(offered "$@" | tr '\n' ' ' | sed 's/ $//')
  [ "$got" = "$want" ] || fail "brantle-cli $* offered \"$got\", not \"$want\""
}

registered=$(bash --norc --noprofile -c ". \"$file\"; complete -p brantle-cli")
[ "$registered" = "complete -F _brantle_cli brantle-cli" ] || fail "registered as: $registered"

e_speeds="38400 76800 115200 153600 230400 307200 460800 537600 614400 806400"
expect "$e_speeds" brantle-cli --family E800 --speed ""
expect "$e_speeds" brantle-cli --simulate E700 --speed ""
expect "$e_speeds" brantle-cli --speed ""
expect "115200 230400 460800 921600" brantle-cli --simulate Opti --model X480 --speed ""
expect "115200 230400 460800 921600" brantle-cli --family opti --speed ""
# --family wins over the family --simulate sets, wherever it stands.
expect "460800" brantle-cli --family E330 --simulate Opti --speed 4
expect "921600" brantle-cli --simulate E800 --family Opti --speed 9
expect "" brantle-cli --family E800 --speed 9

expect "E700 E800 E330 S500 Opti" brantle-cli --simulate ""
expect "flash" brantle-cli --simulate E800 fl
expect "bin dif diff s500 s3 part hex" brantle-cli --simulate E800 flash ""
expect "raw-read" brantle-cli --port /dev/ttyUSB0 tfs ra
expect "firmware full" brantle-cli dump --region f

touch "$work/my firmware.bin" "$work/other.bin"
expect "$work/my firmware.bin" brantle-cli flash bin "$work/my"
expect "$work/other.bin" brantle-cli dump -o "$work/o"
echo "1 passed, 0 failed"
