# novrix_add_dll(<target> NAME <FILE.DLL> SOURCES <src>... [DEF <file.def>] [RC <file.rc>]
#                [LINK <lib>...] [DIR <output folder>])
#
# Builds one library of the driver folder under its Windows file name, into DIR
# (default: the driver folder).  DEF and RC paths are taken relative to the
# calling folder.
#
# Windows: a PE DLL from the sources, the .def file (exports and ordinals) and the
# .rc file (resources, compiled by windres), with its C and C++ runtimes linked in.
# Each DLL with a .def gets a CTest test "pe_exports_<target>" that compares its
# export table with the .def (cmake/check_pe_exports.cmake).
#
# Linux: an ELF shared object with the same file name, linked to the platform
# layer.  With a .def file the library exports exactly the listed names, DllMain
# and the layer's nvx_ symbols (a linker version script generated from the .def),
# and carries the generated ordinal table "nvx_ordinal_table" that GetProcAddress
# uses for lookups by ordinal and to refuse names the .def does not list.  Without
# a .def every symbol of the library is exported (as a DLL without a .def and
# without dllexport exports all its symbols).  The .rc file is compiled by windres
# into .res data and embedded as "nvx_resource_data"/"nvx_resource_size()" for
# FindResourceW and friends.
#
# novrix_add_resources(<target> RC <file.rc>)
#
# Embeds the resources of an .rc file into any target, also an executable, so
# that FindResourceW(NULL, ...) and LoadStringW(NULL, ...) find them.

find_program(NOVRIX_WINDRES NAMES x86_64-w64-mingw32-windres windres)
if(WIN32)
  enable_language(RC)
endif()

