# The plug-in files each platform ships, and what building them needs.
#
#   Windows x86_64:  Drovanel64 -> win.xpl, win32 HID backend, 64-bit behaviour
#   Windows i686:    Drovanel   -> win.xpl, win32 HID backend, 32-bit behaviour
#   Linux:           Drovanel64 -> lin.xpl, hidraw backend
#
# Included from the top level before the folders; drovanel_define_plugins()
# calls drovanel_define_platform_plugins() once every target exists.

if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(DROVANEL_SDK_DLL_SUFFIX "_64")
    set(DROVANEL_WINDOWS_PLUGIN Drovanel64)
    set(DROVANEL_WINDOWS_CORE drovanel_core)
  else()
    set(DROVANEL_SDK_DLL_SUFFIX "")
    set(DROVANEL_WINDOWS_PLUGIN Drovanel)
    set(DROVANEL_WINDOWS_CORE drovanel_core32)
  endif()

  # Programs and DLLs side by side, so that test programs find the stand-in
  # host's XPLM DLL without a search path.
  set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

  add_library(drovanel_hid_win32 STATIC ${PROJECT_SOURCE_DIR}/panels/hid/win32_backend.cpp)
  target_include_directories(drovanel_hid_win32 PUBLIC ${PROJECT_SOURCE_DIR}/panels)
  target_link_libraries(drovanel_hid_win32 PUBLIC hid setupapi)

  # Import libraries of the simulator's SDK DLLs, made from our own .def
  # files: the plug-in links against these and nothing else of the host's.
  set(DROVANEL_SDK_IMPORT_LIBS "")
  foreach(lib XPLM XPWidgets)
    set(def ${PROJECT_SOURCE_DIR}/sdk/win/${lib}${DROVANEL_SDK_DLL_SUFFIX}.def)
    set(implib ${CMAKE_BINARY_DIR}/sdk/lib${lib}${DROVANEL_SDK_DLL_SUFFIX}.a)
    add_custom_command(OUTPUT ${implib}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/sdk
      COMMAND ${CMAKE_DLLTOOL} -d ${def} -l ${implib}
      DEPENDS ${def}
      COMMENT "Import library for ${lib}${DROVANEL_SDK_DLL_SUFFIX}.dll")
    list(APPEND DROVANEL_SDK_IMPORT_LIBS ${implib})
  endforeach()
  add_custom_target(drovanel_sdk_import_libs DEPENDS ${DROVANEL_SDK_IMPORT_LIBS})
endif()

# The stand-in host as the simulator's SDK DLLs: hostsim itself becomes
# XPLM(_64).dll, exporting the SDK and its own C++ API to the tests, and a
# DLL of forwarders takes the name XPWidgets(_64).dll, so that a real win.xpl
# loads against it unchanged.
function(_drovanel_windows_host)
  set(xplm XPLM${DROVANEL_SDK_DLL_SUFFIX})
  set(widgets XPWidgets${DROVANEL_SDK_DLL_SUFFIX})
  set_target_properties(hostsim PROPERTIES PREFIX "" OUTPUT_NAME ${xplm})
  # The SDK functions are dllexport'ed, which turns automatic export off;
  # the tests also need the host's C++ API. Nothing from the static
  # runtime is exported.
  target_link_options(hostsim PRIVATE -Wl,--export-all-symbols
    -Wl,--exclude-libs,libpthread.a:libwinpthread.a:libstdc++.a:libgcc.a:libgcc_eh.a:libssp.a)

  set(forwarders ${CMAKE_BINARY_DIR}/sdk/${widgets}-forward.def)
  file(STRINGS ${PROJECT_SOURCE_DIR}/sdk/win/${widgets}.def names REGEX "^[ \t]+XP")
  set(text "LIBRARY ${widgets}.dll\nEXPORTS\n")
  foreach(name ${names})
    string(STRIP "${name}" name)
    string(APPEND text "    ${name} = ${xplm}.${name}\n")
  endforeach()
  file(CONFIGURE OUTPUT ${forwarders} CONTENT "${text}" @ONLY)
  # The DLL has no code of its own.
  set(body ${CMAKE_BINARY_DIR}/sdk/${widgets}-forward.c)
  file(CONFIGURE OUTPUT ${body} CONTENT "/* Forwarders only: see ${widgets}-forward.def. */\n" @ONLY)
  add_library(hostsim_widgets SHARED ${body} ${forwarders})
  set_target_properties(hostsim_widgets PROPERTIES PREFIX "" OUTPUT_NAME ${widgets})
  add_dependencies(hostsim hostsim_widgets)

  # The host's own tests and its terminal program drive the Linux loader,
  # and the Linux backend needs Linux headers: none belongs in this build.
  foreach(target hostsim_test hostsim_fake_plugin hostsim_fake_plugin_nostop drovanel-sim drovanel_sim
                 drovanel_hid_hidraw hidraw_backend_test)
    if(TARGET ${target})
      set_target_properties(${target} PROPERTIES EXCLUDE_FROM_ALL ON)
    endif()
  endforeach()
endfunction()

function(drovanel_define_platform_plugins)
  if(WIN32)
    drovanel_add_plugin(${DROVANEL_WINDOWS_PLUGIN} win drovanel_hid_win32 ${DROVANEL_WINDOWS_CORE})
    target_link_libraries(${DROVANEL_WINDOWS_PLUGIN} PRIVATE ${DROVANEL_SDK_IMPORT_LIBS})
    add_dependencies(${DROVANEL_WINDOWS_PLUGIN} drovanel_sdk_import_libs)
    set_target_properties(${DROVANEL_WINDOWS_PLUGIN} PROPERTIES
      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/plugin
      LINK_DEPENDS "${DROVANEL_SDK_IMPORT_LIBS}")
    _drovanel_windows_host()
    # The virtual-panel plug-in for the tests that load a plug-in file: on
    # Windows it imports the SDK and the drovanel_vhid_* functions from the
    # stand-in host's DLL.
    drovanel_add_plugin(DrovanelVirtual DrovanelVirtual drovanel_hid_virtual drovanel_core)
    target_link_libraries(DrovanelVirtual PRIVATE hostsim)
  elseif(TARGET drovanel_hid_hidraw)
    drovanel_add_plugin(Drovanel64 lin drovanel_hid_hidraw drovanel_core)
    # plugin_exports.cpp is the target's only source of its own.
    target_compile_definitions(Drovanel64 PRIVATE DROVANEL_IDENTITY_LINUX)
    if(DROVANEL_TESTS)
      # What lin.xpl exports and leaves to the host, read from the file.
      add_test(NAME lin_plugin_file_test
        COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DPLUGIN=$<TARGET_FILE:Drovanel64>
          "-DDEFS=${PROJECT_SOURCE_DIR}/sdk/win/XPLM_64.def;${PROJECT_SOURCE_DIR}/sdk/win/XPWidgets_64.def"
          -P ${PROJECT_SOURCE_DIR}/tests/lin_plugin_file.cmake)
    endif()
  endif()
endfunction()
