#!/bin/sh
# Peak memory while installing a large packet with the updater's install mode.
# Target: below 64 MiB resident whatever the packet's size.
# Usage: bench/install.sh [MIB]   (default 300; BUILD_DIR defaults to build/linux)
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
MIB=${1:-300}
BUILD_DIR=${BUILD_DIR:-$ROOT/build/linux}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/install-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake --preset linux -B "$BUILD_DIR" >/dev/null 2>&1
fi
cmake --build "$BUILD_DIR" --target install_bench >/dev/null
cp "$BUILD_DIR/bin/install_bench" "$WORK/install_bench"

mkdir -p "$WORK/source" "$WORK/packets" "$WORK/game"
echo "making a packet of $MIB MiB of incompressible files..."
"$WORK/install_bench" pack "$WORK/source/" "$WORK/packets/" bench_install_linux_01.tqa "$MIB" >/dev/null
rm -rf "$WORK/source"
PACKET="$WORK/packets/bench_install_linux_01.tqa"
PACKET_MIB=$(( $(stat -c %s "$PACKET") / 1048576 ))

cd "$WORK/game"
/usr/bin/time -f "%M %e %U %S" -o "$WORK/usage" "$WORK/install_bench" install "$PACKET"
read -r RSS_KIB ELAPSED USER SYSTEM < "$WORK/usage"
INSTALLED_MIB=$(( $(du -sk --apparent-size "$WORK/game" | cut -f1) / 1024 ))
echo "packet: ${PACKET_MIB} MiB, installed: ${INSTALLED_MIB} MiB"
echo "install time: ${ELAPSED} s elapsed, ${USER} s user, ${SYSTEM} s system (the machine's load shows in elapsed)"
echo "peak RSS: $(( RSS_KIB / 1024 )) MiB (${RSS_KIB} KiB), target < 64 MiB, ratio to target: $(echo "scale=2; $RSS_KIB / 65536" | bc)"
