# The user interface of the platform layer: conformance tests of windows,
# messages, dialogs, controls and property sheets (written against Win32 only;
# the host-interface parts are Linux-only), and the test resource library
# UITEST.DLL with its .rc dialog templates.
set(NVX_UIDLL_SRC "${CMAKE_CURRENT_LIST_DIR}/uidlls")
set(NVX_UIDLL_DIR "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/testdlls")

novrix_add_dll(nvx_uidll NAME UITEST.DLL DIR "${NVX_UIDLL_DIR}"
  SOURCES "${NVX_UIDLL_SRC}/uitest.cpp" RC "${NVX_UIDLL_SRC}/uitest.rc")
target_include_directories(nvx_uidll PRIVATE "${CMAKE_CURRENT_LIST_DIR}")

novrix_add_test(platform_ui_tests SOURCES
  "${CMAKE_CURRENT_LIST_DIR}/ui_test_util.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/ui_window_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/ui_message_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/ui_dialog_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/ui_button_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/ui_edit_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/ui_list_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/ui_listview_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/ui_commonctl_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/ui_propsheet_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/ui_gdi_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/ui_resource_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/ui_thread_test.cpp")
target_include_directories(platform_ui_tests PRIVATE "${CMAKE_CURRENT_LIST_DIR}")
add_dependencies(platform_ui_tests nvx_uidll)

if(NOT WIN32)
  # The dialog template parser on its own, fed malformed templates.
  novrix_add_test(platform_ui_template_tests SOURCES
    "${CMAKE_CURRENT_LIST_DIR}/ui_template_parse_test.cpp"
    "${PROJECT_SOURCE_DIR}/src/platform/linux/user32/dlgtemplate.cpp")
endif()
