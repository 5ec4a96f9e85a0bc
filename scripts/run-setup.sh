#!/usr/bin/env bash
# Builds the setup (32-bit, what ships) and says what it built.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
bash scripts/deps.sh
cmake -S . -B build/i686 -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake >/dev/null
cmake --build build/i686
echo "Built in build/i686:"
find build/i686 -maxdepth 2 -name '*.exe' -o -maxdepth 2 -name '*.scr' | sort
