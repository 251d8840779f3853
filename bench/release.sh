#!/usr/bin/env bash
# Release build of a generated game tree (about 200 MiB; MIB=... to change; BUILD_DIR
# defaults to build/linux) against `tar c | bzip2 -9` of the same tree, in the same run.
# Prints wall and CPU times and the wall-time ratio (target: at most 0.6 on 2 cores) and
# checks that the parallel build wrote exactly the files of a serial one.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/linux}
mib=${MIB:-200}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ ! -f "$build/build.ninja" ]; then
  cmake --preset linux -B "$build" >/dev/null
fi
cmake --build "$build" --target release_bench >/dev/null
cp "$build/bin/release_bench" "$work/release_bench"

python3 "$root/tests/data/release/make_tree.py" "$work/tree" --release 1 --mib "$mib"
size=$(du -sm "$work/tree" | cut -f1)
tar c -C "$work/tree" . >/dev/null  # both sides read from the page cache

# Prints "wall-seconds cpu-seconds" of a command (children included).
measure() {
  /usr/bin/time -f '%e %U %S' -o "$work/time" "$@"
  awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$work/time"
}

load=$(cut -d' ' -f1 /proc/loadavg)
read -r tar_wall tar_cpu < <(measure sh -c "tar c -C '$work/tree' . | bzip2 -9 > '$work/tree.tar.bz2'")
read -r parallel_wall parallel_cpu < <(measure "$work/release_bench" "$work/tree" "$work/parallel" 0)
read -r serial_wall serial_cpu < <(measure "$work/release_bench" "$work/tree" "$work/serial" 1)

if diff -r "$work/parallel" "$work/serial" >/dev/null; then
  identical=yes
else
  identical=NO
fi
printf 'tree: %s MiB, %s cores, load average %s before the runs\n' "$size" "$(nproc)" "$load"
printf '%-26s %8s %8s\n' "" "wall s" "cpu s"
printf '%-26s %8.2f %8.2f\n' "tar c | bzip2 -9" "$tar_wall" "$tar_cpu"
printf '%-26s %8.2f %8.2f\n' "release build, parallel" "$parallel_wall" "$parallel_cpu"
printf '%-26s %8.2f %8.2f\n' "release build, serial" "$serial_wall" "$serial_cpu"
printf 'ratio parallel / tar+bzip2 (wall): %.2f (target <= 0.6 on 2 otherwise idle cores)\n' \
  "$(echo "$parallel_wall / $tar_wall" | bc -l)"
printf 'parallel output identical to serial: %s\n' "$identical"
[ "$identical" = yes ]
