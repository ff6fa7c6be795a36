#!/usr/bin/env bash
# What the record formats cost: tamarind-cli check of 20,000 names against whois-test-server on
# 127.0.0.1 (a tenth of the registered names dropping), printed as text, jsonl and csv; five runs
# of each, the best of each kept. The target: jsonl and csv within 10 % of text's rate.
# Usage: bench/bench-formats.sh [BUILD_DIR]
set -euo pipefail
source "$(dirname "$0")/common.sh"

start_server --free-ratio 0.3 --dropping-ratio 0.1
head -n 20000 "$build/wordlists/AllFourLetter.txt" > "$work/names.txt"
declare -A best
for round in 1 2 3 4 5; do
  for format in text jsonl csv; do
    rm -rf "$work/$format"; mkdir -p "$work/$format"
    /usr/bin/time -f "%e" -o "$work/$format.time" "$build/tamarind-cli" check --no-dns --server "127.0.0.1:$port" \
      --folder "$work/$format" --format "$format" "$work/names.txt" > "$work/$format.out" 2> /dev/null
    seconds=$(cat "$work/$format.time")
    if [ -z "${best[$format]:-}" ] || awk -v a="$seconds" -v b="${best[$format]}" 'BEGIN { exit !(a < b) }'; then
      best[$format]=$seconds
    fi
  done
done
text_rate=$(rate 20000 "${best[text]}")
for format in text jsonl csv; do
  r=$(rate 20000 "${best[$format]}")
  echo "$format: 20000 names in ${best[$format]} s, $r names per second ($(awk -v r="$r" -v t="$text_rate" 'BEGIN { printf "%+.1f", (r / t - 1) * 100 }') % against text); $(wc -l < "$work/$format.out") lines, $(wc -l < "$work/$format/Dropping.txt") in Dropping.txt"
done
