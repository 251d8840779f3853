#!/bin/bash
# Runs a Windows program under Wine with the project's own prefix, quietly and without
# waiting for Mono or Gecko. Used as CMake's cross-compiling emulator and by the tests.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$root/build/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec wine "$@"
