#!/usr/bin/env bash
# Every service at its own pace: one list under 10 endings, 5 asked over RDAP and 5 over WHOIS, each
# at a server of its own with a limit of its own. Prints, per service, the names per second it
# answered beside its limit; a slow service must not slow the others.
# Usage: bench/bench-services.sh [BUILD_DIR] [WORDS]   (needs python3)
set -euo pipefail
source "$(dirname "$0")/common.sh"
words=${2:-300}
export TAMARIND_PROTOCOL=auto

# DNS finds none of the names: every one goes to its registry.
start_server --free-ratio 1 --dns-port 0; dnsServer=$dns; comNet=$port
items="127.0.0.1:$comNet"; bases="http://127.0.0.1:9/"; endings=""; limits=""
for spec in wa:10 wb:20 wc:40 wd:80 we:160; do
  ending=${spec%%:*}; limit=${spec##*:}
  start_server --free-ratio 0.7 --limit-per-s "$limit"
  items+=" $ending=127.0.0.1:$port"; endings+=" $ending"; limits+=" $ending=$limit"
done
for spec in ra:10 rb:20 rc:40 rd:80 re:160; do
  ending=${spec%%:*}; limit=${spec##*:}
  start_server --free-ratio 0.7 --limit-per-s "$limit" --rdap-port 0
  bases+=" $ending=$rdap"; endings+=" $ending"; limits+=" $ending=$limit"
done
# The WHOIS servers answer as the .com registry does; their endings are read by rules saying so.
mkdir -p "$work/folder"
cat > "$work/folder/whois-rules.txt" <<RULES
[bench]
endings =${endings}
free = No match for "{name}".
registered = Domain Name: {name}
limit = connection limit exceeded
RULES
awk '{ sub(/\r$/, "") } NF && n < '"$words"' { print; n++ }' "$build/wordlists/AllThreeLetter.txt" > "$work/list.txt"

echo "== $words words under$endings: $((words * 10)) names, each ending at a server of its own"
start=$(date +%s.%N)
"$build/tamarind-cli" check --protocol auto --server "$items" --rdap-base "$bases" --dns-server "$dnsServer" \
  --endings "${endings# }" --folder "$work/folder" "$work/list.txt" 2> "$work/err" \
  | python3 -c '
import sys, time
start = float(sys.argv[1])
for line in sys.stdin:
    print("%.3f %s" % (time.time() - start, line.rstrip()))
' "$start" > "$work/out" || true
python3 - "$work/out" "$limits" "$words" <<'PY'
import sys
out, limits, words = sys.argv[1], dict(s.split("=") for s in sys.argv[2].split()), int(sys.argv[3])
last, count = {}, {}
for line in open(out):
    t, verdict, name = line.split()[:3]
    ending = name.rsplit(".", 1)[-1]
    last[ending] = float(t)
    count[ending] = count.get(ending, 0) + 1
for ending in sorted(limits, key=lambda e: (e[0], int(limits[e]))):
    over = "RDAP " if ending.startswith("r") else "WHOIS"
    n, t = count.get(ending, 0), last.get(ending, 0)
    rate = n / t if t else 0
    print("   %s .%s: %4d of %d names in %6.1f s: %6.1f names/s, limit %4s/s (%.2f of it)"
          % (over, ending, n, words, t, rate, limits[ending], rate / int(limits[ending])))
PY
tail -n 3 "$work/err" | sed 's/^/   /'
