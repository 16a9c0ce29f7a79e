cmake_policy(VERSION 3.25)
# Checks the Windows module as a host's loader sees it: a PE32 image for
# i386 (PE32+ for x86-64 when BITS is 64) that exports exactly the entry
# point (ordinal 2) and its _done companion (ordinal 1), undecorated, and
# imports only system DLLs.
# Usage: cmake -DMODULE=<file> -DOBJDUMP=<objdump> [-DBITS=64] -P check_exports_win32.cmake
execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${MODULE}")
endif()

if(BITS EQUAL 64)
  if(NOT listing MATCHES "file format pei-x86-64" OR NOT listing MATCHES "Magic[ \t]+020b[ \t]+\\(PE32\\+\\)")
    message(FATAL_ERROR "${MODULE} is not a PE32+ image for x86-64")
  endif()
elseif(NOT listing MATCHES "file format pei-i386" OR NOT listing MATCHES "Magic[ \t]+010b[ \t]+\\(PE32\\)")
  message(FATAL_ERROR "${MODULE} is not a PE32 image for i386")
endif()

# Exports: "[index] name" rows of the name table; the ordinal is the index
# into the address table plus the ordinal base.
string(REGEX MATCH "Ordinal Base ([0-9]+)" _ "${listing}")
set(base ${CMAKE_MATCH_1})
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(([ \t]+\\[[ 0-9]+\\] [^\n]+\n)*)" _ "${listing}")
string(REGEX MATCHALL "\\[[ 0-9]+\\] [^\n]+" rows "${CMAKE_MATCH_1}")
set(exported)
foreach(row IN LISTS rows)
  string(REGEX MATCH "\\[ *([0-9]+)\\] (.+)" _ "${row}")
  math(EXPR ordinal "${CMAKE_MATCH_1} + ${base}")
  list(APPEND exported "${CMAKE_MATCH_2}@${ordinal}")
endforeach()
list(SORT exported)
set(expected 983BEDA12B2347028D99FF042C551640@2 983BEDA12B2347028D99FF042C551640_done@1)
if(NOT exported STREQUAL expected)
  message(FATAL_ERROR "exports are '${exported}', expected '${expected}'")
endif()

# Imports: system DLLs only (no libstdc++, libgcc or winpthread).
string(REGEX MATCHALL "DLL Name: [^\n]+" names "${listing}")
set(allowed kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll ole32.dll oleaut32.dll msvcrt.dll)
set(imported)
foreach(name IN LISTS names)
  string(REGEX REPLACE "DLL Name: *" "" dll "${name}")
  string(TOLOWER "${dll}" dll)
  list(APPEND imported ${dll})
  if(NOT dll IN_LIST allowed)
    message(FATAL_ERROR "${MODULE} imports ${dll}, which is not a system DLL")
  endif()
endforeach()
message(STATUS "exports: ${exported}; imports: ${imported}")
