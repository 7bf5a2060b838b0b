# What every shipped Windows program (varnelo.exe, varnelo.com) is built with.
#
# Reproducible: the same bytes from any folder at any time. No source or
# build folder in the code (__FILE__), no symbols (-s), and no link time in
# the PE header (--no-insert-timestamp: TimeDateStamp 0, so a fixed CheckSum).
# A guard below the return address of each function with an array or an
# address-taken local; the guard and its check are the program's own
# (app/win32/stack_guard.cpp), not libssp's.
set(VARNELO_SHIPPED_COMPILE_OPTIONS -ffunction-sections -fdata-sections -fstack-protector-strong
    -ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=.)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(VARNELO_NT_MINOR 2)
else()
  set(VARNELO_NT_MINOR 1)
endif()

# The link of a shipped program `target`, checked by scripts/check-exe.sh.
# -municode: a wide-character entry point (wWinMain, wmain). Subsystem 5.01
# (32-bit) or 5.02 (x64: XP x64 and Server 2003 are NT 5.2) so the oldest
# Windows of each accepts it.
# Hardening, stated rather than left to the linker's defaults: ASLR
# (--dynamicbase, which also keeps the relocations it needs), DEP
# (--nxcompat), terminal-server aware; on x86-64 ASLR over the whole address
# space (--high-entropy-va); on i686 "no SEH handlers" (--no-seh): the
# program unwinds with DWARF tables and installs no SEH frame, so Windows
# refuses any exception handler that claims to be in it.
function(varnelo_shipped_program target)
  target_compile_options(${target} PRIVATE ${VARNELO_SHIPPED_COMPILE_OPTIONS})
  target_link_options(${target} PRIVATE -municode -s -Wl,--gc-sections -Wl,--no-insert-timestamp
    -Wl,--major-subsystem-version,5,--minor-subsystem-version,${VARNELO_NT_MINOR}
    -Wl,--major-os-version,5,--minor-os-version,${VARNELO_NT_MINOR}
    -Wl,--dynamicbase,--nxcompat,--tsaware)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    target_link_options(${target} PRIVATE -Wl,--high-entropy-va)
  else()
    target_link_options(${target} PRIVATE -Wl,--no-seh)
  endif()
endfunction()
