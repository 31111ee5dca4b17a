# The settings text: syntax, encodings, files, and the sections it carries.
if(TARGET novrix_module_core)
  novrix_add_test(module_presets_tests
    SOURCES
      module/settings_text_test.cpp
      module/settings_exchange_test.cpp
    LINK novrix_module_core)
endif()
