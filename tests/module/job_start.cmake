# Job start against the simulated device on the loopback.
if(TARGET novrix_module_core AND TARGET novrix_device_server AND TARGET novrix_vpdc_lib)
  novrix_add_test(job_start_tests
    SOURCES module/job_start_test.cpp module/middle_server_test.cpp module/alt_path_test.cpp
    LINK novrix_module_core novrix_device_server novrix_vpdc_lib)
  # A host library with the alternative job-start functions, put in place of NOVRIX_D.DLL.
  novrix_add_dll(nvx_alt_host NAME NOVRIX_D.DLL DIR "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/testdlls/althost"
    SOURCES "${CMAKE_CURRENT_LIST_DIR}/althost/alt_host.cpp")
  add_dependencies(job_start_tests nvx_alt_host)
  target_compile_definitions(job_start_tests PRIVATE
    NVX_SAMPLE_MODEL="${PROJECT_SOURCE_DIR}/model/NOVRIX_D.json"
    NVX_ALT_HOST="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/testdlls/althost/NOVRIX_D.DLL")
  add_dependencies(job_start_tests novrix_module novrix_host novrix_oapi novrix_image_resources
                   novrix_dialog_resources novrix_sample_model)
endif()
