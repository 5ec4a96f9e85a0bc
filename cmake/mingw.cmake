# What both toolchains share: mingw-w64's compilers for MARIGOLD_ARCH, and its folders only for the
# libraries and headers of Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${MARIGOLD_ARCH})
set(CMAKE_C_COMPILER ${MARIGOLD_ARCH}-w64-mingw32-gcc)
set(CMAKE_CXX_COMPILER ${MARIGOLD_ARCH}-w64-mingw32-g++)
set(CMAKE_RC_COMPILER ${MARIGOLD_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MARIGOLD_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
