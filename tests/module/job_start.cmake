# Job start against the simulated device on the loopback.
if(TARGET novrix_module_core AND TARGET novrix_device_server AND TARGET novrix_vpdc_lib)
  novrix_add_test(job_start_tests
    SOURCES module/job_start_test.cpp module/middle_server_test.cpp
    LINK novrix_module_core novrix_device_server novrix_vpdc_lib)
  target_compile_definitions(job_start_tests PRIVATE
    NVX_SAMPLE_MODEL="${PROJECT_SOURCE_DIR}/model/NOVRIX_D.json")
  add_dependencies(job_start_tests novrix_module novrix_host novrix_oapi novrix_image_resources
                   novrix_dialog_resources novrix_sample_model)
endif()
