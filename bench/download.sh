#!/bin/bash
# Download throughput: a 256 MiB file from nginx on loopback, fetched by curl, by HTTPRequest
# (readiness waits of at most 100 ms, streaming to a file) and by one 64 KiB receive per
# 100 ms tick (a few seconds, extrapolated). Prints throughputs, ratios and peak memory.
# Not part of the test suite. BUILD selects the build folder (default build/linux).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD:-$root/build/linux}"
size_mib=256

[ -f "$build/build.ninja" ] || cmake --preset linux -B "$build" >/dev/null
cmake --build "$build" --target download_bench >/dev/null
driver="$build/bin/download_bench"

work="$(mktemp -d)"
trap 'python3 "$root/tests/support/start_servers.py" --stop --state "$work/servers" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/www"
head -c $((size_mib * 1024 * 1024)) /dev/urandom > "$work/www/big.bin"
python3 "$root/tests/support/start_servers.py" --detach --root "$work/www" --state "$work/servers" >/dev/null
nginx_address="$(grep '^NGINX=' "$work/servers" | cut -d= -f2)"
host="${nginx_address%:*}"
port="${nginx_address#*:}"

curl_rss=$( { /usr/bin/time -f '%M' curl -s -o "$work/curl.bin" -w '%{time_total}\n' \
    "http://$nginx_address/big.bin" > "$work/curl.time"; } 2>&1 )
curl_seconds="$(cat "$work/curl.time")"
read -r our_bytes our_seconds our_rss < <("$driver" ours "$host" "$port" /big.bin "$work/ours.bin")
cmp -s "$work/www/big.bin" "$work/ours.bin" || { echo "HTTPRequest download differs" >&2; exit 1; }
read -r tick_bytes tick_seconds _ < <("$driver" tick "$host" "$port" /big.bin 3)

python3 - "$size_mib" "$curl_seconds" "$curl_rss" "$our_bytes" "$our_seconds" "$our_rss" \
    "$tick_bytes" "$tick_seconds" <<'PY'
import sys
size_mib, curl_s, curl_rss, our_bytes, our_s, our_rss, tick_bytes, tick_s = sys.argv[1:]
mib = 1024 * 1024
curl = int(size_mib) / float(curl_s)
ours = int(our_bytes) / mib / float(our_s)
tick = int(tick_bytes) / mib / float(tick_s)
print("curl:                      %8.1f MiB/s  (peak RSS %d MiB)" % (curl, int(curl_rss) // 1024))
print("HTTPRequest, waits+polls:  %8.1f MiB/s  (peak RSS %d MiB)" % (ours, int(our_rss) // 1024))
print("64 KiB per 100 ms tick:    %8.2f MiB/s  (%d MiB would take %.0f s)" % (tick, int(size_mib), int(size_mib) / tick))
print("ratio HTTPRequest / curl:  %8.2f   (target >= 0.8)" % (ours / curl))
print("ratio HTTPRequest / tick:  %8.0f" % (ours / tick))
PY
