# The UI item table: the definition rows, the table built for the sample model, the
# option-list and field bindings and the lookups; every definition row against its
# reference rows (data/uiitem_rows.tsv).
if(TARGET novrix_module_core AND TARGET novrix_vpdc_lib)
  novrix_add_test(module_uiitems_tests
    SOURCES
      module/uiitems_defs_test.cpp
      module/uiitems_build_test.cpp
      module/uiitems_reference_test.cpp
      module/uiitems_alloc_test.cpp
    LINK novrix_module_core novrix_vpdc_lib)
  target_compile_definitions(module_uiitems_tests PRIVATE
    NVX_SAMPLE_MODEL="${PROJECT_SOURCE_DIR}/model/NOVRIX_D.json"
    NVX_REFERENCE_DATA="${CMAKE_CURRENT_LIST_DIR}/data")
endif()
