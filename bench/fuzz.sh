#!/usr/bin/env bash
# Fuzzes every parser with libFuzzer for MINUTES each (default 10; "30s" for seconds), JOBS targets at
# a time (default 1), and prints per target: run time, executions per second, corpus size and findings.
#   bench/fuzz.sh [MINUTES] [JOBS] [TARGET...]
# Builds into build-fuzz/ with clang, AddressSanitizer and UndefinedBehaviorSanitizer. Each target
# starts from its seed corpus in tests/fuzz/corpus/ and grows a working corpus in
# build-fuzz/corpus/<target>/; inputs that break a property or crash are kept in
# build-fuzz/findings/<target>/. Copy those worth keeping into the seed corpus, where CTest replays them.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-10}
case $minutes in *s) seconds=${minutes%s} ;; *) seconds=$((minutes * 60)) ;; esac
jobs=${2:-1}
shift $(( $# > 2 ? 2 : $# ))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=($(ls tests/fuzz/corpus))

scripts/setup clang libclang-rt-14-dev >/dev/null   # packages, and the normal build
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DTAMARIND_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --target "${targets[@]/#/fuzz-}" >/dev/null

export QT_QPA_PLATFORM=offscreen
rate() { awk -v n="$1" -v s="$2" 'BEGIN { printf "%.0f", n / (s > 0 ? s : 1) }'; }
run_target() {
  local target=$1 out=build-fuzz/fuzz-$1.log
  mkdir -p "build-fuzz/corpus/$target" "build-fuzz/findings/$target"
  # Findings are written before the fuzzer stops; it goes on after each so one run finds several.
  (cd "build-fuzz/findings/$target" &&
    "../../tests/fuzz/fuzz-$target" -max_total_time=$seconds -print_final_stats=1 -timeout=10 \
      -rss_limit_mb=4096 -fork=1 -ignore_crashes=1 -ignore_ooms=1 -ignore_timeouts=1 \
      "../../corpus/$target" "../../../tests/fuzz/corpus/$target") >"$out" 2>&1 || true
  # The last status line of fork mode: "#EXECS: cov: ... exec/s N oom/timeout/crash: O/T/C time: Ss ...".
  local status execs took
  status=$(grep -E '^#[0-9]+: cov' "$out" | tail -1)
  execs=$(sed -E 's/^#([0-9]+):.*/\1/' <<<"$status")
  took=$(sed -E 's/.* time: ([0-9]+)s.*/\1/' <<<"$status")
  printf '%-14s %6ss  %8s exec/s  %9s executions  corpus %5d inputs  oom/timeout/crash %s  kept %d\n' \
    "$target" "$seconds" "$(rate "${execs:-0}" "${took:-1}")" "${execs:-0}" "$(ls "build-fuzz/corpus/$target" | wc -l)" \
    "$(sed -E 's|.*oom/timeout/crash: ([0-9/]+).*|\1|' <<<"$status")" "$(ls "build-fuzz/findings/$target" | wc -l)"
}

running=0
for target in "${targets[@]}"; do
  run_target "$target" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then wait -n; running=$((running - 1)); fi
done
wait
