# The part of the mingw-w64 cross toolchain files common to both targets
# (mingw-i686.cmake, mingw-x86_64.cmake), which set QUILLET_MINGW_TRIPLE,
# QUILLET_THIRD_PARTY_ARCH and CMAKE_SYSTEM_PROCESSOR before including it.
#
# Compiler: Debian's <triple>-{gcc,g++}-posix (GCC 12), chosen by name here;
# the system's update-alternatives default (win32) is left alone.
# Why posix, not win32: with GCC 12 the win32 thread model has no
# std::mutex / std::thread / std::shared_mutex / std::jthread (GCC 13 added
# them), so C++20 code using <mutex> etc. does not compile. The posix model
# needs winpthread, which `-static` links statically, so the .exe/.dll still
# import only Windows system DLLs (KERNEL32, msvcrt, USER32, ...): no
# libstdc++-6.dll, libgcc_s_*.dll or libwinpthread-1.dll.
# Override with -DQUILLET_MINGW_THREADS=win32 if ever wanted.

set(CMAKE_SYSTEM_NAME Windows)

set(_quillet_triple ${QUILLET_MINGW_TRIPLE})
set(QUILLET_MINGW_THREADS posix CACHE STRING "mingw-w64 GCC thread model variant: posix or win32")
set_property(CACHE QUILLET_MINGW_THREADS PROPERTY STRINGS posix win32)

find_program(_quillet_mingw_cxx ${_quillet_triple}-g++-${QUILLET_MINGW_THREADS})
if(NOT _quillet_mingw_cxx)
  message(FATAL_ERROR
    "${_quillet_triple}-g++-${QUILLET_MINGW_THREADS} not found: run scripts/setup-windows first")
endif()
set(CMAKE_C_COMPILER   ${_quillet_triple}-gcc-${QUILLET_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${_quillet_triple}-g++-${QUILLET_MINGW_THREADS})
# The -posix suffix hides the triple prefix from CMake's binutils lookup,
# so name the cross binutils explicitly.
find_program(CMAKE_RC_COMPILER ${_quillet_triple}-windres)
foreach(_tool AR RANLIB NM OBJDUMP OBJCOPY STRIP DLLTOOL ADDR2LINE READELF)
  string(TOLOWER ${_tool} _tool_lc)
  find_program(CMAKE_${_tool} ${_quillet_triple}-${_tool_lc})
endforeach()

# Third-party libraries built by scripts/setup-windows (PCRE2, SQLite amalgamation).
get_filename_component(QUILLET_WIN32_THIRD_PARTY
  "${CMAKE_CURRENT_LIST_DIR}/../../third_party/${QUILLET_THIRD_PARTY_ARCH}" ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/${_quillet_triple} "${QUILLET_WIN32_THIRD_PARTY}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No runtime DLLs to ship: libgcc, libstdc++ and winpthread go in statically.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Run cross-built programs (ctest, try_run, gtest_discover_tests) under wine,
# with the fixed prefix/environment of scripts/wine-run.
get_filename_component(_quillet_wine_run "${CMAKE_CURRENT_LIST_DIR}/../../scripts/wine-run" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_quillet_wine_run}")
