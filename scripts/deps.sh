#!/usr/bin/env bash
# Installs, from Debian's packages, only what is still missing of the groups named (by default "build
# run"): build (CMake and the cross compilers), run (Wine and a virtual display: what runs the build
# this kernel runs), test (run, and the independent checkers), bench (what the benchmarks compare with
# and draw with), emulation (qemu-user and 32-bit Wine, for the shipped 32-bit setup on a kernel that
# cannot run 32-bit programs). 32-bit Wine, and with it the i386 architecture, is asked for only where
# the kernel runs 32-bit programs (ask with the build group installed first: it brings binutils) or for
# the emulation.
#   scripts/deps.sh [GROUP ...]
# A machine that has everything is left alone, without a call to apt. A package list the mirror cannot
# give (it may be half-synced for hours) is tried once more, then named in one warning line, and the
# lists that were read are used. Only a needed package that cannot be installed fails, in one sentence.
# 32-bit Wine is wanted rather than needed: without it the scripts take the 64-bit twin, and the line
# "Not installed: ..." says why. Nothing is ever downgraded, removed or forced.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/arch.sh"

groups=("$@")
[ "${#groups[@]}" -gt 0 ] || groups=(build run)

wine32=wine32:i386
packages=()
for group in "${groups[@]}"; do
  case "$group" in
    # binutils: scripts/arch.sh asks the kernel with a tiny program of its own whether it runs 32-bit ones.
    build) packages+=(cmake ninja-build binutils doctest-dev
                      g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 mingw-w64-i686-dev
                      g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev) ;;
    run|test)
      packages+=(binutils wine wine64 xvfb xauth xdotool x11-xserver-utils imagemagick acl)
      [ "$group" = run ] || packages+=(x11-utils liblnk-utils icoutils python3-pefile sox procps osslsigncode openssl)
      [ "$(marigold_native_arch)" != i686 ] || packages+=("$wine32") ;;
    # The benchmarks compare with an NSIS installer and draw a chart.
    bench) packages+=(nsis python3-matplotlib) ;;
    emulation) packages+=(qemu-user-static "$wine32") ;;
    *) echo "deps.sh: no package group '$group' (build, run, test, bench, emulation)" >&2; exit 2 ;;
  esac
done

i386_added=1
dpkg --print-foreign-architectures | grep -qx i386 || i386_added=0
needed=() wanted=()
declare -A seen
for p in "${packages[@]}"; do
  [ -z "${seen[$p]:-}" ] || continue
  seen[$p]=1
  if [ "$i386_added" = 1 ] || [[ "$p" != *:i386 ]]; then
    [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)" != "install ok installed" ] || continue
  fi
  if [ "$p" = "$wine32" ]; then wanted+=("$p"); else needed+=("$p"); fi
done
[ "${#needed[@]}" -gt 0 ] || [ "${#wanted[@]}" -gt 0 ] || exit 0

if [ "$(id -u)" -ne 0 ]; then
  if [ "${#needed[@]}" -gt 0 ]; then
    echo "Missing packages: ${needed[*]} ${wanted[*]}" >&2
    echo "Install them as root${wanted[*]:+ (after 'dpkg --add-architecture i386 && apt-get update')}:" >&2
    echo "  apt-get install --no-install-recommends ${needed[*]} ${wanted[*]}" >&2
    exit 1
  fi
  echo "Not installed: 32-bit Wine ($wine32): installing packages takes root."
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
log=$(mktemp "${TMPDIR:-/tmp}/marigold-apt.XXXXXX")
# An i386 architecture this run added goes again when 32-bit Wine did not get in: its package list (the
# one a half-synced mirror breaks) would fail every later apt-get update of this machine. dpkg keeps it
# while any i386 package is installed.
i386_undo=0
drop_i386() {
  [ "$i386_undo" = 1 ] && dpkg --remove-architecture i386 2>/dev/null &&
    echo "Removed again: the i386 architecture, added for 32-bit Wine only." || true
}
trap 'rm -f "$log"; drop_i386' EXIT
unread=""   # the package lists the mirror would not give

