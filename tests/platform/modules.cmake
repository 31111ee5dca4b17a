# Module loading and resources: the test libraries, built with novrix_add_dll
# into <bin>/testdlls beside the test executable, and the tests that load them.
set(NVX_TESTDLL_SRC "${CMAKE_CURRENT_LIST_DIR}/testdlls")
set(NVX_TESTDLL_DIR "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/testdlls")

novrix_add_dll(nvx_testdll_ordinals NAME TSTORD.DLL DIR "${NVX_TESTDLL_DIR}"
  SOURCES "${NVX_TESTDLL_SRC}/ordinals.cpp" DEF "${NVX_TESTDLL_SRC}/ordinals.def")
novrix_add_dll(nvx_testdll_probe NAME TSTPROBE.DLL DIR "${NVX_TESTDLL_DIR}"
  SOURCES "${NVX_TESTDLL_SRC}/probe.cpp" DEF "${NVX_TESTDLL_SRC}/probe.def")
novrix_add_dll(nvx_testdll_entry NAME TSTMAIN.DLL DIR "${NVX_TESTDLL_DIR}"
  SOURCES "${NVX_TESTDLL_SRC}/entry.cpp" DEF "${NVX_TESTDLL_SRC}/entry.def")
novrix_add_dll(nvx_testdll_nested NAME TSTNEST.DLL DIR "${NVX_TESTDLL_DIR}"
  SOURCES "${NVX_TESTDLL_SRC}/nested.cpp" DEF "${NVX_TESTDLL_SRC}/nested.def")
novrix_add_dll(nvx_testdll_resources NAME TSTRES.DLL DIR "${NVX_TESTDLL_DIR}"
  SOURCES "${NVX_TESTDLL_SRC}/resources.cpp" RC "${NVX_TESTDLL_SRC}/resources.rc")
set(NVX_TESTDLLS nvx_testdll_ordinals nvx_testdll_probe nvx_testdll_entry nvx_testdll_nested
                 nvx_testdll_resources)
foreach(dll IN LISTS NVX_TESTDLLS)
  target_include_directories(${dll} PRIVATE "${CMAKE_CURRENT_LIST_DIR}")
endforeach()
add_custom_target(nvx_testdlls DEPENDS ${NVX_TESTDLLS})

novrix_add_test(platform_module_tests SOURCES
  "${CMAKE_CURRENT_LIST_DIR}/module_load_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/module_query_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/resource_find_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/resource_string_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/resource_version_test.cpp")
target_include_directories(platform_module_tests PRIVATE "${CMAKE_CURRENT_LIST_DIR}")
novrix_add_resources(platform_module_tests RC "${NVX_TESTDLL_SRC}/executable.rc")
add_dependencies(platform_module_tests ${NVX_TESTDLLS})

if(WIN32)
  target_link_libraries(platform_module_tests PRIVATE version)  # GetFileVersionInfoW lives there
else()
  # The .res parser on its own, fed malformed data (it depends on no other part of the layer).
  novrix_add_test(platform_resource_parse_tests SOURCES
    "${CMAKE_CURRENT_LIST_DIR}/resource_parse_test.cpp"
    "${PROJECT_SOURCE_DIR}/src/platform/linux/kernel32/resource_index.cpp")
endif()
