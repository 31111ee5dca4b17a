# The feature catalogue: option records, the 251 features, the model switches, the
# model record and the lists the package fills, against the sample model's source;
# every feature and option against their reference rows (data/catalogue_rows.tsv).
if(TARGET novrix_module_core AND TARGET novrix_vpdc_lib)
  novrix_add_test(module_catalogue_tests
    SOURCES
      module/catalogue_records_test.cpp
      module/catalogue_switches_test.cpp
      module/catalogue_lists_test.cpp
      module/catalogue_model_test.cpp
      module/catalogue_attach_test.cpp
      module/catalogue_reference_test.cpp
    LINK novrix_module_core novrix_vpdc_lib)
  target_compile_definitions(module_catalogue_tests PRIVATE
    NVX_SAMPLE_MODEL="${PROJECT_SOURCE_DIR}/model/NOVRIX_D.json"
    NVX_REFERENCE_DATA="${CMAKE_CURRENT_LIST_DIR}/data")
  add_dependencies(module_catalogue_tests novrix_module novrix_sample_model)
endif()
