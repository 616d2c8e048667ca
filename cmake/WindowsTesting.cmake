# Tests of the Windows cross builds: GoogleTest built from Debian's sources
# (there is no mingw build of it), and every test program run under wine.

include(${CMAKE_CURRENT_LIST_DIR}/DebianGoogleTest.cmake)
include(GoogleTest)

# 32-bit wine needs a kernel that runs 32-bit programs; some machines have
# that turned off (ia32_emulation=off). There the programs are still built,
# but the tests that run them are disabled, and ctest lists them as not run;
# the linux32 preset runs the 32-bit code's tests there instead.
# DROVANEL_ASSUME_NO_IA32=1 in the environment treats this machine as one
# of those.
if(DROVANEL_WINEARCH STREQUAL "win32" AND "$ENV{DROVANEL_ASSUME_NO_IA32}" STREQUAL "1")
  set(_drovanel_wine_rc "DROVANEL_ASSUME_NO_IA32=1")
else()
  execute_process(COMMAND ${DROVANEL_WINE} --version RESULT_VARIABLE _drovanel_wine_rc OUTPUT_QUIET ERROR_QUIET)
endif()
if(_drovanel_wine_rc EQUAL 0)
  set(DROVANEL_WINE_RUNS ON)
else()
  set(DROVANEL_WINE_RUNS OFF)
  message(WARNING "${DROVANEL_WINE} cannot run on this machine (${_drovanel_wine_rc}): "
                  "the tests that run built programs under wine are disabled.")
endif()
unset(_drovanel_wine_rc)

# One wineserver for the whole run: a setup fixture starts it persistent
# (creating the prefix on the first run) and a cleanup fixture stops it.
# Without it each program pays for a server start, and a server left behind
# by a test can hold ctest's output pipe open.
set(_drovanel_wine_env
    "WINEPREFIX=${DROVANEL_WINEPREFIX}" "WINEARCH=${DROVANEL_WINEARCH}" "WINEDEBUG=-all"
    "WINEDLLOVERRIDES=winemenubuilder.exe,mscoree,mshtml=d"
    "DROVANEL_WINE=${DROVANEL_WINE}" "DROVANEL_WINESERVER=${DROVANEL_WINESERVER}")
add_test(NAME wine_start COMMAND env ${_drovanel_wine_env} sh ${CMAKE_CURRENT_LIST_DIR}/wine_session.sh start)
add_test(NAME wine_stop COMMAND env ${_drovanel_wine_env} sh ${CMAKE_CURRENT_LIST_DIR}/wine_session.sh stop)
set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)
if(NOT DROVANEL_WINE_RUNS)
  set_tests_properties(wine_start wine_stop PROPERTIES DISABLED TRUE)
endif()
unset(_drovanel_wine_env)

# drovanel_add_wine_test(name target [args...]): runs a built program under
# wine, inside the wine fixture.
function(drovanel_add_wine_test name target)
  add_test(NAME ${name} COMMAND ${target} ${ARGN})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600)
  if(NOT DROVANEL_WINE_RUNS)
    set_tests_properties(${name} PROPERTIES DISABLED TRUE)
  endif()
endfunction()

# Under wine every process start is costly, and listing a program's cases
# means one more start per program. So each test program runs whole, as one
# ctest test, in place of GoogleTest's per-case discovery that
# drovanel_add_test() asks for. Left out: the host's own test program,
# whose loader cases are the Linux loader's, and the Linux backend's.
set(DROVANEL_WINDOWS_SKIPPED_TESTS hostsim_test hidraw_backend_test)
function(gtest_discover_tests target)
  cmake_parse_arguments(D "" "DISCOVERY_TIMEOUT;DISCOVERY_MODE;TEST_PREFIX;TEST_SUFFIX;WORKING_DIRECTORY"
                        "EXTRA_ARGS;PROPERTIES;TEST_LIST" ${ARGN})
  if(target IN_LIST DROVANEL_WINDOWS_SKIPPED_TESTS)
    return()
  endif()
  drovanel_add_wine_test(${target} ${target} ${D_EXTRA_ARGS})
  if(D_PROPERTIES)
    set_tests_properties(${target} PROPERTIES ${D_PROPERTIES})
  endif()
endfunction()
