# The device information cache: its stored form and the per-user store.
if(TARGET novrix_module_core AND TARGET novrix_hostsupport)
  novrix_add_test(device_info_tests
    SOURCES
      module/device_info_format_test.cpp
      module/device_info_cache_test.cpp
      support/sheet_builder.cpp
    LINK novrix_module_core novrix_hostsupport)
  add_dependencies(device_info_tests novrix_module novrix_host)
endif()

# The device events through the module's exports, against the stand-in components.
if(TARGET novrix_module_core AND TARGET novrix_oapi)
  novrix_add_test(device_acquisition_tests
    SOURCES module/acquisition_test.cpp
    LINK novrix_module_core)
  add_dependencies(device_acquisition_tests novrix_module novrix_host novrix_oapi novrix_image_resources
                   novrix_dialog_resources novrix_sample_model)
endif()

# The simulated device on the network (Linux: the transport is cpp-httplib).
if(TARGET novrix_module_core AND TARGET novrix_device_server)
  novrix_add_test(device_simulator_tests
    SOURCES module/device_simulator_test.cpp module/device_option_tab_test.cpp support/sheet_builder.cpp
    LINK novrix_module_core novrix_device_server novrix_hostsupport)
  add_dependencies(device_simulator_tests novrix_module novrix_host novrix_oapi novrix_image_resources
                   novrix_dialog_resources novrix_sample_model)
endif()
