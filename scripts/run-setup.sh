#!/usr/bin/env bash
# Builds the setup and runs it in a sandboxed Wine prefix inside the build folder.
#   scripts/run-setup.sh [--headless] [--fresh]
# With a display you answer the boxes yourself; without one (or with --headless) it runs on a virtual
# display, answers Yes, saves screenshots of both boxes and lists what was installed and where.
# --fresh starts from a new Windows; otherwise a second run finds the first run's installation.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
# The compilers first: with binutils in place the kernel can be asked whether 32-bit Wine is of use.
bash scripts/deps.sh build
bash scripts/deps.sh run
source scripts/arch.sh
source scripts/build.sh

headless=()
fresh=0
for arg in "$@"; do
  case "$arg" in
    --headless) headless=(--headless) ;;
    --fresh) fresh=1 ;;
    *) echo "usage: scripts/run-setup.sh [--headless] [--fresh]" >&2; exit 2 ;;
  esac
done

marigold_build i686 setup
echo "Built the setup: build/i686/setup/MarigoldSetup.exe ($(stat -c %s build/i686/setup/MarigoldSetup.exe) bytes)"
arch=$(marigold_test_arch)
if [ "$arch" != i686 ]; then
  if ! marigold_kernel_runs_i386; then why="its kernel's 32-bit support is off"
  elif [ -n "${MARIGOLD_TEST_ARCH:-}" ]; then why="MARIGOLD_TEST_ARCH=$arch"
  else why="32-bit Wine could not be installed"; fi
  echo "No 32-bit Windows programs here ($why): running the same sources built for 64-bit Windows instead."
  marigold_build "$arch" setup
fi

root="build/$arch/run/wine"
if [ "$fresh" = 1 ] && [ -d "$root" ]; then
  scripts/wine-run.sh --root "$root" --arch "$arch" --stop
  rm -rf "$root"
fi
as_twin=()
[ "$arch" = i686 ] || as_twin=(marigold_run_as_twin)
"${as_twin[@]}" /usr/bin/python3 scripts/run_setup.py --setup "build/$arch/setup/MarigoldSetup.exe" --arch "$arch" \
  --root "$root" "${headless[@]}"
