#!/bin/sh
# Checks that kestrow.so defines exactly the eight exit entry points as its
# dynamic symbols. Usage: check_linux_exports.sh path/to/kestrow.so
set -eu
expected="OrlEvt_ExitActionPost
OrlEvt_ExitActionPre
OrlEvt_ExitLogPost
OrlEvt_ExitLogPre
OrlEvt_ExitMessagePost
OrlEvt_ExitMessagePre
OrlEvt_ExitSystemInit
OrlEvt_ExitSystemTerm"
actual=$(nm -D --defined-only "$1" | awk '{print $NF}' | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
    printf 'dynamic symbols of %s:\n%s\n' "$1" "$actual" >&2
    exit 1
fi
echo "$1: the eight exit entry points only"
