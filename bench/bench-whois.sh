#!/usr/bin/env bash
# WHOIS throughput: tamarind-cli check against whois-test-server on 127.0.0.1, next to Debian's whois
# client asking the same server 25 at a time. Prints names per second and peak memory.
# Usage: bench/bench-whois.sh [BUILD_DIR]   (needs the Debian packages whois and time)
set -euo pipefail
source "$(dirname "$0")/common.sh"

start_server --free-ratio 0.1; fast=$port
start_server --free-ratio 0.1 --latency-ms 100; slow=$port
list="$build/wordlists/AllFourLetter.txt"
total=$(grep -c . "$list")

echo "== (a) tamarind-cli check of AllFourLetter.txt ($total names), no delay, --free-ratio 0.1"
mkdir -p "$work/a"
/usr/bin/time -f "%e %M" -o "$work/a.time" \
  "$build/tamarind-cli" check --server "127.0.0.1:$fast" --folder "$work/a" "$list" > "$work/a.out" 2> "$work/a.err"
read -r seconds kilobytes < "$work/a.time"
echo "   $(wc -l < "$work/a.out") verdict lines in ${seconds} s: $(rate "$total" "$seconds") names per second, peak memory $((kilobytes / 1024)) MB"
echo "   $(tail -n 1 "$work/a.err")"

head -n 20000 "$list" > "$work/first.txt"
mkdir -p "$work/a1" "$work/a2"
/usr/bin/time -f "%e" -o "$work/a1.time" "$build/tamarind-cli" check --server "127.0.0.1:$fast" --folder "$work/a1" "$work/first.txt" > /dev/null 2>&1
/usr/bin/time -f "%e" -o "$work/a2.time" "$build/tamarind-cli" check --server "127.0.0.1:$fast" --folder "$work/a2" --from 436977 "$list" > /dev/null 2>&1
echo "   entries 1-20000: $(rate 20000 "$(cat "$work/a1.time")") names per second; entries 436977-456976: $(rate 20000 "$(cat "$work/a2.time")") names per second"

head -n 2000 "$build/wordlists/AllThreeLetter.txt" | tr -d '\r' | sed 's/$/.com/' > "$work/2000.txt"
echo "== (b) tamarind-cli check of 2000 names, server latency 100 ms"
mkdir -p "$work/b"
/usr/bin/time -f "%e" -o "$work/b.time" "$build/tamarind-cli" check --server "127.0.0.1:$slow" --folder "$work/b" "$work/2000.txt" > /dev/null 2>&1
b=$(rate 2000 "$(cat "$work/b.time")")
echo "   $b names per second; the limit of 25 slots / 100 ms is 250 ($(awk -v r="$b" 'BEGIN { printf "%.2f", r / 250 }') of it)"

echo "== (c) Debian's whois client, the same 2000 names, 25 at a time (xargs -P 25)"
for port in "$slow" "$fast"; do
  /usr/bin/time -f "%e" -o "$work/c.time" \
    sh -c "xargs -P 25 -n 1 whois -h 127.0.0.1 -p $port < '$work/2000.txt' > /dev/null"
  label=$([ "$port" = "$slow" ] && echo "latency 100 ms" || echo "no delay")
  echo "   $label: $(rate 2000 "$(cat "$work/c.time")") names per second"
done
mkdir -p "$work/c"
/usr/bin/time -f "%e" -o "$work/c2.time" "$build/tamarind-cli" check --server "127.0.0.1:$fast" --folder "$work/c" "$work/2000.txt" > /dev/null 2>&1
echo "   tamarind-cli, no delay, same names: $(rate 2000 "$(cat "$work/c2.time")") names per second"
