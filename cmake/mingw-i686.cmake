# Cross build for 32-bit Windows with Debian's MinGW-w64.
# VARNELO_THREAD_MODEL picks the compiler flavour: "win32" (the shipped exe:
# imports stay within what Windows XP exports) or "posix" (test programs:
# GoogleTest needs std::mutex, which the win32 flavour of g++ 12 lacks).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

if(NOT VARNELO_THREAD_MODEL)
  set(VARNELO_THREAD_MODEL win32)
endif()
set(VARNELO_THREAD_MODEL ${VARNELO_THREAD_MODEL} CACHE STRING "MinGW thread model: win32 or posix")

set(CMAKE_C_COMPILER   i686-w64-mingw32-gcc-${VARNELO_THREAD_MODEL})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${VARNELO_THREAD_MODEL})
set(CMAKE_RC_COMPILER  i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
