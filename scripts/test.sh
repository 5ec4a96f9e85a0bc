#!/usr/bin/env bash
# Builds everything and runs all tests. The shipped build is 32-bit (build/i686). Its Windows tests run
# under 32-bit Wine when this machine's kernel can run 32-bit programs; otherwise the same sources are
# built as a 64-bit twin (build/x86_64) and the Windows tests run there under 64-bit Wine, while the
# 32-bit executables are still checked statically (PE headers, imports, resources, payload files).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
bash scripts/deps.sh
source scripts/arch.sh

jobs=$(nproc 2>/dev/null || echo 2)
configure_and_build() {  # arch wine_tests
  cmake -S . -B "build/$1" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$1.cmake" -DMARIGOLD_WINE_TESTS="$2" >/dev/null
  cmake --build "build/$1" -j "$jobs"
}

status=0
test_arch=$(marigold_test_arch)
echo "== Windows tests run as: $test_arch"
if [ "$test_arch" = i686 ]; then
  configure_and_build i686 ON
  ctest --test-dir build/i686 --output-on-failure -j "$jobs" || status=1
else
  configure_and_build i686 OFF
  ctest --test-dir build/i686 --output-on-failure -j "$jobs" || status=1
  configure_and_build x86_64 ON
  ctest --test-dir build/x86_64 --output-on-failure -j "$jobs" || status=1
fi
exit $status
