#!/usr/bin/env bash
# Installs, from Debian's packages, only what is still missing of the groups named (by default "build
# test"): build (CMake and the cross compilers), test (Wine, a virtual display and the independent
# checkers), bench (what the benchmarks compare with and draw with), emulation (qemu-user, for the
# shipped 32-bit setup on a kernel that cannot run 32-bit programs). Idempotent: a machine that has
# everything is left alone.
#   scripts/deps.sh [GROUP ...]
set -euo pipefail

groups=("$@")
[ "${#groups[@]}" -gt 0 ] || groups=(build test)

need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1

packages=()
for group in "${groups[@]}"; do
  case "$group" in
    # binutils: scripts/arch.sh asks the kernel with a tiny program of its own whether it runs 32-bit ones.
    build) packages+=(cmake ninja-build binutils doctest-dev
                      g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 mingw-w64-i686-dev
                      g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev) ;;
    test) packages+=(wine wine64 wine32:i386
                     xvfb xauth xdotool x11-utils x11-xserver-utils
                     liblnk-utils icoutils python3-pefile imagemagick sox
                     acl procps osslsigncode openssl) ;;
    # The benchmarks compare with an NSIS installer and draw a chart.
    bench) packages+=(nsis python3-matplotlib) ;;
    emulation) packages+=(qemu-user-static) ;;
    *) echo "deps.sh: no package group '$group' (build, test, bench, emulation)" >&2; exit 2 ;;
  esac
done

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
install_missing() { apt-get install -y -q --no-install-recommends "${missing[@]}"; }
updated=0
if [ "$need_i386" = 1 ] && [[ " ${missing[*]}" == *:i386* ]]; then
  dpkg --add-architecture i386
  apt-get update -q
  updated=1
elif ! compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null; then
  apt-get update -q
  updated=1
fi
# Lists read a while ago may name versions the mirror no longer has: read them again, then retry.
install_missing || { [ "$updated" = 0 ] && apt-get update -q && install_missing; }
