# The shipped code never includes the stand-in host: only the tests beside
# it (*_test.cpp) may. Run with -DSOURCE_DIR=<project root>.
file(GLOB_RECURSE sources ${SOURCE_DIR}/plugin/*.cpp ${SOURCE_DIR}/plugin/*.h
     ${SOURCE_DIR}/panels/*.cpp ${SOURCE_DIR}/panels/*.h)
set(failures "")
foreach(source ${sources})
  if(source MATCHES "_test\\.cpp$")
    continue()
  endif()
  file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]hostsim/")
  if(includes)
    file(RELATIVE_PATH name ${SOURCE_DIR} ${source})
    string(APPEND failures "${name}: ${includes}\n")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "the product includes the stand-in host:\n${failures}")
endif()
