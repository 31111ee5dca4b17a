# The settings record and the device-option record; every row of the record's
# layout against its reference rows (data/oemdev_rows.tsv).
if(TARGET novrix_module_core)
  novrix_add_test(module_settings_tests
    SOURCES
      module/settings_fields_test.cpp
      module/settings_keys_test.cpp
      module/settings_record_test.cpp
      module/settings_defaults_test.cpp
      module/settings_devoption_test.cpp
      module/settings_reference_test.cpp
    LINK novrix_module_core)
  target_compile_definitions(module_settings_tests PRIVATE
    NVX_REFERENCE_DATA="${CMAKE_CURRENT_LIST_DIR}/data")
  add_dependencies(module_settings_tests novrix_module novrix_host novrix_image_resources novrix_dialog_resources)
endif()
