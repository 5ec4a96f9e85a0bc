#!/usr/bin/env bash
# The whole benchmark in one command: builds what it needs, runs everything in one Wine sandbox
# (build/<arch>/bench/wine), prints a table and writes bench/results/results.md and chart.png.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

bash scripts/deps.sh build test bench
source scripts/arch.sh
source scripts/build.sh
arch=$(marigold_test_arch)
marigold_build "$arch" setup saver launch_recorder install_timer floor_install empty_program peak_memory
size_args=()
if [ "$arch" != i686 ]; then  # the shipped 32-bit build: its size is compared too, without running it
  marigold_build i686 setup saver
  size_args=(--size-build "i686=build/i686")
fi
# The screen-saver benchmark copies the tests' prefix.
scripts/wine-run.sh --root "build/$arch/wine" --arch "$arch" --init

PYTHONPATH="$top/scripts" /usr/bin/python3 bench/bench.py --arch "$arch" --build "build/$arch" "${size_args[@]}"
