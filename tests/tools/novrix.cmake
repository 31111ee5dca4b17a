# novrix: the real binary run on a private platform root (printers, preferences),
# and its page reading and answering on UITEST.DLL's dialogs.
if(TARGET novrix AND TARGET nvx_uidll)
  novrix_add_test(novrix_tests
    SOURCES tools/novrix_test.cpp tools/novrix_view_test.cpp tools/novrix_docs_test.cpp
      tools/novrix_fax_cover_test.cpp tools/novrix_busy_test.cpp tools/novrix_device_test.cpp tools/novrix_auth_test.cpp
      tools/novrix_directory_test.cpp tools/novrix_phonebook_test.cpp tools/novrix_setup_test.cpp
      tools/novrix_picture_test.cpp support/test_slapd.cpp support/kerberos_realm.cpp
      "${PROJECT_SOURCE_DIR}/tools/novrix/busy_line.cpp"
      "${PROJECT_SOURCE_DIR}/tools/novrix/page_view.cpp" "${PROJECT_SOURCE_DIR}/tools/novrix/answers.cpp"
      "${PROJECT_SOURCE_DIR}/tools/novrix/record_view.cpp"
    LINK novrix_module_core
    # Some sixty runs of the real binary, each a process of its own: in three
    # parts they run side by side, and each stays well inside its time limit
    # under the sanitizers on a loaded 2-core machine.
    PARTS "commands=NovrixTest.*"
          "sessions=NovrixDocs.*:NovrixSettingsTest.*:NovrixPresetsTest.*:NovrixFaxCoverTest.*"
          "others=-NovrixTest.*:NovrixDocs.*:NovrixSettingsTest.*:NovrixPresetsTest.*:NovrixFaxCoverTest.*")
  if(NOT WIN32)
    set_tests_properties(novrix_tests_commands novrix_tests_sessions novrix_tests_others PROPERTIES TIMEOUT 600)
  endif()
  target_include_directories(novrix_tests PRIVATE "${PROJECT_SOURCE_DIR}/tools/novrix"
    "${PROJECT_SOURCE_DIR}/tests/platform/uidlls")
  target_compile_definitions(novrix_tests PRIVATE NVX_NOVRIX_EXE="$<TARGET_FILE:novrix>"
    NVX_UIDLL_DIR="${NVX_UIDLL_DIR}" NVX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_dependencies(novrix_tests novrix nvx_uidll)
  find_package(nlohmann_json 3 REQUIRED)
  target_link_libraries(novrix_tests PRIVATE nlohmann_json::nlohmann_json util)  # util: forkpty
endif()
