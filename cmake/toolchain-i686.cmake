# 32-bit Windows, the architecture the setup ships for.
set(MARIGOLD_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
