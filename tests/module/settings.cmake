# The settings record and the device-option record.
if(TARGET novrix_module_core)
  novrix_add_test(module_settings_tests
    SOURCES
      module/settings_fields_test.cpp
      module/settings_keys_test.cpp
      module/settings_record_test.cpp
      module/settings_defaults_test.cpp
      module/settings_devoption_test.cpp
    LINK novrix_module_core)
  add_dependencies(module_settings_tests novrix_module novrix_host novrix_image_resources novrix_dialog_resources)
endif()
