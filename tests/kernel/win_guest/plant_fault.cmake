# Copies the win32 backend (IN) to OUT with the report-id byte dropped from
# every input report that a read returns. Fails when the line it changes is
# gone, so that the self-check cannot pass by accident.
file(READ ${IN} text)
set(line "    if (ok) return got > 0 ? static_cast<int>(got) : kReadFailed;")
string(FIND "${text}" "${line}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "plant_fault: the read's return line is gone from ${IN}")
endif()
string(REPLACE "${line}"
  "    if (ok && got > 1) {\n        for (DWORD i = 1; i < got; ++i) buffer[i - 1] = buffer[i];\n        return static_cast<int>(got - 1);\n    }\n${line}"
  text "${text}")
file(WRITE ${OUT} "${text}")
