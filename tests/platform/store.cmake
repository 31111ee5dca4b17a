# The registry and the spooler over the layer's database: conformance tests
# written against the Win32 API only.
novrix_add_test(platform_registry_tests SOURCES
  "${CMAKE_CURRENT_LIST_DIR}/registry_keys_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/registry_values_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/registry_enum_test.cpp")
novrix_add_test(platform_spool_tests SOURCES
  "${CMAKE_CURRENT_LIST_DIR}/spool_printers_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/spool_data_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/spool_forms_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/spool_devmode_test.cpp")
