#!/usr/bin/env bash
# Builds everything and runs all tests. The shipped build is 32-bit (build/i686). Its Windows tests run
# under 32-bit Wine when this machine's kernel can run 32-bit programs; otherwise the same sources are
# built as a 64-bit twin (build/x86_64) and the Windows tests run there under 64-bit Wine, while the
# 32-bit executables are still checked statically (PE headers, imports, resources, payload files) and
# the shipped 32-bit setup runs one clean install with its 32-bit processes emulated (qemu-user).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
source scripts/arch.sh
source scripts/build.sh

jobs=$(nproc 2>/dev/null || echo 2)

status=0
mkdir -p build
stamp=build/.test-start
touch "$stamp"
# The compilers first; Wine and the checkers, most of what a new machine installs, come while the
# trees are built.
bash scripts/deps.sh build
planned=$(marigold_native_arch)
deps_log=build/deps.log
if [ "$planned" = i686 ]; then deps_groups=(test); else deps_groups=(test emulation); fi
bash scripts/deps.sh "${deps_groups[@]}" >"$deps_log" 2>&1 &
installing=$!
ready=0
packages_ready() {
  [ "$ready" = 0 ] || return 0
  ready=1
  if ! wait "$installing"; then cat "$deps_log"; exit 1; fi
  grep -s -e '^Installing:' -e '^Warning:' -e '^Not installed:' -e '^Removed again:' "$deps_log" || true
}
if [ "$planned" = i686 ]; then
  marigold_build i686 --wine-tests ON setup
  # The rest of the 32-bit tree is built while the packages come, unless 32-bit Wine is known not to.
  grep -qs '^Not installed:' "$deps_log" || marigold_build i686 --wine-tests ON
  packages_ready
fi
# Where 32-bit Wine could not be installed, the twin is taken on any kernel.
test_arch=$(marigold_test_arch)
echo "== Windows tests run as: $test_arch"
not_run=""
if [ "$test_arch" = i686 ]; then
  ctest --test-dir build/i686 --output-on-failure -j "$jobs" || status=1
else
  # The 32-bit tree's tests here read what ships without running it: only that is built.
  marigold_build i686 --wine-tests OFF setup
  # What ships still runs: one clean install of the 32-bit setup, its 32-bit processes emulated. That
  # takes minutes of emulation, mostly on one core while the other tests wait on Windows programs, so
  # it runs beside them; only the control panel's stand-in, built first, runs natively there.
  marigold_build x86_64 --wine-tests ON launch_recorder
  # Still installing: the rest of the twin is built meanwhile, else the emulation starts at once.
  if [ "$ready" = 0 ] && kill -0 "$installing" 2>/dev/null; then marigold_build x86_64 --wine-tests ON; fi
  packages_ready
  emulated=build/i686/emulated.log
  rm -f "$emulated"
  if marigold_wine32_installed; then
    bash scripts/emulated-i686.sh >"$emulated" 2>&1 &
    emulating=$!
  else
    why=$(sed -n 's/^Not installed: 32-bit Wine ([^)]*): \([^;]*\).*/\1/p' "$deps_log")
    if marigold_kernel_runs_i386; then why="32-bit Wine could not be installed: $why"
    else why="This kernel runs no 32-bit programs, and 32-bit Wine, which emulating them takes, could not be installed: $why"; fi
    not_run="Not run on this machine: the shipped 32-bit setup itself. $why. The 64-bit twin and the static checks of the shipped files ran instead."
  fi
  ctest --test-dir build/i686 --output-on-failure -j "$jobs" || status=1
  marigold_build x86_64 --wine-tests ON
  # Most of these tests wait on Windows programs and the virtual display rather than use a core.
  marigold_run_as_twin ctest --test-dir build/x86_64 --output-on-failure -j "$((jobs + 1))" || status=1
  if [ -z "$not_run" ]; then
    wait "$emulating" || status=1
    cat "$emulated"
  fi
fi

# The sandbox must not leak: nothing new in the real home folder that Wine would have put there, and
# no Wine process of a prefix in this build folder still running.
leaked=$(find "$HOME" -maxdepth 4 -newer "$stamp" \( -name '*.lnk' -o -name '*.url' -o -name '*.desktop' \
              -o -path '*/.wine' -o -path '*/wine/*' \) -print 2>/dev/null | grep -v '^$' || true)
if [ -n "$leaked" ]; then
  echo "FAIL: the tests left files in the real home folder:"; echo "$leaked"; status=1
fi
sleep 1
running=$(grep -lsz "^WINEPREFIX=$top/build/" /proc/[0-9]*/environ 2>/dev/null || true)
if [ -n "$running" ]; then
  echo "FAIL: Wine processes of the test prefixes are still running:"
  for f in $running; do pid=${f#/proc/}; pid=${pid%/environ}; ps -o pid=,args= -p "$pid" || true; done
  status=1
else
  echo "Sandbox check: nothing new in $HOME, no Wine process of the test prefixes left running."
fi
[ -z "$not_run" ] || echo "$not_run"
if [ "$status" = 0 ]; then echo "== All tests passed ($test_arch)."; else echo "== FAILED: see above ($test_arch)."; fi
exit $status
