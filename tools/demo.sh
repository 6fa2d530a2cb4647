#!/bin/bash
# The main job on its embedded default: the event manager stand-in with
# kestrow on loopback, a fresh LogDir, the banner's example piped through
# brisko, and the resulting kestrow.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh linux
cmake --preset linux >/dev/null
cmake --build --preset linux -j"$(nproc)" --target brisko evtmgr kestrow >/dev/null
bin=build/linux/bin

work=$(mktemp -d /tmp/brisko-demo-XXXXXX)
export KESTROW_REGISTRY_ROOT=$work/registry
key=$KESTROW_REGISTRY_ROOT/HKEY_LOCAL_MACHINE/SOFTWARE/Brannick/Kestrow.DLL
mkdir -p "$key" "$work/log"
echo "$work/log" > "$key/LogDir"

"$bin/evtmgr" --port 0 --exit "$bin/kestrow.so" > "$work/evtmgr.out" 2> "$work/evtmgr.err" &
evtmgr_pid=$!
trap 'kill $evtmgr_pid 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  grep -q '^listening on port' "$work/evtmgr.out" && break
  sleep 0.1
done
export MORWICK_PORT=$(sed -n 's/^listening on port \([0-9]*\)$/\1/p' "$work/evtmgr.out")
echo "== event manager stand-in listening on 127.0.0.1:$MORWICK_PORT, LogDir $work/log"

echo "== brisko (its banner goes to standard error)"
printf 'computer\tlocalhost\nevtm_text\tHello world from Brisko.exe!\nevtm_node\tnode1.example.com\n\n' | "$bin/brisko"
echo "== brisko exited with status $?"

echo "== the event manager's console"
cat "$work/evtmgr.out"
echo "== $work/log/kestrow.txt"
cat "$work/log/kestrow.txt"
