# The control text tables and the build steps that fill the model's texts and
# settings, against packages built by vpdc's writer and the sample model.
if(TARGET novrix_model_package AND TARGET novrix_vpdc_lib)
  # The tables need only the package reader: their test builds them from source.
  novrix_add_test(module_texts_tests
    SOURCES module/text_tables_test.cpp module/model_steps_test.cpp
            ${PROJECT_SOURCE_DIR}/src/model/model_settings.cpp
            ${PROJECT_SOURCE_DIR}/src/model/text_tables.cpp
            ${PROJECT_SOURCE_DIR}/src/model/text_tables_data.cpp
    LINK novrix_model_package novrix_vpdc_lib)
endif()
# The same texts and settings built by the attach sequence from the sample model.
if(TARGET novrix_module_core AND TARGET novrix_vpdc_lib)
  novrix_add_test(module_texts_attach_tests
    SOURCES module/texts_attach_test.cpp
    LINK novrix_module_core)
  add_dependencies(module_texts_attach_tests novrix_module novrix_host novrix_image_resources
                   novrix_dialog_resources novrix_sample_model)
endif()
