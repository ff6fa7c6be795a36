# Shared by the benchmark scripts, which source it: the build folder (the first argument, else
# build/), a scratch folder removed on exit, whois-test-server starts and a rate helper.
build=$(cd "${1:-$(dirname "$0")/../build}" && pwd)
work=$(mktemp -d)
servers=()
cleanup() { for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT
export XDG_CONFIG_HOME="$work/config"

port=""
start_server() {   # starts whois-test-server with the options given; sets port
  local out="$work/server-${#servers[@]}"
  "$build/whois-test-server" --port 0 "$@" > "$out" &
  servers+=($!)
  for _ in $(seq 50); do [ -s "$out" ] && break; sleep 0.1; done
  port=$(sed -E 's/.*:([0-9]+)$/\1/' "$out")
}

rate() { awk -v n="$1" -v s="$2" 'BEGIN { printf "%.0f", n / s }'; }
