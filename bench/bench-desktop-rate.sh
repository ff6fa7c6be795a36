#!/usr/bin/env bash
# The desktop program keeps up with the engine: `tamarind --start LIST` under Xvfb against a loopback
# WHOIS server that finds every name free, next to tamarind-cli over the same list and server. Each
# rate is measured from the first result in the profile files to the last.
# Usage: bench/bench-desktop-rate.sh [BUILD_DIR] [NAMES]   (needs xvfb-run)
set -euo pipefail
source "$(dirname "$0")/common.sh"
names=${2:-15000}

awk '{ sub(/\r$/, "") } NF && n < '"$names"' { print; n++ }' "$build/wordlists/AllFourLetter.txt" > "$work/list.txt"
mkdir -p "$XDG_CONFIG_HOME/Tamarind"
printf '[Settings]\nshowHelp=0\n' > "$XDG_CONFIG_HOME/Tamarind/Tamarind.ini"   # no help window over the run

# watch FOLDER PID: the seconds from the first free name in FOLDER's profile files to the last; the
# seconds of the first and of the last third go to FOLDER.thirds
watch() {
  local folder=$1 pid=$2 first="" third="" twothirds="" count=0 now
  while kill -0 "$pid" 2> /dev/null; do
    count=$(cat "$folder"/*Profile.txt 2> /dev/null | grep -c . || true)
    now=$(date +%s.%N)
    [ -z "$first" ] && [ "$count" -gt 0 ] && first=$now
    [ -z "$third" ] && [ "$count" -ge $((names / 3)) ] && third=$now
    [ -z "$twothirds" ] && [ "$count" -ge $((2 * names / 3)) ] && twothirds=$now
    [ "$count" -ge "$names" ] && break
    sleep 0.02
  done
  awk -v a="$first" -v b="$third" -v c="$twothirds" -v d="$now" 'BEGIN { printf "%.2f %.2f", b - a, d - c }' > "$folder.thirds"
  awk -v a="$first" -v b="$now" 'BEGIN { printf "%.2f", b - a }'
}

thirds() {   # thirds FOLDER: the rates of the first and the last third
  read -r early late < "$1.thirds"
  echo "first third $(rate $((names / 3)) "$early")/s, last third $(rate $((names / 3)) "$late")/s"
}

start_server --free-ratio 1
export TAMARIND_WHOIS_SERVER="127.0.0.1:$port"

mkdir -p "$work/cli"
"$build/tamarind-cli" check --folder "$work/cli" "$work/list.txt" > /dev/null 2>&1 &
cli_pid=$!
cli=$(watch "$work/cli" $cli_pid)
wait $cli_pid || true

mkdir -p "$work/desktop"
TAMARIND_PROGRAM_FOLDER="$work/desktop" QTWEBENGINE_DISABLE_SANDBOX=1 \
  xvfb-run -a -s "-screen 0 1600x1000x24" "$build/tamarind" --start "$work/list.txt" > "$work/desktop.log" 2>&1 &
desktop_pid=$!
desktop=$(watch "$work/desktop" $desktop_pid)
pkill -f "$build/tamarind --start" || true
wait $desktop_pid || true

echo "== $names names, all free, no delay"
echo "   tamarind-cli: $(rate "$names" "$cli") names per second ($cli s from the first result to the last; $(thirds "$work/cli"))"
echo "   tamarind:     $(rate "$names" "$desktop") names per second ($desktop s; $(thirds "$work/desktop"))"
echo "   $(awk -v d="$desktop" -v c="$cli" 'BEGIN { printf "the desktop program at %.2f of the CLI'"'"'s rate (target 0.8)", c / d }')"
