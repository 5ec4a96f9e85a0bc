#!/usr/bin/env bash
# What ships is the 32-bit setup. On a machine whose kernel cannot run 32-bit programs the Windows
# tests run on the 64-bit twin; this runs the shipped i686 setup itself through one clean install end
# to end, with its 32-bit processes emulated by qemu-user (registered with binfmt_misc for the run and
# removed afterwards) in a 64-bit Windows prefix that native 64-bit Wine makes and serves.
#   scripts/emulated-i686.sh          (after build/i686 is built)
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
bash scripts/deps.sh --emulation

binfmt=/proc/sys/fs/binfmt_misc
entry=marigold-i386
registered=0
cleanup() {
  if [ "$registered" = 1 ] && [ -e "$binfmt/$entry" ]; then echo -1 > "$binfmt/$entry"; fi
}
trap cleanup EXIT

if [ ! -e "$binfmt/register" ]; then
  mount -t binfmt_misc binfmt_misc "$binfmt"
fi
if ! grep -qs '^magic 7f454c4601010100000000000000000002000300' "$binfmt"/*; then
  # i386 ELF executables, run by qemu; F: the interpreter is opened now, so it works in any mount namespace.
  printf '%s' ":$entry:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:/usr/bin/qemu-i386-static:F" \
    > "$binfmt/register"
  registered=1
fi

tree=build/i686
export MARIGOLD_WINE_ROOT="$top/$tree/emulated/wine" MARIGOLD_WINE_ARCH=x86_64 MARIGOLD_WINE_RUN="$top/scripts/wine-run.sh"
# Emulated processes start in tens of seconds rather than one: every wait is that much longer.
export MARIGOLD_SLOW=20
e2e=(/usr/bin/python3 tests/setup/e2e_setup.py --windows 64 --work "$tree/emulated/e2e" --label emulated
     --setup "$tree/setup/MarigoldSetup.exe" --saver "$tree/saver/Marigold.scr"
     --assets resources/assets --recorder "$tree/tests/setup/launch_recorder.exe"
     --newer "$tree/tests/setup/saver_newer.exe" --older "$tree/tests/setup/saver_older.exe"
     --helper "$tree/tests/saver/saver_helper.exe"
     --url "$(sed -n 's/^PUBLISHER_SITE_URL:STRING=//p' "$tree/CMakeCache.txt")")
echo "== The shipped i686 setup, emulated: a clean install in a 64-bit Windows prefix"
status=0
"${e2e[@]}" --scenario template && "${e2e[@]}" --scenario yes || status=1
exit $status
