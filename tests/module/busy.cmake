# The busy window: the module attached in-process from a copy of the driver folder
# (its message table, NOVRIX_S.DLL's template 211 and NOVRIX_R.DLL's clip 11141).
if(NOT WIN32 AND TARGET novrix_module_core)
  novrix_add_test(busy_window_tests
    SOURCES module/busy_window_test.cpp
    LINK novrix_module_core)
  add_dependencies(busy_window_tests novrix_module novrix_host novrix_image_resources novrix_dialog_resources
                   novrix_sample_model)
endif()
