# Turns a module-definition (.def) file into the Linux export table:
#   CPP: the ordinal table that GetProcAddress searches for lookups by ordinal;
#   MAP: a linker version script exporting exactly the listed names (and DllMain
#        and the layer's nvx_ symbols);
#   INC (optional): one NVX_EXPORT_ROW(ordinal, name) line per export with an
#        ordinal, for hosts and tests that list the table.
# Usage: cmake -DDEF=x.def -DCPP=out.cpp -DMAP=out.map [-DINC=out.inc] -P gen_exports.cmake
#
# Included (without DEF set) it only defines nvx_parse_def(), which
# check_pe_exports.cmake uses to read the same files the same way.
#
# Export lines read: "name", "name @ordinal", each optionally followed by NONAME,
# PRIVATE or DATA.  Comments start with ';'.  Internal-name aliases
# ("name=internal") are refused: the Linux build cannot rename a symbol.

cmake_minimum_required(VERSION 3.25)
# nvx_parse_def(<def file> <prefix>): sets <prefix>_NAMES (every exported name, in
# file order), and for each name <prefix>_ORD_<name> (ordinal or empty) and
# <prefix>_NONAME_<name> (TRUE/FALSE).  Fails on malformed lines, duplicate
# names, duplicate ordinals and ordinals outside 1..65535.
function(nvx_parse_def def prefix)
  file(STRINGS "${def}" lines)
  set(in_exports FALSE)
  set(names "")
  set(seen_ordinals "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE ";.*$" "" line "${line}")
    string(STRIP "${line}" line)
    if(line STREQUAL "")
      continue()
    endif()
    if(line MATCHES "^EXPORTS([ \t]+(.*))?$")
      set(in_exports TRUE)
      set(line "${CMAKE_MATCH_2}")
      if(line STREQUAL "")
        continue()
      endif()
    elseif(line MATCHES "^(LIBRARY|NAME|DESCRIPTION|VERSION|HEAPSIZE|STACKSIZE|SECTIONS|IMPORTS)([ \t]|$)")
      set(in_exports FALSE)
      continue()
    endif()
    if(NOT in_exports)
      continue()
    endif()
    if(line MATCHES "=")
      message(FATAL_ERROR "${def}: '${line}': internal-name aliases are not supported")
    endif()
    if(NOT line MATCHES "^([A-Za-z_][A-Za-z0-9_]*)([ \t]+@[ \t]*([0-9]+))?(([ \t]+(NONAME|PRIVATE|DATA))*)$")
      message(FATAL_ERROR "${def}: cannot read export line '${line}'")
    endif()
    set(name "${CMAKE_MATCH_1}")
    set(ordinal "${CMAKE_MATCH_3}")
    set(options "${CMAKE_MATCH_4}")
    if(name IN_LIST names)
      message(FATAL_ERROR "${def}: '${name}' is exported twice")
    endif()
    set(noname FALSE)
    if(options MATCHES "NONAME")
      set(noname TRUE)
      if(ordinal STREQUAL "")
        message(FATAL_ERROR "${def}: '${name}' is NONAME but has no ordinal")
      endif()
    endif()
    if(NOT ordinal STREQUAL "")
      math(EXPR ordinal "${ordinal}")  # drops leading zeros
      if(ordinal LESS 1 OR ordinal GREATER 65535)
        message(FATAL_ERROR "${def}: ordinal ${ordinal} of '${name}' is outside 1..65535")
      endif()
      if(ordinal IN_LIST seen_ordinals)
        message(FATAL_ERROR "${def}: ordinal ${ordinal} is given twice")
      endif()
      list(APPEND seen_ordinals ${ordinal})
    endif()
    list(APPEND names "${name}")
    set(${prefix}_ORD_${name} "${ordinal}" PARENT_SCOPE)
    set(${prefix}_NONAME_${name} ${noname} PARENT_SCOPE)
  endforeach()
  set(${prefix}_NAMES "${names}" PARENT_SCOPE)
endfunction()

if(NOT DEF OR NOT CPP OR NOT MAP)
  return()
endif()

nvx_parse_def("${DEF}" def)
set(rows "")
set(globals "")
set(inc_rows "")
foreach(name IN LISTS def_NAMES)
  string(APPEND globals "    ${name};\n")
  set(ordinal "${def_ORD_${name}}")
  set(flags 0)
  if(def_NONAME_${name})
    set(flags 1)
  endif()
  if(ordinal STREQUAL "")
    string(APPEND rows "    {0, 0, \"${name}\"},\n")  # by name only
  else()
    string(APPEND rows "    {${ordinal}, ${flags}, \"${name}\"},\n")
    string(APPEND inc_rows "NVX_EXPORT_ROW(${ordinal}, ${name})\n")
  endif()
endforeach()

file(WRITE "${CPP}.tmp"
  "// Generated from ${DEF}: every exported name with its ordinal (0: none;\n"
  "// flags 1: reachable by ordinal only).\n"
  "struct NvxOrdinalEntry { unsigned short ordinal; unsigned short flags; const char* name; };\n"
  "extern \"C\" __attribute__((visibility(\"default\"))) const NvxOrdinalEntry nvx_ordinal_table[] = {\n"
  "${rows}"
  "    {0, 0, nullptr},\n"
  "};\n")
file(WRITE "${MAP}.tmp"
  "{\n  global:\n    DllMain;\n    nvx_*;\n${globals}  local: *;\n};\n")
execute_process(COMMAND "${CMAKE_COMMAND}" -E copy_if_different "${CPP}.tmp" "${CPP}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E copy_if_different "${MAP}.tmp" "${MAP}")
file(REMOVE "${CPP}.tmp" "${MAP}.tmp")
if(INC)
  file(WRITE "${INC}.tmp" "// Generated from ${DEF}.\n${inc_rows}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E copy_if_different "${INC}.tmp" "${INC}")
  file(REMOVE "${INC}.tmp")
endif()
