# quillet_platform: files, code page, clock (and, with the window
# framework, the user interface) for the platform being built.
if(WIN32)
  file(GLOB QUILLET_PLATFORM_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/win32/*.cpp)
else()
  file(GLOB QUILLET_PLATFORM_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/posix/*.cpp)
endif()
file(GLOB QUILLET_PORTABLE_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/portable/*.cpp)
quillet_add_library(quillet_platform
  SOURCES ${QUILLET_PLATFORM_SOURCES} ${QUILLET_PORTABLE_SOURCES}
  LIBS quillet_runtime)
if(WIN32)
  # The window framework's system libraries (kernel32 comes by default).
  target_link_libraries(quillet_platform PUBLIC user32 gdi32 comctl32 comdlg32)
endif()
