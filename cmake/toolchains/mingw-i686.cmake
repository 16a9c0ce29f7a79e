# CMake toolchain file: 32-bit Windows (i686-w64-mingw32) cross build on
# Debian, the build operators install. Tests run under 32-bit Wine where
# the machine can execute 32-bit code.
#
#   scripts/setup-windows win32   # once per machine: compiler, Wine, PCRE2, SQLite
#   cmake --preset win32 && cmake --build --preset win32 && ctest --preset win32
set(CMAKE_SYSTEM_PROCESSOR x86)
set(QUILLET_MINGW_TRIPLE i686-w64-mingw32)
set(QUILLET_THIRD_PARTY_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
