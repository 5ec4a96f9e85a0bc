#!/usr/bin/env bash
# Installs, from Debian's packages, only what the build and the tests still miss (with --bench, also
# what the benchmarks use). Idempotent: a machine that has everything is left alone.
set -euo pipefail

need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1

packages=(
  cmake ninja-build
  g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine64 wine32:i386
  xvfb xauth xdotool x11-utils x11-xserver-utils
  liblnk-utils icoutils python3-pefile imagemagick sox
  doctest-dev acl procps
  osslsigncode openssl
)
# The benchmarks compare with an NSIS installer and draw a chart; a kernel that cannot run 32-bit
# programs runs the shipped 32-bit setup emulated.
[ "${1:-}" != --bench ] || packages+=(nsis python3-matplotlib)
[ "${1:-}" != --emulation ] || packages+=(qemu-user-static)

missing=()
for p in "${packages[@]}"; do
  if [ "$need_i386" = 1 ] && [[ "$p" == *:i386 ]]; then missing+=("$p"); continue; fi
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them as root (after 'dpkg --add-architecture i386 && apt-get update'):" >&2
  echo "  apt-get install --no-install-recommends ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
[ "$need_i386" = 1 ] && dpkg --add-architecture i386
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
