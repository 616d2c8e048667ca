cmake_minimum_required(VERSION 3.20)
# Checks a built lin.xpl as the simulator will see it: exactly the five entry
# points exported, and every simulator function it leaves for the host to
# resolve listed in the Windows .def files, so that one list of SDK calls
# holds on every platform (a call missing from the .def files would only show
# when the Windows build links).
# -DNM=... -DPLUGIN=... -DDEFS=a.def;b.def

execute_process(COMMAND ${NM} -D --defined-only ${PLUGIN} OUTPUT_VARIABLE defined RESULT_VARIABLE rc1)
execute_process(COMMAND ${NM} -D --undefined-only ${PLUGIN} OUTPUT_VARIABLE undefined RESULT_VARIABLE rc2)
if(NOT rc1 EQUAL 0 OR NOT rc2 EQUAL 0)
  message(FATAL_ERROR "nm -D ${PLUGIN} failed")
endif()
set(failures "")

string(REGEX MATCHALL " [A-Za-z] [^ \n]+\n" lines "${defined}")
set(exports "")
foreach(line ${lines})
  string(REGEX REPLACE "^ [A-Za-z] ([^ \n]+)\n$" "\\1" name "${line}")
  list(APPEND exports ${name})
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/plugin_exports.cmake)

string(REGEX MATCHALL " U XP[^ \n]*" lines "${undefined}")
set(imports "")
foreach(line ${lines})
  string(SUBSTRING "${line}" 3 -1 name)
  list(APPEND imports ${name})
endforeach()
list(SORT imports)
set(listed "")
foreach(def ${DEFS})
  file(STRINGS ${def} names REGEX "^[ \t]+XP")
  foreach(name ${names})
    string(STRIP "${name}" name)
    list(APPEND listed ${name})
  endforeach()
endforeach()
set(extra ${imports})
if(listed)
  list(REMOVE_ITEM extra ${listed})
endif()
if(extra)
  string(APPEND failures "SDK imports not listed in the .def files: '${extra}'\n")
endif()

if(failures)
  message(FATAL_ERROR "${PLUGIN}:\n${failures}")
endif()
list(LENGTH imports count)
message(STATUS "${PLUGIN}: exports ${exports}; ${count} SDK imports, each listed in the .def files: ${imports}")
