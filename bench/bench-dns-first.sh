#!/usr/bin/env bash
# DNS first against a strict registry: 20,000 four-letter names, about 95 % registered and 1 % of
# those missing from the zone, a registry that allows 20 queries a second. Prints whether every
# verdict is right, how often the registry was asked against the names DNS could not settle, and
# the time against the 1,000 s the same list takes the registry alone. Then the whole four-letter
# list with no limit and DNS at once, against the rate of the registry alone.
# Then the same list behind a resolver that answers SERVFAIL for 3 % of the registered names (lame
# delegations). Last, a registry left idle while DNS settles 60,000 names, after one name it always refuses.
# Usage: bench/bench-dns-first.sh [BUILD_DIR]   (needs the Debian package time)
set -euo pipefail
source "$(dirname "$0")/common.sh"
check() {   # check NAME LIST ARGS...: seconds into $work/NAME.time, verdicts into $work/NAME.out
  local name=$1 list=$2
  shift 2
  mkdir -p "$work/$name"
  /usr/bin/time -f "%e" -o "$work/$name.time" "$build/tamarind-cli" check --folder "$work/$name" "$@" "$list" \
    > "$work/$name.out" 2> "$work/$name.err" || true
}
wrong() {   # wrong OUT TRUTH: verdict lines of OUT that differ from TRUTH, or are missing
  comm -3 <(sort "$1") <(sort "$2") | wc -l
}

list="$build/wordlists/AllFourLetter.txt"
awk '{ sub(/\r$/, "") } NF && ++i % 22 == 1 && n < 20000 { print; n++ }' "$list" > "$work/20000.txt"
names=$(wc -l < "$work/20000.txt")

echo "== $names four-letter names, registry limit 20/s, 5 % free, 1 % of the registered names not delegated"
start_server --free-ratio 0.05 --held-ratio 0.01 --limit-per-s 20 --dns-port 0 --log "$work/asked.log"
strict=$port strictDns=$dns
start_server --free-ratio 0.05; truth=$port
check truth "$work/20000.txt" --server "127.0.0.1:$truth" --no-dns
check strict "$work/20000.txt" --server "127.0.0.1:$strict" --dns-server "$strictDns"
asked=$(wc -l < "$work/asked.log")
delegated=$(sed -nE 's/^DNS: ([0-9,]+) delegated.*/\1/p' "$work/strict.err" | tr -d ,)
undelegated=$((names - delegated))
echo "   verdicts different from the registry's own: $(wrong "$work/strict.out" "$work/truth.out") of $names"
echo "   unchecked: $(grep -c '^unchecked ' "$work/strict.out" || true)"
echo "   $(grep '^DNS: [0-9]' "$work/strict.err")"
echo "   registry asked $asked times for $undelegated names DNS did not settle: $(awk -v a="$asked" -v u="$undelegated" 'BEGIN { printf "%.3f", a / u }') of them (target at most 1.05)"
echo "   $(cat "$work/strict.time") s in all; the registry alone at 20/s: $((names / 20)) s ($(awk -v t="$(cat "$work/strict.time")" -v n="$names" 'BEGIN { printf "%.3f", t / (n / 20) }') of it, target at most 0.1)"

echo "== the same list behind a resolver with lame delegations: SERVFAIL for 3 % of the registered names"
start_server --free-ratio 0.05 --held-ratio 0.01 --limit-per-s 20 --dns-port 0 --dns-servfail-ratio 0.03
check lame "$work/20000.txt" --server "127.0.0.1:$port" --dns-server "$dns"
echo "   verdicts different from the registry's own: $(wrong "$work/lame.out" "$work/truth.out") of $names;" \
  "unchecked: $(grep -c '^unchecked ' "$work/lame.out" || true)"
echo "   $(grep '^DNS: [0-9]' "$work/lame.err")"
echo "   $(tail -n 1 "$work/lame.time") s in all (target at most 120 s)"

echo "== every name registered, and every name free, DNS first"
head -n 5000 "$work/20000.txt" > "$work/5000.txt"
start_server --free-ratio 0 --dns-port 0; check taken "$work/5000.txt" --server "127.0.0.1:$port" --dns-server "$dns"
start_server --free-ratio 1 --dns-port 0; check free "$work/5000.txt" --server "127.0.0.1:$port" --dns-server "$dns"
echo "   --free-ratio 0: $(grep -c '^registered ' "$work/taken.out" || true) of 5000 registered; $(grep '^DNS: [0-9]' "$work/taken.err")"
echo "   --free-ratio 1: $(grep -c '^free ' "$work/free.out" || true) of 5000 free; $(grep '^DNS: [0-9]' "$work/free.err")"

