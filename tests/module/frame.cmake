if(TARGET novrix_module_core AND TARGET novrix_vpdc_lib)
  novrix_add_test(module_frame_tests
    SOURCES module/variant_switches_test.cpp module/attach_test.cpp module/module_services_test.cpp
            module/ranges_test.cpp module/lifecycle_test.cpp module/device_events_without_host_test.cpp
    LINK novrix_module_core novrix_vpdc_lib)
  target_compile_definitions(module_frame_tests PRIVATE
    NVX_SAMPLE_MODEL="${PROJECT_SOURCE_DIR}/model/NOVRIX_D.json")
  add_dependencies(module_frame_tests novrix_module novrix_host novrix_image_resources novrix_dialog_resources
                   novrix_sample_model)
endif()
if(TARGET module_frame_tests)
  target_include_directories(module_frame_tests PRIVATE "${CMAKE_BINARY_DIR}/generated")
  add_dependencies(module_frame_tests novrix_export_list)
endif()
# The built module loaded as a host loads it, on both platforms (the Windows
# program runs under Wine in scripts/wine-test.sh).
if(TARGET novrix_module_core)
  novrix_add_test(module_smoke_tests
    SOURCES module/module_smoke_test.cpp
    LINK novrix_module_core)
  foreach(dep novrix_module novrix_host novrix_image_resources novrix_dialog_resources novrix_sample_model)
    if(TARGET ${dep})
      add_dependencies(module_smoke_tests ${dep})
    endif()
  endforeach()
endif()
