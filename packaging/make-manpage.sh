#!/bin/sh
# Writes a program's manual page from its own --help, gzipped:
#   make-manpage.sh PROGRAM OUTPUT.gz "WHAT IT IS" [INCLUDE.h2m...]
# Every command that "PROGRAM --help" lists under "commands:" gets a part of
# its own, made from "PROGRAM help COMMAND", so a new command needs no
# change here.
set -eu
prog=$1
out=$2
what=$3
shift 3
export LC_ALL=C.UTF-8
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
inc="$tmp/include.h2m"

# help2man reads its arguments as Latin-1; a name read from a file stays UTF-8.
printf '[NAME]\n%s \\- %s\n\n' "$(basename "$prog")" "$what" >"$inc"
for extra in "$@"; do cat "$extra" >>"$inc"; printf '\n' >>"$inc"; done

commands=$("$prog" --help | awk '/^commands:/ { on = 1; next } on && /^$/ { exit } on && /^  [a-z]/ { print $1 }')
if [ -n "$commands" ]; then
  printf '[COMMANDS]\n' >>"$inc"
  for c in $commands; do
    [ "$c" = help ] && continue
    printf '.SS "%s %s"\n' "$(basename "$prog")" "$c" >>"$inc"
    help2man --no-info --locale=C.UTF-8 --version-string=0 --help-option="help $c" "$prog" |
      sed -n '/^\.SH DESCRIPTION/,/^\.SH/{/^\.SH/d;/^\.SS/d;p;}' >>"$inc"
  done
  printf '\n' >>"$inc"
fi

help2man --no-info --locale=C.UTF-8 --include="$inc" "$prog" >"$tmp/page"
gzip -9n <"$tmp/page" >"$out"
