# TinyXML 2.6.2, compiled from Debian's source package (with its security
# fixes) into a static, position-independent library `tinyxml`, so that the
# plug-in carries no shared TinyXML dependency. The same rules serve the
# native and the cross builds: only the sources come from the build host.
#
# DROVANEL_TINYXML_SOURCE_DIR names the extracted source folder (the one
# holding tinyxml.cpp). When it is empty or lacks the sources,
# scripts/setup-tinyxml.sh fetches them into build/_deps/tinyxml of the checkout.

set(DROVANEL_TINYXML_SOURCE_DIR "" CACHE PATH "Extracted TinyXML 2.6.2 sources (folder holding tinyxml.cpp)")

function(drovanel_locate_tinyxml out)
  if(DROVANEL_TINYXML_SOURCE_DIR AND EXISTS "${DROVANEL_TINYXML_SOURCE_DIR}/tinyxml.cpp")
    set(${out} "${DROVANEL_TINYXML_SOURCE_DIR}" PARENT_SCOPE)
    return()
  endif()
  # One copy serves every build folder of this checkout.
  set(fetch_dir "${PROJECT_SOURCE_DIR}/build/_deps/tinyxml")
  file(GLOB found LIST_DIRECTORIES true "${fetch_dir}/tinyxml-*")
  foreach(dir ${found})
    if(EXISTS "${dir}/tinyxml.cpp")
      set(${out} "${dir}" PARENT_SCOPE)
      return()
    endif()
  endforeach()

  message(STATUS "TinyXML: fetching the Debian source package into ${fetch_dir}")
  execute_process(
    COMMAND sh "${PROJECT_SOURCE_DIR}/scripts/setup-tinyxml.sh" "${fetch_dir}"
    RESULT_VARIABLE rc
    OUTPUT_VARIABLE script_out
    ERROR_VARIABLE script_err
    OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "TinyXML: scripts/setup-tinyxml.sh failed (${rc}):\n${script_err}\n"
                        "Run scripts/setup.sh, or set DROVANEL_TINYXML_SOURCE_DIR.")
  endif()
  # The script prints the source folder on its last line.
  string(REGEX REPLACE ".*\n" "" dir "${script_out}")
  if(NOT EXISTS "${dir}/tinyxml.cpp")
    message(FATAL_ERROR "TinyXML: no tinyxml.cpp in '${dir}'")
  endif()
  set(${out} "${dir}" PARENT_SCOPE)
endfunction()

drovanel_locate_tinyxml(_drovanel_tinyxml_dir)
message(STATUS "TinyXML sources: ${_drovanel_tinyxml_dir}")

# Debian's header forces TIXML_USE_STL; every user sees the same definition.
# (tinystr.cpp is empty with the STL and is left out.)
add_library(tinyxml STATIC
  ${_drovanel_tinyxml_dir}/tinyxml.cpp
  ${_drovanel_tinyxml_dir}/tinyxmlerror.cpp
  ${_drovanel_tinyxml_dir}/tinyxmlparser.cpp)
target_compile_definitions(tinyxml PUBLIC TIXML_USE_STL)
target_include_directories(tinyxml SYSTEM PUBLIC ${_drovanel_tinyxml_dir})
set_target_properties(tinyxml PROPERTIES
  POSITION_INDEPENDENT_CODE ON
  CXX_VISIBILITY_PRESET hidden
  VISIBILITY_INLINES_HIDDEN ON)
# Third-party code: its warnings are not ours to fix.
target_compile_options(tinyxml PRIVATE -w)
unset(_drovanel_tinyxml_dir)
