# Turns a module-definition (.def) file into the Linux export table:
#   CPP: the ordinal table that GetProcAddress searches for lookups by ordinal;
#   MAP: a linker version script exporting exactly the listed names;
#   INC (optional): one NVX_EXPORT_ROW(ordinal, name) line per export, for hosts
#   and tests that list the table.
# Usage: cmake -DDEF=x.def -DCPP=out.cpp -DMAP=out.map [-DINC=out.inc] -P gen_exports.cmake
file(STRINGS "${DEF}" lines)
set(in_exports FALSE)
set(rows "")
set(globals "")
set(inc_rows "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE ";.*$" "" line "${line}")
  string(STRIP "${line}" line)
  if(line STREQUAL "")
    continue()
  endif()
  if(line MATCHES "^EXPORTS")
    set(in_exports TRUE)
    continue()
  endif()
  if(NOT in_exports)
    continue()
  endif()
  if(line MATCHES "^([A-Za-z_][A-Za-z0-9_]*)[ \t]+@([0-9]+)")
    set(name "${CMAKE_MATCH_1}")
    set(ordinal "${CMAKE_MATCH_2}")
    string(APPEND rows "    {${ordinal}, \"${name}\"},\n")
    string(APPEND globals "    ${name};\n")
    string(APPEND inc_rows "NVX_EXPORT_ROW(${ordinal}, ${name})\n")
  elseif(line MATCHES "^([A-Za-z_][A-Za-z0-9_]*)$")
    string(APPEND globals "    ${CMAKE_MATCH_1};\n")
  else()
    message(FATAL_ERROR "${DEF}: cannot read export line '${line}'")
  endif()
endforeach()
file(WRITE "${CPP}.tmp"
  "// Generated from ${DEF}: ordinal -> exported name.\n"
  "struct NvxOrdinalEntry { unsigned short ordinal; const char* name; };\n"
  "extern \"C\" __attribute__((visibility(\"default\"))) const NvxOrdinalEntry nvx_ordinal_table[] = {\n"
  "${rows}"
  "    {0, nullptr},\n"
  "};\n")
file(WRITE "${MAP}.tmp"
  "{\n  global:\n    DllMain;\n    nvx_*;\n${globals}  local: *;\n};\n")
execute_process(COMMAND "${CMAKE_COMMAND}" -E copy_if_different "${CPP}.tmp" "${CPP}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E copy_if_different "${MAP}.tmp" "${MAP}")
if(INC)
  file(WRITE "${INC}.tmp" "// Generated from ${DEF}.\n${inc_rows}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E copy_if_different "${INC}.tmp" "${INC}")
endif()
