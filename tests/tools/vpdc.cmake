# vpdc: round trips, dumps of foreign packages, error messages and the command line.
if(TARGET novrix_vpdc_lib AND TARGET novrix_model_package)
  novrix_add_test(vpdc_tests
    SOURCES tools/vpdc_test.cpp
    LINK novrix_vpdc_lib novrix_model_package)
  target_compile_definitions(vpdc_tests PRIVATE NVX_VPDC_EXE="$<TARGET_FILE:vpdc>")
  add_dependencies(vpdc_tests vpdc)
endif()
if(TARGET novrix_vpdc_lib)
  novrix_add_test(vpdc_rules_tests SOURCES tools/vpdc_rules_test.cpp LINK novrix_vpdc_lib)
  target_compile_definitions(vpdc_rules_tests PRIVATE NVX_VPDC_EXE="$<TARGET_FILE:vpdc>")
  add_dependencies(vpdc_rules_tests vpdc)
endif()
