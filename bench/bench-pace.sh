#!/usr/bin/env bash
# The pace against a throttling registry: tamarind-cli check against whois-test-server with
# --limit-per-s, the share of the limit used and the share of queries over it, as the server counts;
# over WHOIS, then over RDAP (agreement with WHOIS, a slow service, a throttled one).
# Usage: bench/bench-pace.sh [BUILD_DIR]   (needs the Debian package time)
set -euo pipefail
source "$(dirname "$0")/common.sh"

names() {   # names COUNT FILE
  awk '{ sub(/\r$/, "") } NF && n < '"$1"' { print; n++ }' "$build/wordlists/AllFourLetter.txt" > "$2"
}

check() {   # check NAME PROTOCOL: checks $work/NAME.txt against the last server started, timed
  mkdir -p "$work/$1"
  /usr/bin/time -f "%e" -o "$work/$1.time" \
    "$build/tamarind-cli" check --protocol "$2" --server "127.0.0.1:$port" --rdap-base "${rdap:-http://127.0.0.1:9/}" \
    --folder "$work/$1" "$work/$1.txt" > "$work/$1.out" 2> "$work/$1.err" || true
}

throttled() {   # throttled LIMIT NAMES [PROTOCOL]
  local limit=$1 names=$2 protocol=${3:-whois} name="limit$1${3:-}"
  names "$names" "$work/$name.txt"
  start_server --free-ratio 0.3 --limit-per-s "$limit" --stats "$work/$name.stats" ${3:+--rdap-port 0}
  check "$name" "$protocol"
  sleep 0.5   # the server's count of the last queries
  local answered over seconds verdicts
  answered=$(awk '/^answered/ { print $2 }' "$work/$name.stats")
  over=$(awk '/^over-limit/ { print $2 }' "$work/$name.stats")
  seconds=$(cat "$work/$name.time")
  verdicts=$(grep -cE '^(free|registered) ' "$work/$name.out" || true)
  echo "== $protocol, limit $limit/s, $names names"
  echo "   $verdicts verdicts, $(grep -c '^unchecked ' "$work/$name.out" || true) unchecked, in $seconds s"
  echo "   $(awk -v v="$verdicts" -v s="$seconds" -v l="$limit" 'BEGIN { printf "%.1f names/s: %.2f of the limit (target 0.9)", v / s, v / s / l }')"
  echo "   $(awk -v a="$answered" -v o="$over" 'BEGIN { printf "%d of %d queries over the limit: %.1f %% (target at most 2 %%)", o, a + o, 100 * o / (a + o) }')"
}

throttled 20 1200
throttled 300 3000

echo "== rdap and whois agree, 300 names"
names 300 "$work/agree.txt"
cp "$work/agree.txt" "$work/agreew.txt"
start_server --free-ratio 0.5 --rdap-port 0
check agree rdap
check agreew whois
if cmp -s <(sort "$work/agree.out") <(sort "$work/agreew.out"); then
  echo "   the same $(grep -c '^free ' "$work/agree.out") free and $(grep -c '^registered ' "$work/agree.out") registered names"
else
  echo "   DIFFERENT: $(diff <(sort "$work/agree.out") <(sort "$work/agreew.out") | grep -c '^[<>]') lines"
fi

echo "== rdap, 100 ms a reply, 2,000 names"
names 2000 "$work/slow.txt"
start_server --latency-ms 100 --rdap-port 0
check slow rdap
echo "   $(awk -v s="$(cat "$work/slow.time")" 'BEGIN { printf "%.0f names/s: %.2f of 25 in flight (target 0.8)", 2000 / s, 2000 / s / 250 }')"

throttled 50 1000 rdap
