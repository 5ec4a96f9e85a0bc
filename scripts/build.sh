# Sourced by the scripts: configures (when needed) and builds one architecture's tree, build/<arch>.
#   marigold_build ARCH [--wine-tests ON|OFF] [TARGET ...]
marigold_build() {
  local arch=$1; shift
  local wine_tests=ON
  if [ "${1:-}" = --wine-tests ]; then wine_tests=$2; shift 2; fi
  local tree="build/$arch"
  # The toolchain is read when a tree is first configured only; naming it again makes CMake warn.
  local toolchain=()
  [ -f "$tree/CMakeCache.txt" ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch.cmake")
  cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release "${toolchain[@]}" -DMARIGOLD_WINE_TESTS="$wine_tests" >/dev/null
  local targets=()
  [ $# -eq 0 ] || targets=(--target "$@")
  cmake --build "$tree" -j "$(nproc 2>/dev/null || echo 2)" "${targets[@]}"
}
