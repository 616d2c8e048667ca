# Tests of the i686 Linux build (preset linux32): the 32-bit code run on any
# x86_64 machine. Where the kernel runs 32-bit programs they run directly;
# where it does not (a kernel built without ia32 emulation or booted with
# ia32_emulation=off, where 32-bit wine cannot start either), under qemu's
# user-mode emulator, which needs no help from the kernel.
#
# DROVANEL_ASSUME_NO_IA32=1 in the environment of the configure step takes
# the emulator on a machine whose kernel could run them, to try the other
# kind of machine.

# GoogleTest built from Debian's sources: Debian ships only 64-bit libraries.
include(${CMAKE_CURRENT_LIST_DIR}/DebianGoogleTest.cmake)

# Can the kernel run a 32-bit program? A static one needs nothing else from
# the machine, so its failing to start means the kernel.
function(_drovanel_kernel_runs_i686 out)
  set(dir ${CMAKE_BINARY_DIR}/ia32_probe)
  file(WRITE ${dir}/probe.c "int main(void) { return 0; }\n")
  execute_process(COMMAND ${CMAKE_C_COMPILER} -m32 -static -o ${dir}/probe ${dir}/probe.c
                  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "linux32: cannot build a static 32-bit program (g++-multilib missing?):\n${err}")
  endif()
  execute_process(COMMAND ${dir}/probe RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  if(rc STREQUAL "0")
    set(${out} ON PARENT_SCOPE)
  else()
    set(${out} OFF PARENT_SCOPE)
  endif()
endfunction()

_drovanel_kernel_runs_i686(DROVANEL_KERNEL_RUNS_I686)
if(DROVANEL_KERNEL_RUNS_I686 AND NOT "$ENV{DROVANEL_ASSUME_NO_IA32}" STREQUAL "1")
  set(CMAKE_CROSSCOMPILING_EMULATOR "")
  message(STATUS "linux32: the kernel runs 32-bit programs; the tests run directly")
else()
  find_program(DROVANEL_QEMU_I386 qemu-i386-static NO_CACHE)
  if(NOT DROVANEL_QEMU_I386)
    message(FATAL_ERROR "linux32: the kernel runs no 32-bit programs here and qemu-i386-static "
                        "is missing (package qemu-user-static)")
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DROVANEL_QEMU_I386})
  if(DROVANEL_KERNEL_RUNS_I686)
    message(STATUS "linux32: DROVANEL_ASSUME_NO_IA32=1; the tests run under ${DROVANEL_QEMU_I386}")
  else()
    message(STATUS "linux32: the kernel runs no 32-bit programs; the tests run under ${DROVANEL_QEMU_I386}")
  endif()
endif()

# Each test program runs whole, as one ctest test, in place of GoogleTest's
# per-case discovery that drovanel_add_test() asks for: under the emulator
# every process start is costly. Left out: the cases of drovanel-sim's
# command line, which start the 32-bit program through /bin/sh, where no
# emulator steps in (the default scenario runs the program itself).
function(gtest_discover_tests target)
  cmake_parse_arguments(D "" "DISCOVERY_TIMEOUT;DISCOVERY_MODE;TEST_PREFIX;TEST_SUFFIX;WORKING_DIRECTORY"
                        "EXTRA_ARGS;PROPERTIES;TEST_LIST" ${ARGN})
  set(args ${D_EXTRA_ARGS})
  if(target STREQUAL "drovanel_sim_test")
    list(APPEND args --gtest_filter=-SimProgram.*)
  endif()
  add_test(NAME ${target} COMMAND ${target} ${args})
  set_tests_properties(${target} PROPERTIES TIMEOUT 600)
  if(D_PROPERTIES)
    set_tests_properties(${target} PROPERTIES ${D_PROPERTIES})
  endif()
endfunction()
