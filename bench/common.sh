# Shared by the benchmark scripts, which source it: the build folder (the first argument, else
# build/), a scratch folder removed on exit, whois-test-server starts and a rate helper.
build=$(cd "${1:-$(dirname "$0")/../build}" && pwd)
work=$(mktemp -d)
servers=()
cleanup() { for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT
export XDG_CONFIG_HOME="$work/config"
# WHOIS unless a benchmark says otherwise, and an RDAP fall-over never leaves this machine.
export TAMARIND_PROTOCOL=whois TAMARIND_RDAP_BASE=http://127.0.0.1:9/ TAMARIND_DNS_FIRST=false TAMARIND_DNS_SERVER=127.0.0.1:9

port=""
rdap=""
dns=""
start_server() {   # starts whois-test-server with the options given; sets port, rdap (its RDAP base) and dns (HOST:PORT)
  local out="$work/server-${#servers[@]}" lines=1
  [[ " $* " == *" --rdap-port "* ]] && lines=$((lines + 1))
  [[ " $* " == *" --dns-port "* ]] && lines=$((lines + 1))
  "$build/whois-test-server" --port 0 "$@" > "$out" &
  servers+=($!)
  for _ in $(seq 50); do [ "$(wc -l < "$out")" -ge "$lines" ] && break; sleep 0.1; done
  port=$(sed -nE '1s/.*:([0-9]+)$/\1/p' "$out")
  rdap=$(sed -nE 's/^rdap on //p' "$out")
  dns=$(sed -nE 's/^dns on //p' "$out")
}

rate() { awk -v n="$1" -v s="$2" 'BEGIN { printf "%.0f", n / s }'; }
