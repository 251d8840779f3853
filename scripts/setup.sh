#!/bin/bash
# Installs what the builds, tests and demo need on Debian 12 and unpacks the third-party
# sources the Windows build compiles. Safe to run again: it only does what is missing.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export DEBIAN_FRONTEND=noninteractive

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

packages=(
  build-essential cmake ninja-build pkg-config dpkg-dev python3 curl file
  g++-mingw-w64-i686 wine wine32 wine64 xvfb xauth
  nginx tinyproxy
  libbz2-dev libtinyxml2-dev libssl-dev openssl libgtest-dev libbenchmark-dev
  bzip2 lbzip2 imagemagick time
)

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  need_update=1
fi

src_list=/etc/apt/sources.list.d/updater-deb-src.sources
if [ ! -f "$src_list" ]; then
  "${sudo_cmd[@]}" tee "$src_list" >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  status="$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)"
  if [ "$status" != "installed" ]; then missing+=("$p"); fi
done

if [ ${#missing[@]} -gt 0 ] || [ "$need_update" = 1 ]; then
  "${sudo_cmd[@]}" apt-get update -q
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The packaged nginx and tinyproxy services are not ours: the tests start their own copies
# on free loopback ports.
for service in nginx tinyproxy; do
  if command -v systemctl >/dev/null && systemctl is-active --quiet "$service" 2>/dev/null; then
    "${sudo_cmd[@]}" systemctl stop "$service" || true
  fi
done

# Wine runs the 32-bit updater.exe through its 32-bit loader. Where the kernel has no 32-bit
# support (ia32 emulation switched off), qemu's user-mode emulator runs that loader instead;
# bookworm's qemu 7.2 needs a minute per process there, the backported one a second.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  qemu_version="$(dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null || true)"
  if [[ "$qemu_version" != *bpo12* ]]; then
    backports=/etc/apt/sources.list.d/updater-backports.sources
    if [ ! -f "$backports" ]; then
      "${sudo_cmd[@]}" tee "$backports" >/dev/null <<'SOURCES'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    fi
    "${sudo_cmd[@]}" apt-get update -q
    "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends -t bookworm-backports qemu-user-static
  fi
  binfmt=/proc/sys/fs/binfmt_misc
  if [ ! -e "$binfmt/register" ]; then
    "${sudo_cmd[@]}" mount -t binfmt_misc binfmt_misc "$binfmt"
  fi
  if [ ! -e "$binfmt/qemu-i386" ]; then
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
      | "${sudo_cmd[@]}" tee "$binfmt/register" >/dev/null
  fi
  /usr/lib/wine/wine --version >/dev/null 2>&1 || { echo "setup: cannot run 32-bit Wine" >&2; exit 1; }
fi

deps="$root/build/deps"
mkdir -p "$deps"
for source in bzip2 tinyxml2; do
  if ! compgen -G "$deps/$source-*/" >/dev/null; then
    echo "setup: unpacking the Debian source of $source into build/deps"
    (cd "$deps" && apt-get source -q "$source")
  fi
done

echo "setup: done"
