# The sample model's rule set against the sample model's UI item table and texts,
# and run by the constraint engine.
if(TARGET novrix_module_core AND TARGET novrix_vpdc_lib)
  novrix_add_test(module_sample_rules_tests
    SOURCES module/sample_rules_test.cpp
    LINK novrix_module_core novrix_vpdc_lib)
  target_compile_definitions(module_sample_rules_tests PRIVATE
    NVX_SAMPLE_MODEL="${PROJECT_SOURCE_DIR}/model/NOVRIX_D.json"
    NVX_SAMPLE_RULES="${PROJECT_SOURCE_DIR}/model/NOVRIX_C.rules")
  add_dependencies(module_sample_rules_tests novrix_module novrix_sample_model)
endif()
if(TARGET novrix_module_core AND TARGET novrix_vpdc_lib AND TARGET novrix_hostsupport)
  novrix_add_test(module_sample_rules_engine_tests
    SOURCES module/sample_rules_engine_test.cpp
    LINK novrix_module_core novrix_vpdc_lib novrix_hostsupport)
  target_compile_definitions(module_sample_rules_engine_tests PRIVATE
    NVX_SAMPLE_MODEL="${PROJECT_SOURCE_DIR}/model/NOVRIX_D.json")
  add_dependencies(module_sample_rules_engine_tests novrix_sample_model)
endif()