echo "== AllFourLetter.txt, no limit, DNS at once, 10 % free"
total=$(grep -c . "$list")
start_server --free-ratio 0.1 --dns-port 0
check whole "$list" --server "127.0.0.1:$port" --dns-server "$dns"
check alone "$list" --server "127.0.0.1:$port" --no-dns
echo "   DNS first: $(rate "$total" "$(cat "$work/whole.time")") names per second; $(grep '^DNS: [0-9]' "$work/whole.err")"
echo "   registry alone: $(rate "$total" "$(cat "$work/alone.time")") names per second"
echo "   verdicts that differ: $(wrong "$work/whole.out" "$work/alone.out") of $total"

echo "== a strict .io service beside .com: 200 .io names (its service allows 10/s), then $names .com names"
awk 'NR <= 200 { print $0 ".io" }' "$work/20000.txt" > "$work/mixed.txt"
sed 's/$/.com/' "$work/20000.txt" > "$work/com.txt"
cat "$work/com.txt" >> "$work/mixed.txt"
start_server --free-ratio 1 --dns-port 0; comServer=$port comDns=$dns
start_server --free-ratio 1 --rdap-port 0 --limit-per-s 10; ioBase=$rdap
stamp() { perl -MTime::HiRes=time -ne 'printf "%.3f %s", time, $_'; }
started=$(perl -MTime::HiRes=time -e 'printf "%.3f", time')
TAMARIND_RDAP_BASE="io=$ioBase" "$build/tamarind-cli" check --folder "$work/mixed" --server "127.0.0.1:$comServer" \
  --dns-server "$comDns" "$work/mixed.txt" 2> "$work/mixed.err" | stamp > "$work/mixed.out" || true
check comAlone "$work/com.txt" --server "127.0.0.1:$comServer" --dns-server "$comDns"
lastCom=$(grep -n ' free .*\.com$' "$work/mixed.out" | tail -n 1)
lastIo=$(grep ' free .*\.io$' "$work/mixed.out" | tail -n 1 | cut -d' ' -f1)
ioBefore=$(head -n "${lastCom%%:*}" "$work/mixed.out" | grep -c '\.io$' || true)
comSeconds=$(awk -v a="$started" -v b="$(echo "${lastCom#*:}" | cut -d' ' -f1)" 'BEGIN { printf "%.2f", b - a }')
echo "   free: $(grep -c ' free .*\.com$' "$work/mixed.out" || true) .com, $(grep -c ' free .*\.io$' "$work/mixed.out" || true) .io; unchecked: $(grep -c ' unchecked ' "$work/mixed.out" || true)"
echo "   the .com names were done after $comSeconds s (alone: $(cat "$work/comAlone.time") s), with $ioBefore .io verdicts before them"
echo "   the .io names after $(awk -v a="$started" -v b="$lastIo" 'BEGIN { printf "%.2f", b - a }') s, at their service's pace"

echo "== an idle registry: 3 names for the registry, one of them always refused, then 60,000 names DNS settles"
awk '{ sub(/\r$/, "") } NF && n < 60000 { print; n++ }' "$list" | sed 's/$/.com/' > "$work/60000.txt"
{ printf 'idle-free1.com\nidle-refused.com\nidle-free2.com\n'; cat "$work/60000.txt"; } > "$work/idle.txt"
start_server --registered "$work/60000.txt" --refuse-name idle-refused.com --dns-port 0
for protocol in whois auto; do
  TAMARIND_TICK_MS=10 check "idle-$protocol" "$work/idle.txt" --server "127.0.0.1:$port" --dns-server "$dns" \
    --protocol "$protocol" --rdap-base "http://127.0.0.1:9/"
  echo "   $protocol, 10 ms ticks (a give-up period is $((120 * 10)) ms): $(tail -n 1 "$work/idle-$protocol.time") s;" \
    "$(grep -c '^registered ' "$work/idle-$protocol.out" || true) registered, $(grep -c '^free ' "$work/idle-$protocol.out" || true) free," \
    "$(grep -c '^unchecked ' "$work/idle-$protocol.out" || true) unchecked of $(wc -l < "$work/idle.txt");" \
    "stopped for refusals: $(grep -c 'refuses every query\|gives no verdict' "$work/idle-$protocol.err" || true);" \
    "left WHOIS: $(grep -c 'RDAP' "$work/idle-$protocol.err" || true)"
done
