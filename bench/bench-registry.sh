#!/usr/bin/env bash
# tamarind-cli against servers that behave like real registries: latency that varies, a throttle,
# and the no-delay and 100 ms figures of bench-whois.sh, which must not fall back.
# Usage: bench/bench-registry.sh [BUILD_DIR]   (needs python3 and the Debian package time)
set -euo pipefail
source "$(dirname "$0")/common.sh"
here=$(cd "$(dirname "$0")" && pwd)
check() {   # check PORT LIST NAME: seconds into $work/NAME.time, verdicts into $work/NAME.out
  mkdir -p "$work/$3"
  /usr/bin/time -f "%e" -o "$work/$3.time" \
    "$build/tamarind-cli" check --server "127.0.0.1:$1" --folder "$work/$3" "$2" > "$work/$3.out" 2> "$work/$3.err" || true
}

awk '{ sub(/\r$/, "") } NF && n < 3000 { print; n++ }' "$build/wordlists/AllThreeLetter.txt" > "$work/3000.txt"
head -n 1000 "$work/3000.txt" > "$work/1000.txt"

echo "== (a) 1000 names, latency 50 ms, every 10th reply 1000 ms"
start_server --free-ratio 0.3 --latency-ms 50 --slow-every 10 --slow-ms 1000; varying=$port
mean=$(awk 'BEGIN { print 0.9 * 50 + 0.1 * 1000 }')
limit=$(awk -v m="$mean" 'BEGIN { printf "%.0f", 25 / (m / 1000) }')
check "$varying" "$work/1000.txt" a
a=$(rate 1000 "$(cat "$work/a.time")")
echo "   tamarind-cli: $a names per second; limit 25 / ${mean} ms = $limit ($(awk -v r="$a" -v l="$limit" 'BEGIN { printf "%.2f", r / l }') of it)"
echo "   asyncio client, 25 in flight: $(python3 "$here/asyncio-whois.py" 127.0.0.1 "$varying" "$work/1000.txt" 25)"

echo "== (b) 3000 names, --limit-per-s 300 --free-ratio 0.3"
start_server --free-ratio 0.3 --limit-per-s 300; throttled=$port
start_server --free-ratio 0.3; truth=$port
check "$throttled" "$work/3000.txt" b
check "$truth" "$work/3000.txt" truth
echo "   $(rate 3000 "$(cat "$work/b.time")") names per second, $(cat "$work/b.time") s in all"
echo "   free names found: $(grep -c '^free ' "$work/b.out" || true) of $(grep -c '^free ' "$work/truth.out" || true) free by the server's rule"
echo "   free names reported registered: $(comm -12 <(sed -n 's/^registered //p' "$work/b.out" | sort) <(sed -n 's/^free //p' "$work/truth.out" | sort) | wc -l)"
echo "   unchecked: $(grep -c '^unchecked ' "$work/b.out" || true)"
echo "   $(tail -n 1 "$work/b.err")"

echo "== (c) the figures of bench-whois.sh"
start_server --free-ratio 0.1; fast=$port
start_server --free-ratio 0.1 --latency-ms 100; slow=$port
list="$build/wordlists/AllFourLetter.txt"
total=$(grep -c . "$list")
check "$fast" "$list" c1
echo "   AllFourLetter.txt ($total names), no delay: $(rate "$total" "$(cat "$work/c1.time")") names per second (target 5000)"
head -n 2000 "$build/wordlists/AllThreeLetter.txt" | tr -d '\r' | sed 's/$/.com/' > "$work/2000.txt"
check "$slow" "$work/2000.txt" c2
c2=$(rate 2000 "$(cat "$work/c2.time")")
echo "   2000 names at 100 ms: $c2 names per second, $(awk -v r="$c2" 'BEGIN { printf "%.2f", r / 250 }') of 250 (target 0.9)"
