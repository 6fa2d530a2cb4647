#!/bin/sh
# Checks that an i686 kestrow.dll exports exactly the eight exit entry
# points, under their plain names (no leading underscore, no @n suffix).
# Usage: check_i686_exports.sh path/to/kestrow.dll
set -eu

if [ $# -ne 1 ]; then
    echo "usage: $0 kestrow.dll" >&2
    exit 2
fi
dll=$1
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

expected="OrlEvt_ExitActionPost
OrlEvt_ExitActionPre
OrlEvt_ExitLogPost
OrlEvt_ExitLogPre
OrlEvt_ExitMessagePost
OrlEvt_ExitMessagePre
OrlEvt_ExitSystemInit
OrlEvt_ExitSystemTerm"

dump=$("$objdump" -p "$dll") || { echo "cannot read $dll" >&2; exit 1; }

if ! printf '%s\n' "$dump" | grep -q 'file format pei-i386'; then
    echo "$dll is not an i686 PE image" >&2
    exit 1
fi

# The names listed in the export name pointer table.
actual=$(printf '%s\n' "$dump" |
    sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | LC_ALL=C sort)

if [ "$actual" != "$expected" ]; then
    echo "export names of $dll differ from the eight exit entry points:" >&2
    printf 'expected:\n%s\nactual:\n%s\n' "$expected" "$actual" >&2
    exit 1
fi
echo "$dll: the eight exit entry points, undecorated"
