# The pages as a host runs them: the module loaded from a copy of the driver folder,
# its page procedures in property sheets and dialogs made from NOVRIX_S.DLL's
# templates, driven through the headless UI's host interface (Linux only).
if(NOT WIN32 AND TARGET novrix_module_core AND TARGET novrix_hostsupport AND TARGET novrix_vpdc_lib)
  novrix_add_test(pages_tests
    SOURCES
      pages/page_fixture.cpp
      pages/framework_test.cpp
      pages/basic_test.cpp
      pages/layout_test.cpp
      pages/layout_dialogs_test.cpp
      pages/finishing_test.cpp
      pages/finishing_full_test.cpp
      pages/cover_tab_test.cpp
      pages/custom_tab_test.cpp
      pages/quality_test.cpp
      pages/other_test.cpp
      pages/dialogs_test.cpp
      pages/sample_model_test.cpp
      pages/custom_paper_test.cpp
      pages/basic_paper_test.cpp
      pages/page_skeleton_test.cpp
      pages/cover_sheet_dialog_test.cpp
      pages/fax_logic_test.cpp
      pages/fax_tab_test.cpp
      pages/fax_send_test.cpp
      pages/speed_dials_test.cpp
      pages/directory_servers_test.cpp
      pages/directory_dialog_test.cpp
      pages/blank_ratio_test.cpp
      pages/user_auth_test.cpp
      pages/auth_settings_test.cpp
      pages/user_setting_t1_test.cpp
      pages/auth_server_test.cpp
      pages/preset_combo_test.cpp
      pages/stamp_tab_test.cpp
      pages/pictures_test.cpp
      support/sheet_builder.cpp
    LINK novrix_module_core novrix_hostsupport novrix_vpdc_lib novrix_picture)
  add_dependencies(pages_tests novrix_module novrix_host novrix_image_resources novrix_dialog_resources
                   novrix_sample_model)
  if(TARGET novrix_oapi)
    add_dependencies(pages_tests novrix_oapi)
  endif()
  add_dependencies(pages_tests novrix_fcscheck novrix_fontdata)
  if(TARGET novrix_phonebook)
    add_dependencies(pages_tests novrix_phonebook)
  endif()
  # A host library whose page hook takes over a message, put in place of NOVRIX_D.DLL.
  novrix_add_dll(nvx_pages_hookhost NAME NOVRIX_D.DLL DIR "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/testdlls/pagehook"
    SOURCES "${CMAKE_CURRENT_LIST_DIR}/hookhost/hook_host.cpp")
  add_dependencies(pages_tests nvx_pages_hookhost)
  target_compile_definitions(pages_tests PRIVATE
    NVX_PAGES_HOOK_HOST="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/testdlls/pagehook/NOVRIX_D.DLL"
    NVX_SAMPLE_RULES="${PROJECT_SOURCE_DIR}/model/NOVRIX_C.rules"
    NVX_SAMPLE_MODEL="${PROJECT_SOURCE_DIR}/model/NOVRIX_D.json")
endif()
