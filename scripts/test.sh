#!/bin/bash
# Builds the three presets and runs every test: natively, under the sanitizers, and the Windows
# build under Wine. Prints each ctest summary; exits non-zero when anything failed.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/setup.sh || exit 1

jobs="$(nproc)"
status=0
summaries=()

for preset in linux linux-asan windows; do
  echo "=== build $preset"
  if ! cmake --preset "$preset" >"build-$preset.configure.log" 2>&1; then
    cat "build-$preset.configure.log"; echo "configure of $preset failed" >&2; exit 1
  fi
  rm -f "build-$preset.configure.log"
  cmake --build --preset "$preset" -j "$jobs" || { echo "build of $preset failed" >&2; exit 1; }
done

# One Wine prefix for the whole run, kept under build/ so nothing depends on the home folder;
# a persistent wineserver saves the start-up of Wine's own services for every test process.
# The services start here, outside ctest: started by a test they would keep its output open.
export WINEPREFIX="$root/build/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wineserver -p >/dev/null 2>&1
scripts/wine-run.sh wineboot --init >/dev/null 2>&1
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

for preset in linux linux-asan windows; do
  echo "=== test $preset"
  log="build/$preset/ctest.log"
  ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  summaries+=("$preset: $(grep -E 'tests passed|No tests were found' "$log" | tail -1)")
done

echo "=== summary"
printf '%s\n' "${summaries[@]}"
exit $status
