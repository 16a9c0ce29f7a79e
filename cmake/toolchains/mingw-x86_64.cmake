# CMake toolchain file: 64-bit Windows (x86_64-w64-mingw32) cross build on
# Debian. The same sources as the 32-bit build; its tests run under 64-bit
# Wine, which works on every machine we get (some cannot execute 32-bit
# code at all).
#
#   scripts/setup-windows win64   # once per machine: compiler, Wine, PCRE2, SQLite
#   cmake --preset win64 && cmake --build --preset win64 && ctest --preset win64
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(QUILLET_MINGW_TRIPLE x86_64-w64-mingw32)
set(QUILLET_THIRD_PARTY_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
