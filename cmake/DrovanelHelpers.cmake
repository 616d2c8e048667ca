# Sources of the plug-in (plugin/ and panels/, without HID backend) are
# collected from each folder and compiled into two static libraries: one
# with the 64-bit behaviour and one with the 32-bit behaviour.

set_property(GLOBAL PROPERTY DROVANEL_CORE_SOURCES "")
set_property(GLOBAL PROPERTY DROVANEL_CORE_LIBS "")

# drovanel_add_core_sources(file...): files relative to the calling folder.
function(drovanel_add_core_sources)
  foreach(f ${ARGN})
    get_filename_component(abs ${f} ABSOLUTE)
    set_property(GLOBAL APPEND PROPERTY DROVANEL_CORE_SOURCES ${abs})
  endforeach()
endfunction()

# drovanel_link_core(lib...): libraries the core needs (tinyxml ...).
function(drovanel_link_core)
  set_property(GLOBAL APPEND PROPERTY DROVANEL_CORE_LIBS ${ARGN})
endfunction()

function(drovanel_define_core_libraries)
  get_property(srcs GLOBAL PROPERTY DROVANEL_CORE_SOURCES)
  get_property(libs GLOBAL PROPERTY DROVANEL_CORE_LIBS)
  find_package(Threads REQUIRED)
  foreach(variant drovanel_core drovanel_core32)
    add_library(${variant} STATIC ${srcs})
    target_include_directories(${variant} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/panels)
    target_link_libraries(${variant} PUBLIC drovanel_sdk Threads::Threads ${libs})
    set_target_properties(${variant} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  endforeach()
  target_compile_definitions(drovanel_core PUBLIC DROVANEL_BEHAVIOUR_32=0)
  target_compile_definitions(drovanel_core32 PUBLIC DROVANEL_BEHAVIOUR_32=1)
endfunction()

# drovanel_add_test(name LIBS lib... SOURCES file...): a GoogleTest binary
# linked with the core (64-bit behaviour unless LIBS names drovanel_core32),
# the virtual HID backend and the stand-in host.
function(drovanel_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LIBS)
    set(T_LIBS drovanel_core)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} drovanel_hid_virtual hostsim GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/panels)
  set_target_properties(${name} PROPERTIES ENABLE_EXPORTS ON)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300
                       ENVIRONMENT "DROVANEL_BUILD_DIR=${PROJECT_BINARY_DIR}")
endfunction()

# The plug-in files. DrovanelVirtual.xpl drives the host simulator's virtual
# panels; it imports the SDK and the drovanel_vhid_* functions from the
# process that loads it.
function(drovanel_add_plugin target output backend core)
  add_library(${target} MODULE ${PROJECT_SOURCE_DIR}/plugin/plugin_exports.cpp)
  target_link_libraries(${target} PRIVATE ${core} ${backend})
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${output} SUFFIX ".xpl"
                        CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  if(NOT WIN32)
    target_link_options(${target} PRIVATE
      -Wl,--version-script=${PROJECT_SOURCE_DIR}/plugin/exports.map -Wl,--exclude-libs,ALL)
  endif()
endfunction()

function(drovanel_define_plugins)
  if(NOT WIN32)
    drovanel_add_plugin(DrovanelVirtual DrovanelVirtual drovanel_hid_virtual drovanel_core)
  endif()
  if(COMMAND drovanel_define_platform_plugins)
    drovanel_define_platform_plugins()
  endif()
endfunction()
