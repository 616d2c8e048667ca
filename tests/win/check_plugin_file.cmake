cmake_minimum_required(VERSION 3.20)
# Checks a built win.xpl as the simulator will see it: the right machine,
# exactly the five entry points exported, and imports from nothing but
# Windows' own DLLs and the simulator's two SDK DLLs (a runtime DLL of the
# compiler's would make the simulator refuse the file).
# -DOBJDUMP=... -DPLUGIN=... -DSDK_SUFFIX=_64|"" -DBITS=8|4

execute_process(COMMAND ${OBJDUMP} -p ${PLUGIN} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump -p ${PLUGIN} failed")
endif()
set(failures "")

if(BITS EQUAL 8)
  set(format "pei-x86-64")
else()
  set(format "pei-i386")
endif()
if(NOT dump MATCHES "file format ${format}")
  string(APPEND failures "not a ${format} file\n")
endif()

# Exports: the lines of the name table after "[Ordinal/Name Pointer] Table".
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[ 0-9]+\\] [^\n]+\n)*)" unused "${dump}")
# (The "[ n]" prefixes go first: brackets confuse CMake's list splitting.)
string(REGEX REPLACE "[ \t]+\\[[ 0-9]+\\] ([^\n]+)\n" "\\1;" exports "${CMAKE_MATCH_1}")
list(FILTER exports EXCLUDE REGEX "^$")
include(${CMAKE_CURRENT_LIST_DIR}/../plugin_exports.cmake)

# Imports.
string(REGEX MATCHALL "DLL Name: [^\n]+" dlls "${dump}")
set(allowed KERNEL32.dll msvcrt.dll USER32.dll hid.dll SETUPAPI.dll ADVAPI32.dll
    XPLM${SDK_SUFFIX}.dll XPWidgets${SDK_SUFFIX}.dll)
string(TOLOWER "${allowed}" allowed)
set(imports "")
foreach(line ${dlls})
  string(SUBSTRING "${line}" 10 -1 dll)
  string(STRIP "${dll}" dll)
  list(APPEND imports ${dll})
  string(TOLOWER "${dll}" lower)
  if(NOT lower IN_LIST allowed)
    string(APPEND failures "imports ${dll}\n")
  endif()
endforeach()
foreach(needed XPLM${SDK_SUFFIX}.dll XPWidgets${SDK_SUFFIX}.dll)
  if(NOT needed IN_LIST imports)
    string(APPEND failures "does not import ${needed}\n")
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "${PLUGIN}:\n${failures}")
endif()
message(STATUS "${PLUGIN}: ${format}; exports ${exports}; imports ${imports}")
