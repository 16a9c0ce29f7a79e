# Third-party targets for the 32-bit Windows cross build
# (cmake/toolchains/mingw-*.cmake). Does nothing in a native build,
# where the same target names come from the system packages.
#
# Defines:
#   Quillet::pcre2      static PCRE2, 16-bit code units, JIT
#                       (PCRE2_STATIC, PCRE2_CODE_UNIT_WIDTH=16 propagate)
#   Quillet::sqlite3    static library compiled here from the amalgamation
#   GTest::gtest GTest::gtest_main GTest::gmock GTest::gmock_main
#                       built from /usr/src/googletest into this build tree
#
# Inputs come from scripts/setup-windows, in third_party/<arch>/ (override with
# -DQUILLET_WIN32_THIRD_PARTY=...; -DQUILLET_GOOGLETEST_SRC=... for GoogleTest).
#
# Use it from the root CMakeLists.txt after project(), before the targets
# that link these names:
#   include(cmake/third_party_win32.cmake)

include_guard(GLOBAL)

if(NOT (WIN32 AND CMAKE_CROSSCOMPILING))
  return()
endif()

if(NOT QUILLET_WIN32_THIRD_PARTY)
  get_filename_component(QUILLET_WIN32_THIRD_PARTY "${CMAKE_CURRENT_LIST_DIR}/../third_party/${QUILLET_THIRD_PARTY_ARCH}" ABSOLUTE)
endif()
set(QUILLET_WIN32_THIRD_PARTY "${QUILLET_WIN32_THIRD_PARTY}" CACHE PATH
    "Prefix of the cross-built third-party libraries (scripts/setup-windows)")

# --- PCRE2 (16-bit, static, JIT) -------------------------------------------
if(NOT TARGET Quillet::pcre2)
  set(_q_pcre2_lib "${QUILLET_WIN32_THIRD_PARTY}/lib/libpcre2-16.a")
  set(_q_pcre2_inc "${QUILLET_WIN32_THIRD_PARTY}/include")
  if(NOT EXISTS "${_q_pcre2_lib}" OR NOT EXISTS "${_q_pcre2_inc}/pcre2.h")
    message(FATAL_ERROR "PCRE2 for Windows not found in ${QUILLET_WIN32_THIRD_PARTY}: run scripts/setup-windows")
  endif()
  add_library(Quillet::pcre2 STATIC IMPORTED GLOBAL)
  set_target_properties(Quillet::pcre2 PROPERTIES
    IMPORTED_LOCATION "${_q_pcre2_lib}"
    IMPORTED_LINK_INTERFACE_LANGUAGES C
    INTERFACE_INCLUDE_DIRECTORIES "${_q_pcre2_inc}"
    INTERFACE_COMPILE_DEFINITIONS "PCRE2_STATIC;PCRE2_CODE_UNIT_WIDTH=16")
endif()

# --- SQLite (amalgamation, compiled here) ------------------------------------
if(NOT TARGET Quillet::sqlite3)
  set(_q_sqlite_dir "${QUILLET_WIN32_THIRD_PARTY}/sqlite")
  if(NOT EXISTS "${_q_sqlite_dir}/sqlite3.c" OR NOT EXISTS "${_q_sqlite_dir}/sqlite3.h")
    message(FATAL_ERROR "SQLite amalgamation not found in ${_q_sqlite_dir}: run scripts/setup-windows")
  endif()
  enable_language(C)
  add_library(quillet_sqlite3 STATIC "${_q_sqlite_dir}/sqlite3.c")
  target_include_directories(quillet_sqlite3 SYSTEM PUBLIC "${_q_sqlite_dir}")
  target_compile_definitions(quillet_sqlite3 PRIVATE
    SQLITE_THREADSAFE=1              # serialized: safe whatever thread opens a connection
    SQLITE_OMIT_LOAD_EXTENSION
    SQLITE_DQS=0                     # "..." is an identifier, never a string literal
    SQLITE_DEFAULT_MEMSTATUS=0
    SQLITE_DEFAULT_WAL_SYNCHRONOUS=1
    SQLITE_LIKE_DOESNT_MATCH_BLOBS
    SQLITE_OMIT_DEPRECATED
    SQLITE_OMIT_SHARED_CACHE)
  # Third-party code: no warnings from it, whatever the project's flags are.
  target_compile_options(quillet_sqlite3 PRIVATE -w)
  set_target_properties(quillet_sqlite3 PROPERTIES
    C_STANDARD 99 C_EXTENSIONS ON POSITION_INDEPENDENT_CODE OFF
    C_CLANG_TIDY "" C_CPPCHECK "" C_INCLUDE_WHAT_YOU_USE "")
  add_library(Quillet::sqlite3 ALIAS quillet_sqlite3)
endif()

# --- GoogleTest / GoogleMock from Debian's sources -----------------------------
if(NOT TARGET GTest::gtest)
  set(QUILLET_GOOGLETEST_SRC /usr/src/googletest CACHE PATH "GoogleTest source tree (Debian package googletest)")
  if(NOT EXISTS "${QUILLET_GOOGLETEST_SRC}/CMakeLists.txt")
    message(FATAL_ERROR "GoogleTest sources not found in ${QUILLET_GOOGLETEST_SRC} (apt-get install googletest)")
  endif()
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # MinGW: GoogleTest uses Win32 primitives, never pthreads (gtest ignores
  # them on MinGW anyway); this also keeps -pthread off the link line.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(gtest_build_tests OFF CACHE BOOL "" FORCE)
  set(gtest_build_samples OFF CACHE BOOL "" FORCE)
  set(gmock_build_tests OFF CACHE BOOL "" FORCE)
  set(_q_saved_shared "${BUILD_SHARED_LIBS}")
  set(BUILD_SHARED_LIBS OFF)           # static gtest: nothing extra to ship
  add_subdirectory("${QUILLET_GOOGLETEST_SRC}" "${CMAKE_BINARY_DIR}/_deps/googletest" EXCLUDE_FROM_ALL SYSTEM)
  set(BUILD_SHARED_LIBS "${_q_saved_shared}")
  foreach(_q_t gtest gtest_main gmock gmock_main)
    if(TARGET ${_q_t} AND NOT TARGET GTest::${_q_t})
      add_library(GTest::${_q_t} ALIAS ${_q_t})
    endif()
  endforeach()
endif()
