# Included by the plug-in file checks: the file must export exactly the five
# entry points. Reads the list exports (sorted here), appends to failures.
list(SORT exports)
set(expected XPluginDisable XPluginEnable XPluginReceiveMessage XPluginStart XPluginStop)
if(NOT exports STREQUAL expected)
  string(APPEND failures "exports are '${exports}', expected '${expected}'\n")
endif()
