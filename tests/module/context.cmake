# The printer UI context and the stores, against host-built sheets and the platform layer.
if(TARGET novrix_module_core AND TARGET novrix_hostsupport)
  novrix_add_test(module_context_tests
    SOURCES
      module/context_accessors_test.cpp
      module/context_edges_test.cpp
      module/stores_key_test.cpp
      module/stores_values_test.cpp
      module/stores_lists_test.cpp
      support/sheet_builder.cpp
    LINK novrix_module_core novrix_hostsupport)
endif()
