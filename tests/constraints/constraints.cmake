# The constraint engine, custom paper arithmetic and the stop-icon table.  The
# engine's tests answer message boxes through the Linux layer's host interface.
if(NOT WIN32 AND TARGET novrix_module_core AND TARGET novrix_vpdc_lib AND TARGET novrix_hostsupport)
  novrix_add_test(constraints_tests
    SOURCES
      constraints/stop_icons_test.cpp
      constraints/custom_paper_test.cpp
      constraints/prepared_rules_test.cpp
      constraints/engine_rules_test.cpp
      constraints/engine_dialog_test.cpp
      ${PROJECT_SOURCE_DIR}/src/constraints/constraints_exports.cpp
    LINK novrix_module_core novrix_vpdc_lib novrix_hostsupport)
  target_compile_definitions(constraints_tests PRIVATE
    NVX_SAMPLE_MODEL="${PROJECT_SOURCE_DIR}/model/NOVRIX_D.json")
  add_dependencies(constraints_tests novrix_module novrix_host novrix_image_resources novrix_dialog_resources
    novrix_sample_model)
endif()
