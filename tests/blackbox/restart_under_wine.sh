#!/bin/bash
# Restarts of the Windows build, run under wine64 with an accelerated clock
# (300 seconds pass in 3): the replacement must read on from where the
# input stands, whether the old worker waited in a read or hung in a send.
# Usage: restart_under_wine.sh Brisko.exe evtmgr.exe
set -u
brisko=$1
evtmgr=$2
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d /tmp/brisko-wine-XXXXXX)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

start_event_manager() {  # options...
  wine "$evtmgr" --port 0 "$@" > "$work/evtmgr.out" 2> "$work/evtmgr.err" &
  evtmgr_pid=$!
  for _ in $(seq 300); do
    grep -q '^listening on port' "$work/evtmgr.out" 2>/dev/null && break
    sleep 0.1
  done
  MORWICK_PORT=$(sed -n 's/^listening on port \([0-9]*\).*/\1/p' "$work/evtmgr.out" | tr -d '\r')
  export MORWICK_PORT
  [ -n "$MORWICK_PORT" ] || fail "event manager stand-in did not start"
}

start_brisko() {
  rm -f "$work/in"; mkfifo "$work/in"
  faketime -f "+0 x100" wine "$brisko" < "$work/in" > "$work/brisko.out" 2> "$work/brisko.err" &
  brisko_pid=$!
  exec 3> "$work/in"
}

messages() { grep -c '^message' "$work/evtmgr.out" 2>/dev/null || true; }
wait_for() {  # seconds command...
  local limit=$1; shift
  for _ in $(seq $((limit * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}
has_messages() { [ "$(messages)" -ge "$1" ]; }
has_restart() { grep -q 'Restarting processing thread' "$work/brisko.err"; }
finish() {
  exec 3>&-
  local status=0
  wait_for 30 bash -c "! kill -0 $brisko_pid 2>/dev/null" || fail "brisko did not end"
  wait "$brisko_pid"; status=$?
  [ "$status" = 0 ] || fail "exit status $status"
  kill "$evtmgr_pid" 2>/dev/null; wait "$evtmgr_pid" 2>/dev/null
  [ "$(grep -c 'Welcome to Brisko.exe' "$work/brisko.err")" = 1 ] || fail "the banner must appear exactly once"
}
message_texts() { sed -n 's/^message\t[^\t]*\(\t[^\t]*\)\{8\}\t\([^\t]*\)\t[^\t]*\t\([^\t]*\).*/\2|\3/p' "$work/evtmgr.out" | tr -d '\r'; }

echo "== an idle reader is replaced; its half message is lost, the rest is read on"
start_event_manager
start_brisko
printf 'evtm_text\tsent\n\nevtm_text\tlost\n' >&3
wait_for 20 has_messages 1 || fail "first message not received"
wait_for 30 has_restart || fail "no restart"
# The notice comes first; until the replacement has taken over, moments
# later, the old worker may still read. Well before the next restart:
sleep 0.5
printf 'evtm_user\tafter\n\n' >&3
wait_for 20 has_messages 2 || fail "message after the restart not received"
finish
expected=$'sent|(absent)\n<empty>|after'
[ "$(message_texts)" = "$expected" ] || fail "messages: $(message_texts)"

echo "== a worker hung in a send is replaced; the waiting message goes out once"
start_event_manager --never-reply
start_brisko
printf 'evtm_text\tfirst\n\nevtm_text\tsecond\n\n' >&3
wait_for 30 has_messages 2 || fail "the replacement did not send the waiting message"
finish
expected=$'first|(absent)\nsecond|(absent)'
[ "$(message_texts)" = "$expected" ] || fail "messages: $(message_texts)"

if [ "$failures" -ne 0 ]; then
  echo "--- brisko stderr"; cat "$work/brisko.err"; echo "--- evtmgr"; cat "$work/evtmgr.out" "$work/evtmgr.err"
  exit 1
fi
rm -rf "$work"
echo "restart under wine: ok"
