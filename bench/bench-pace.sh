#!/usr/bin/env bash
# The pace against a throttling registry: tamarind-cli check against whois-test-server with
# --limit-per-s, the share of the limit used and the share of queries over it, as the server counts.
# Usage: bench/bench-pace.sh [BUILD_DIR]   (needs the Debian package time)
set -euo pipefail
source "$(dirname "$0")/common.sh"

throttled() {   # throttled LIMIT NAMES
  local limit=$1 names=$2 name="limit$1"
  awk '{ sub(/\r$/, "") } NF && n < '"$names"' { print; n++ }' "$build/wordlists/AllFourLetter.txt" > "$work/$name.txt"
  start_server --free-ratio 0.3 --limit-per-s "$limit" --stats "$work/$name.stats"
  mkdir -p "$work/$name"
  /usr/bin/time -f "%e" -o "$work/$name.time" \
    "$build/tamarind-cli" check --server "127.0.0.1:$port" --folder "$work/$name" "$work/$name.txt" \
    > "$work/$name.out" 2> "$work/$name.err" || true
  sleep 0.5   # the server's count of the last queries
  local answered over seconds verdicts
  answered=$(awk '/^answered/ { print $2 }' "$work/$name.stats")
  over=$(awk '/^over-limit/ { print $2 }' "$work/$name.stats")
  seconds=$(cat "$work/$name.time")
  verdicts=$(grep -cE '^(free|registered) ' "$work/$name.out" || true)
  echo "== limit $limit/s, $names names"
  echo "   $verdicts verdicts, $(grep -c '^unchecked ' "$work/$name.out" || true) unchecked, in $seconds s"
  echo "   $(awk -v v="$verdicts" -v s="$seconds" -v l="$limit" 'BEGIN { printf "%.1f names/s: %.2f of the limit (target 0.85)", v / s, v / s / l }')"
  echo "   $(awk -v a="$answered" -v o="$over" 'BEGIN { printf "%d of %d queries over the limit: %.1f %% (target at most 5 %%)", o, a + o, 100 * o / (a + o) }')"
}

throttled 20 1200
throttled 300 3000
