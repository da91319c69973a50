#!/bin/sh
# Writes the compressed manual page of a program from its --help and --version:
#   make-manpage.sh HELP2MAN PROGRAM "ONE-LINE DESCRIPTION" OUTPUT.1.gz
set -e
"$1" --no-info --no-discard-stderr --name="$3" "$2" >"$4.tmp"
gzip -9n -c "$4.tmp" >"$4"
rm -f "$4.tmp"
