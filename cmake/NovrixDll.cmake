# novrix_add_dll(<target> NAME <FILE.DLL> SOURCES <src>... [DEF <file.def>] [RC <file.rc>]
#                [LINK <lib>...] [DIR <output folder>])
#
# Builds one library of the driver folder under its Windows file name.
#
# Windows: a PE DLL from the sources, the .def file (exports and ordinals) and the
# .rc file (resources).
#
# Linux: an ELF shared object with the same file name, linked to the platform
# layer.  The .def file gives (1) a linker version script so that only the listed
# names, DllMain and the layer's nvx_ symbols are exported, and (2) a generated
# ordinal table "nvx_ordinal_table" that GetProcAddress uses for lookups by ordinal.
# The .rc file is compiled by windres into .res data, which is embedded as
# "nvx_resource_data"/"nvx_resource_size" for FindResourceW and friends.

find_program(NOVRIX_WINDRES NAMES x86_64-w64-mingw32-windres windres)

function(novrix_add_dll target)
  cmake_parse_arguments(ARG "" "NAME;DEF;RC;DIR" "SOURCES;LINK" ${ARGN})
  if(NOT ARG_NAME)
    message(FATAL_ERROR "novrix_add_dll(${target}): NAME is required")
  endif()
  if(NOT ARG_DIR)
    set(ARG_DIR "${NOVRIX_DRIVER_DIR}")
  endif()
  foreach(file DEF RC)
    if(ARG_${file})
      get_filename_component(ARG_${file} "${ARG_${file}}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    endif()
  endforeach()
  get_filename_component(stem "${ARG_NAME}" NAME_WE)
  get_filename_component(ext "${ARG_NAME}" EXT)

  set(sources ${ARG_SOURCES})
  if(WIN32)
    if(ARG_DEF)
      list(APPEND sources "${ARG_DEF}")
    endif()
    if(ARG_RC)
      list(APPEND sources "${ARG_RC}")
    endif()
  else()
    if(ARG_DEF)
      set(gen_cpp "${CMAKE_CURRENT_BINARY_DIR}/${target}_ordinals.cpp")
      set(gen_map "${CMAKE_CURRENT_BINARY_DIR}/${target}.map")
      add_custom_command(
        OUTPUT "${gen_cpp}" "${gen_map}"
        COMMAND "${CMAKE_COMMAND}" -DDEF=${ARG_DEF} -DCPP=${gen_cpp} -DMAP=${gen_map}
                -P "${PROJECT_SOURCE_DIR}/cmake/gen_exports.cmake"
        DEPENDS "${ARG_DEF}" "${PROJECT_SOURCE_DIR}/cmake/gen_exports.cmake"
        COMMENT "Export table of ${ARG_NAME}")
      list(APPEND sources "${gen_cpp}")
    endif()
    if(ARG_RC)
      if(NOT NOVRIX_WINDRES)
        message(FATAL_ERROR "windres (binutils-mingw-w64-x86-64) is needed to compile ${ARG_RC}")
      endif()
      set(res "${CMAKE_CURRENT_BINARY_DIR}/${target}.res")
      get_filename_component(rc_dir "${ARG_RC}" DIRECTORY)
      add_custom_command(
        OUTPUT "${res}"
        COMMAND "${NOVRIX_WINDRES}" -c 65001 -I "${rc_dir}" -I "${PROJECT_SOURCE_DIR}/src"
                -O res -i "${ARG_RC}" -o "${res}"
        DEPENDS "${ARG_RC}"
        IMPLICIT_DEPENDS C "${ARG_RC}"
        COMMENT "Resources of ${ARG_NAME}")
      set(res_cpp "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp")
      file(WRITE "${res_cpp}.in"
        "// Generated: the compiled resources of ${ARG_NAME}.\n"
        "#include <cstddef>\n"
        "__asm__(\".section .rodata\\n\"\n"
        "        \".balign 16\\n\"\n"
        "        \".globl nvx_resource_data\\n\"\n"
        "        \".type nvx_resource_data, @object\\n\"\n"
        "        \"nvx_resource_data:\\n\"\n"
        "        \".incbin \\\"${res}\\\"\\n\"\n"
        "        \"nvx_resource_end:\\n\"\n"
        "        \".previous\\n\");\n"
        "extern \"C\" const unsigned char nvx_resource_data[];\n"
        "extern \"C\" const unsigned char nvx_resource_end[];\n"
        "extern \"C\" __attribute__((visibility(\"default\"))) size_t nvx_resource_size() {\n"
        "    return static_cast<size_t>(nvx_resource_end - nvx_resource_data);\n"
        "}\n")
      configure_file("${res_cpp}.in" "${res_cpp}" COPYONLY)
      set_source_files_properties("${res_cpp}" PROPERTIES OBJECT_DEPENDS "${res}")
      list(APPEND sources "${res_cpp}")
    endif()
  endif()

  add_library(${target} SHARED ${sources})
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME "${stem}" SUFFIX "${ext}"
    LIBRARY_OUTPUT_DIRECTORY "${ARG_DIR}"
    RUNTIME_OUTPUT_DIRECTORY "${ARG_DIR}"
    CXX_VISIBILITY_PRESET hidden
    C_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}/src")
  if(WIN32)
    target_link_libraries(${target} PRIVATE ${ARG_LINK})
  else()
    target_link_libraries(${target} PRIVATE novrix_platform ${ARG_LINK})
    if(ARG_DEF)
      target_link_options(${target} PRIVATE "-Wl,--version-script=${gen_map}")
      set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${gen_map}")
    endif()
    target_link_options(${target} PRIVATE "-Wl,-Bsymbolic")
  endif()
endfunction()
