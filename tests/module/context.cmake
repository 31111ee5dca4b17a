# The printer UI context and the stores, against host-built sheets and the platform layer.
if(TARGET novrix_module_core AND TARGET novrix_hostsupport)
  novrix_add_test(module_context_tests
    SOURCES
      module/context_accessors_test.cpp
      module/context_edges_test.cpp
      module/stores_key_test.cpp
      module/stores_values_test.cpp
      module/stores_lists_test.cpp
      module/watermark_record_test.cpp
      module/watermark_stores_test.cpp
      module/form_files_test.cpp
      module/header_footer_test.cpp
      module/watermark_fit_test.cpp
      module/copy_protect_test.cpp
      support/sheet_builder.cpp
    LINK novrix_module_core novrix_hostsupport)
  if(NOT WIN32)
    # The fit check's real text metrics are checked against FreeType called directly.
    find_package(Freetype REQUIRED)
    target_link_libraries(module_context_tests PRIVATE Freetype::Freetype)
  endif()
  # The watermark exports are called through the built module.
  foreach(dep novrix_module novrix_host novrix_image_resources novrix_dialog_resources novrix_sample_model)
    if(TARGET ${dep})
      add_dependencies(module_context_tests ${dep})
    endif()
  endforeach()
endif()
