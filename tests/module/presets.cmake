# The settings text: syntax, encodings, files, and the sections it carries.  The
# sample model is read from its JSON sources, which the cross build cannot (as for
# the other tests that use novrix_vpdc_lib).
if(TARGET novrix_module_core AND TARGET novrix_vpdc_lib)
  novrix_add_test(module_presets_tests
    SOURCES
      module/settings_text_test.cpp
      module/settings_exchange_test.cpp
      module/settings_sample_test.cpp
    LINK novrix_module_core)
  target_compile_definitions(module_presets_tests PRIVATE NVX_SAMPLE_MODEL="${PROJECT_SOURCE_DIR}/model/NOVRIX_D.json")
  find_package(nlohmann_json 3 REQUIRED)
  target_link_libraries(module_presets_tests PRIVATE nlohmann_json::nlohmann_json)
endif()

# The preset stores, the display order, building a sheet's list and applying presets.
if(TARGET novrix_module_core AND TARGET novrix_hostsupport)
  # Installing factory presets needs the platform's administrator switch (Linux only).
  set(preset_store_sources module/preset_store_test.cpp module/custom_tab_file_test.cpp)
  if(NOT WIN32)
    list(APPEND preset_store_sources module/factory_presets_test.cpp module/setup_transfer_test.cpp)
  endif()
  novrix_add_test(module_preset_store_tests
    SOURCES
      ${preset_store_sources}
      support/sheet_builder.cpp
      support/driver_folder.cpp
    LINK novrix_module_core novrix_hostsupport)
  # The factory presets are installed through the built module and its sample model.
  foreach(dep novrix_module novrix_host novrix_image_resources novrix_dialog_resources novrix_sample_model)
    if(TARGET ${dep})
      add_dependencies(module_preset_store_tests ${dep})
    endif()
  endforeach()
endif()
