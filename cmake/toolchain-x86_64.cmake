# 64-bit Windows: the same sources built as a test twin, for machines whose kernel cannot run
# 32-bit programs (and so 32-bit Wine). What ships is always the i686 build.
set(MARIGOLD_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
