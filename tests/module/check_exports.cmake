# Checks that a built module exports exactly the entry point and its _done
# companion (besides what the toolchain itself may add).
# Usage: cmake -DMODULE=<file> -DNM=<nm> -P check_exports.cmake
execute_process(COMMAND ${NM} -D --defined-only ${MODULE}
  OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${MODULE}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(exported)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^.* " "" name "${line}")
  if(NOT name MATCHES "^(_init|_fini|_edata|_end|__bss_start)$")
    list(APPEND exported ${name})
  endif()
endforeach()
list(SORT exported)
set(expected 983BEDA12B2347028D99FF042C551640 983BEDA12B2347028D99FF042C551640_done)
if(NOT exported STREQUAL expected)
  message(FATAL_ERROR "exports are '${exported}', expected '${expected}'")
endif()
message(STATUS "exports: ${exported}")
