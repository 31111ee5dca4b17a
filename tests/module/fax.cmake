# The fax cover sheet record, its stores, the image file check and the cover-sheet
# check library, on the platform layer.
if(TARGET novrix_module_core)
  novrix_add_test(module_fax_tests
    SOURCES
      module/cover_sheet_test.cpp
    LINK novrix_module_core)
  target_compile_definitions(module_fax_tests PRIVATE NVX_DRIVER_DIR="${NOVRIX_DRIVER_DIR}")
  add_dependencies(module_fax_tests novrix_fcscheck novrix_host)
endif()