# Adds the compiled resources of `rc` to `target` (Linux: the .res data as an
# object in .rodata, with its symbols exported also from an executable).
function(_novrix_embed_resources target rc)
  get_filename_component(rc "${rc}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  get_filename_component(rc_dir "${rc}" DIRECTORY)
  # Headers and .rc files an .rc includes, and binary files it names (icons, bitmaps,
  # clips), are not in the preprocessor's dependency list: the files beside the .rc
  # count as its inputs.
  file(GLOB rc_data CONFIGURE_DEPENDS "${rc_dir}/*.h" "${rc_dir}/*.rc"
    "${rc_dir}/*.ico" "${rc_dir}/*.bmp" "${rc_dir}/*.cur" "${rc_dir}/*.avi" "${rc_dir}/*.bin" "${rc_dir}/*.manifest")
  if(WIN32)
    target_sources(${target} PRIVATE "${rc}")
    set_source_files_properties("${rc}" TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS "${rc_data}")
    target_include_directories(${target} PRIVATE "${rc_dir}" "${PROJECT_SOURCE_DIR}/src")
    set_source_files_properties("${rc}" TARGET_DIRECTORY ${target} PROPERTIES COMPILE_OPTIONS "--codepage=65001")
    return()
  endif()
  if(NOT NOVRIX_WINDRES)
    message(FATAL_ERROR "windres (binutils-mingw-w64-x86-64) is needed to compile ${rc}")
  endif()
  set(res "${CMAKE_CURRENT_BINARY_DIR}/${target}.res")
  add_custom_command(
    OUTPUT "${res}"
    COMMAND "${NOVRIX_WINDRES}" --codepage=65001 -I "${rc_dir}" -I "${PROJECT_SOURCE_DIR}/src"
            --preprocessor-arg=-MD --preprocessor-arg=-MF --preprocessor-arg=${res}.d
            --preprocessor-arg=-MT --preprocessor-arg=${res}
            -O res -i "${rc}" -o "${res}"
    DEPENDS "${rc}" ${rc_data}
    DEPFILE "${res}.d"
    WORKING_DIRECTORY "${rc_dir}"
    COMMENT "Resources of ${target}"
    VERBATIM)
  set(res_cpp "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp")
  file(WRITE "${res_cpp}.in"
    "// Generated: the compiled resources of ${target}.\n"
    "#include <cstddef>\n"
    "__asm__(\".section .rodata\\n\"\n"
    "        \".balign 16\\n\"\n"
    "        \".globl nvx_resource_data\\n\"\n"
    "        \".type nvx_resource_data, @object\\n\"\n"
    "        \"nvx_resource_data:\\n\"\n"
    "        \".incbin \\\"${res}\\\"\\n\"\n"
    "        \"nvx_resource_end:\\n\"\n"
    "        \".size nvx_resource_data, nvx_resource_end - nvx_resource_data\\n\"\n"
    "        \".previous\\n\");\n"
    "extern \"C\" const unsigned char nvx_resource_data[];\n"
    "extern \"C\" const unsigned char nvx_resource_end[];\n"
    "extern \"C\" __attribute__((visibility(\"default\"))) size_t nvx_resource_size() {\n"
    "    return static_cast<size_t>(nvx_resource_end - nvx_resource_data);\n"
    "}\n")
  configure_file("${res_cpp}.in" "${res_cpp}" COPYONLY)
  set_source_files_properties("${res_cpp}" PROPERTIES OBJECT_DEPENDS "${res}")
  target_sources(${target} PRIVATE "${res_cpp}")
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_link_options(${target} PRIVATE
      "LINKER:--export-dynamic-symbol=nvx_resource_data"
      "LINKER:--export-dynamic-symbol=nvx_resource_size")
  endif()
endfunction()

function(novrix_add_resources target)
  cmake_parse_arguments(ARG "" "RC" "" ${ARGN})
  if(NOT ARG_RC)
    message(FATAL_ERROR "novrix_add_resources(${target}): RC is required")
  endif()
  _novrix_embed_resources(${target} "${ARG_RC}")
endfunction()

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
  if(WIN32 AND ARG_DEF)
    list(APPEND sources "${ARG_DEF}")
  endif()
  if(NOT WIN32 AND ARG_DEF)
    set(gen_cpp "${CMAKE_CURRENT_BINARY_DIR}/${target}_ordinals.cpp")
    set(gen_map "${CMAKE_CURRENT_BINARY_DIR}/${target}.map")
    add_custom_command(
      OUTPUT "${gen_cpp}" "${gen_map}"
      COMMAND "${CMAKE_COMMAND}" -DDEF=${ARG_DEF} -DCPP=${gen_cpp} -DMAP=${gen_map}
              -P "${PROJECT_SOURCE_DIR}/cmake/gen_exports.cmake"
      DEPENDS "${ARG_DEF}" "${PROJECT_SOURCE_DIR}/cmake/gen_exports.cmake"
      COMMENT "Export table of ${ARG_NAME}"
      VERBATIM)
    list(APPEND sources "${gen_cpp}")
  endif()

  add_library(${target} SHARED ${sources})
  set_target_properties(${target} PROPERTIES
    PREFIX "" IMPORT_PREFIX "" OUTPUT_NAME "${stem}" SUFFIX "${ext}"
    LIBRARY_OUTPUT_DIRECTORY "${ARG_DIR}"
    RUNTIME_OUTPUT_DIRECTORY "${ARG_DIR}")
  target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}/src")
  if(ARG_RC)
    _novrix_embed_resources(${target} "${ARG_RC}")
  endif()
  if(WIN32)
    # Static C and C++ runtimes (libgcc, libstdc++, winpthread): the DLL needs
    # nothing beyond the system libraries.
    target_link_libraries(${target} PRIVATE novrix_platform ${ARG_LINK})
    # ("-Wl,-Bstatic" undoes the toolchain's trailing "-Wl,-Bdynamic", which would
    # otherwise make -static pick the DLL import libraries of libstdc++ and winpthread.)
    target_link_options(${target} PRIVATE "-static" "LINKER:-Bstatic")
    # Import libraries per target: two libraries may share a file name in different folders.
    set_target_properties(${target} PROPERTIES ARCHIVE_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/lib/${target}")
    if(ARG_DEF)
      # CTest checks the built export table against the .def (names and ordinals).
      add_test(NAME pe_exports_${target}
        COMMAND "${CMAKE_COMMAND}" -DDLL=$<TARGET_FILE:${target}> -DDEF=${ARG_DEF}
                -P "${PROJECT_SOURCE_DIR}/cmake/check_pe_exports.cmake")
    endif()
  else()
    target_link_libraries(${target} PRIVATE novrix_platform ${ARG_LINK})
    if(ARG_DEF)
      # The version script decides what is exported, so symbols keep default visibility.
      target_link_options(${target} PRIVATE "LINKER:--version-script=${gen_map}")
      set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${gen_map}")
    endif()
    target_link_options(${target} PRIVATE "LINKER:-Bsymbolic")
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      # No STB_GNU_UNIQUE symbols: they would make dlclose a no-op, so that a library
      # freed and loaded again kept its old static state instead of a fresh image.
      target_compile_options(${target} PRIVATE -fno-gnu-unique)
    endif()
  endif()
endfunction()