# Reads the package lists, a second time when one fails; then goes on with those that were read.
update_lists() {
  updated=1
  if apt-get update -q >"$log" 2>&1 || apt-get update -q >"$log" 2>&1; then return 0; fi
  local line why=""
  while IFS= read -r line; do
    # "E: Failed to fetch http://.../dists/SUITE/COMPONENT/binary-ARCH/Packages.xz  REASON [IP: ...]"
    [[ $line =~ ^E:\ Failed\ to\ fetch\ [^\ ]*/dists/([^/\ ]+)/([^\ ]*)\ +(.*)$ ]] || continue
    local list=${BASH_REMATCH[1]} path=${BASH_REMATCH[2]}
    why=${BASH_REMATCH[3]%% \[IP:*}
    [[ $path =~ ^([^/]+)/binary-([^/]+)/ ]] && list+=" ${BASH_REMATCH[1]} ${BASH_REMATCH[2]}"
    unread+="${unread:+, }$list"
  done <"$log"
  [ -n "$unread" ] || { unread="some package lists"; why=$(grep -m1 '^E: ' "$log" | cut -c4-); }
  echo "Warning: the package list of $unread could not be read twice (${why:-see apt-get update}); going on with the lists that were read."
}

# Another apt run (another checkout's test command, say) is waited for rather than taken for a failure.
apt_install() { apt-get install -y -q -o DPkg::Lock::Timeout=300 --no-install-recommends --no-remove "$@" >"$log" 2>&1; }

# Installs all of them, reading the package lists again once when that fails: lists read a while ago
# may name versions the mirror no longer has.
install_all() {
  apt_install "$@" && return 0
  [ "$updated" = 0 ] || return 1
  update_lists
  apt_install "$@"
}

# apt's reason, in short, from the log of its last try.
apt_reason() {
  local broken more=""
  if grep -q "Unable to locate package" "$log"; then echo "the package lists name no such package"
  elif grep -q "has no installation candidate" "$log"; then echo "no version of it can be installed"
  elif grep -q "unmet dependencies" "$log"; then
    mapfile -t broken < <(sed -n 's/^ \([^ ]*\) : .*/\1/p' "$log")
    [ "${#broken[@]}" -le 3 ] || more=" and $(( ${#broken[@]} - 3 )) more"
    echo "its dependencies cannot be met (apt names $(IFS=,; echo "${broken[*]:0:3}" | sed 's/,/, /g')$more)"
  else grep -m1 '^E: ' "$log" | cut -c4-; fi
}

what_to_do() {
  if [ -n "$unread" ]; then echo "the mirror may be part-way through a sync: run the command again once it has finished"
  else echo "'apt-get install --no-install-recommends $1' shows apt's whole answer"; fi
}

missing=("${needed[@]}" "${wanted[@]}")
echo "Installing: ${missing[*]}"
updated=0
if [ "${#wanted[@]}" -gt 0 ] && [ "$i386_added" = 0 ]; then
  dpkg --add-architecture i386
  i386_undo=1
  update_lists
elif ! compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null; then
  update_lists
fi
install_all "${missing[@]}" && { i386_undo=0; exit 0; }
# When 32-bit Wine is what cannot be installed, that is said at once: the scripts can do without it.
if [ "${#wanted[@]}" -gt 0 ] && ! apt_install -s "${wanted[@]}"; then
  echo "Not installed: 32-bit Wine ($wine32): $(apt_reason); $(what_to_do "$wine32")."
  wanted=()
fi
if [ "${#needed[@]}" -gt 0 ] && ! apt_install "${needed[@]}"; then
  culprit=""
  for p in "${needed[@]}"; do
    apt_install -s "$p" || { culprit=$p; break; }
  done
  [ -n "$culprit" ] || apt_install "${needed[@]}" || true  # only together: apt's reason for all of them
  echo "FAIL: ${culprit:-${needed[*]}} cannot be installed ($(apt_reason)); $(what_to_do "${culprit:-${needed[*]}}")."
  exit 1
fi
[ "${#wanted[@]}" -eq 0 ] || { apt_install "${wanted[@]}" && i386_undo=0; } ||
  echo "Not installed: 32-bit Wine ($wine32): $(apt_reason); $(what_to_do "$wine32")."
