# Cross build for Windows with Debian's MinGW-w64.
# VARNELO_ARCH picks the target: "i686" (32-bit, the classic exe) or "x86_64".
# VARNELO_THREAD_MODEL picks the compiler flavour: "win32" (the shipped exe:
# imports stay within what Windows XP exports) or "posix" (test programs:
# GoogleTest needs std::mutex, which the win32 flavour of g++ 12 lacks).
set(CMAKE_SYSTEM_NAME Windows)

if(NOT VARNELO_ARCH)
  set(VARNELO_ARCH i686)
endif()
if(NOT VARNELO_ARCH MATCHES "^(i686|x86_64)$")
  message(FATAL_ERROR "VARNELO_ARCH must be i686 or x86_64, not '${VARNELO_ARCH}'")
endif()
set(VARNELO_ARCH ${VARNELO_ARCH} CACHE STRING "Windows target: i686 or x86_64")
if(NOT VARNELO_THREAD_MODEL)
  set(VARNELO_THREAD_MODEL win32)
endif()
set(VARNELO_THREAD_MODEL ${VARNELO_THREAD_MODEL} CACHE STRING "MinGW thread model: win32 or posix")

set(CMAKE_SYSTEM_PROCESSOR ${VARNELO_ARCH})
set(triplet ${VARNELO_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER   ${triplet}-gcc-${VARNELO_THREAD_MODEL})
set(CMAKE_CXX_COMPILER ${triplet}-g++-${VARNELO_THREAD_MODEL})
set(CMAKE_RC_COMPILER  ${triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# "wine" as found in PATH when the tests run: scripts/lib.sh puts a wine of
# the right bitness first in PATH.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
