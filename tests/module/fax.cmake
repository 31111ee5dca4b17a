# The fax cover sheet record, its stores and the image file check, on the platform layer.
if(TARGET novrix_module_core)
  novrix_add_test(module_fax_tests
    SOURCES
      module/cover_sheet_test.cpp
    LINK novrix_module_core)
endif()
