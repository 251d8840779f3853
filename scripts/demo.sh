#!/bin/bash
# Builds the Linux programs and runs the main job end to end against a local nginx.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target updater updater-publish
exec python3 scripts/demo.py
