#!/bin/bash
# SHA-256 of a 256 MiB file: Sha256File (bench/digest_bench.cpp) against `openssl dgst -sha256`
# and `sha256sum` in the same run, the file in the page cache, best of five runs each.
# Prints each tool's throughput and our ratio to each (target: at least 0.9x openssl).
# Uses the linux build tree (BUILD_DIR, default build/linux) and its digest_bench target.
set -eu
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build/linux}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

[ -f "$build/build.ninja" ] || cmake --preset linux -B "$build" >/dev/null
cmake --build "$build" --target digest_bench >/dev/null
bench="$build/bin/digest_bench"

file="$work/data.bin"
head -c $((256 << 20)) /dev/urandom >"$file"
cat "$file" >/dev/null

# best_seconds COMMAND...: the shortest wall time of five runs; the digest goes to $work/out.
best_seconds() {
  local best=""
  for _ in 1 2 3 4 5; do
    local start end
    start=$(date +%s.%N)
    "$@" >"$work/out"
    end=$(date +%s.%N)
    best=$(echo "$start $end $best" | awk '{t = $2 - $1; if ($3 == "" || t < $3) print t; else print $3}')
  done
  echo "$best"
}

ours=$(best_seconds "$bench" "$file");        ours_digest=$(cut -c1-64 "$work/out")
openssl=$(best_seconds openssl dgst -sha256 "$file"); openssl_digest=$(awk '{print $NF}' "$work/out")
sum=$(best_seconds sha256sum "$file");        sum_digest=$(cut -c1-64 "$work/out")

if [ "$ours_digest" != "$openssl_digest" ] || [ "$ours_digest" != "$sum_digest" ]; then
  echo "digests differ: $ours_digest $openssl_digest $sum_digest" >&2
  exit 1
fi
awk -v o="$ours" -v s="$openssl" -v u="$sum" 'BEGIN {
  printf "Sha256File          %8.1f MiB/s\n", 256 / o
  printf "openssl dgst        %8.1f MiB/s\n", 256 / s
  printf "sha256sum           %8.1f MiB/s\n", 256 / u
  printf "ratio vs openssl    %8.2fx (throughput; target >= 0.90x)\n", s / o
  printf "ratio vs sha256sum  %8.2fx\n", u / o
}'
