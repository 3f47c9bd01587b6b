# Cross build for 64-bit Windows with MinGW-w64. It also runs the Win32 tests on machines that cannot
# execute 32-bit programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Debian's 64-bit loader is not on the PATH; plain "wine" prefers the 32-bit one.
find_program(PANEPROBE_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(PANEPROBE_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PANEPROBE_WINE64})
endif()
