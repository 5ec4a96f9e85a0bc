#!/usr/bin/env bash
# What ships is the 32-bit setup. On a machine whose kernel cannot run 32-bit programs the Windows
# tests run on the 64-bit twin; this runs the shipped i686 setup itself through one clean install end
# to end, its 32-bit processes emulated by qemu-user, in a 64-bit Windows prefix that native 64-bit
# Wine makes and serves. The emulator is registered with binfmt_misc in a private namespace where the
# kernel has one (Linux 6.7 and later), so nothing else on the machine is affected; elsewhere it is
# registered for the run and removed afterwards.
#   scripts/emulated-i686.sh          (after build/i686 is built, as root)
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
source scripts/arch.sh

binfmt=/proc/sys/fs/binfmt_misc
entry=marigold-i386
emulator=/usr/bin/qemu-i386-static

if [ "$(id -u)" -ne 0 ]; then
  echo "emulated-i686.sh: registering an emulator takes root" >&2
  exit 1
fi
if [ -z "${MARIGOLD_IN_PRIVATE_NAMESPACE:-}" ]; then
  bash scripts/deps.sh test emulation
  if ! marigold_wine32_installed; then
    echo "emulated-i686.sh: 32-bit Wine (wine32:i386) is not installed, and the emulated setup needs it" >&2
    exit 1
  fi
  set +e
  MARIGOLD_IN_PRIVATE_NAMESPACE=1 /usr/bin/python3 scripts/private_namespace.py --i386 "$emulator" bash "$0"
  status=$?
  set -e
  [ "$status" -ne 97 ] && [ "$status" -ne 98 ] && exit "$status"
  echo "No private binfmt_misc here: registering the emulator for this run only."
  registered=0
  cleanup() {
    if [ "$registered" = 1 ] && [ -e "$binfmt/$entry" ]; then echo -1 > "$binfmt/$entry"; fi
  }
  trap cleanup EXIT
  [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
  if ! marigold_i386_through_binfmt; then
    /usr/bin/python3 scripts/private_namespace.py --i386-rule "$emulator" > "$binfmt/register"
    registered=1
  fi
fi

tree=build/i686
export MARIGOLD_WINE_RUN="$top/scripts/wine-run.sh"
export PYTHONPATH="$top/scripts:$top/tests"
# Emulated processes start in tens of seconds rather than in one: every wait is that much longer.
export MARIGOLD_SLOW=20
work="$top/$tree/emulated"
# Only what ships needs emulating: the control panel's stand-in runs natively where a 64-bit one is built.
recorder=build/x86_64/tests/setup/launch_recorder.exe
[ -f "$recorder" ] || recorder="$tree/tests/setup/launch_recorder.exe"
e2e=(/usr/bin/python3 tests/setup/e2e_setup.py --windows 64 --work "$work" --label emulated
     --setup "$tree/setup/MarigoldSetup.exe" --saver "$tree/saver/Marigold.scr"
     --assets resources/assets --recorder "$recorder"
     --newer "$tree/tests/setup/saver_newer.exe" --older "$tree/tests/setup/saver_older.exe"
     --helper "$tree/tests/saver/saver_helper.exe"
     --url "$(sed -n 's/^PUBLISHER_SITE_URL:STRING=//p' "$tree/CMakeCache.txt")")
# qemu-user now and then hands Wine a fault it cannot place ("unexpected trap"): then the emulator, not
# the setup, has broken down, and the install is tried once more. That is seen in the trace at once, so
# the attempt ends there rather than after waiting minutes for what the broken process never does.
scenario=$work/emulated-64-yes
emulator_broke_down() { grep -qs "Got unexpected trap" "$scenario/setup.stderr.txt"; }
install_once() {
  rm -f "$scenario/setup.stderr.txt"
  timeout 1500 "${e2e[@]}" --scenario yes &
  local run=$!
  while kill -0 "$run" 2>/dev/null; do
    if emulator_broke_down; then
      kill "$run" 2>/dev/null
      wait "$run" 2>/dev/null
      scripts/wine-run.sh --root "$scenario/root" --arch x86_64 --stop
      return 1
    fi
    sleep 2
  done
  wait "$run"
}

echo "== The shipped i686 setup, its 32-bit processes emulated: a clean install in a 64-bit Windows prefix"
timeout 1800 "${e2e[@]}" --scenario template || exit 1
for attempt in 1 2; do
  if install_once; then exit 0; fi
  emulator_broke_down || exit 1
  echo "The emulator broke down (attempt $attempt), not the setup."
done
echo "INCONCLUSIVE: qemu-user could not run the 32-bit setup here twice in a row; the 64-bit twin's tests stand."
exit 0
