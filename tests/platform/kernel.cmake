# Kernel conformance tests (files, find, code pages, profile files, synchronisation
# and threads, memory/locale/misc), written against the Win32 API only.
novrix_add_test(platform_kernel_tests SOURCES
  "${CMAKE_CURRENT_LIST_DIR}/kernel_files_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/kernel_find_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/kernel_codepage_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/kernel_profile_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/kernel_sync_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/kernel_thread_test.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/kernel_misc_test.cpp")
