# The test command builds four presets from scratch in every clean clone
# (CI's among them): with ccache, a clone builds from the objects an earlier
# clone on this machine compiled. Paths under the source folder are hashed
# relative to it and the working folder is left out of the hash, so two
# clones at different paths share their objects; anything that differs
# (a definition holding an absolute path, a changed header) still misses.
find_program(QUILLET_CCACHE ccache)
if(QUILLET_CCACHE AND NOT DEFINED CMAKE_CXX_COMPILER_LAUNCHER)
  set(launcher ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${PROJECT_SOURCE_DIR} CCACHE_NOHASHDIR=1 ${QUILLET_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${launcher})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${launcher})
endif()
