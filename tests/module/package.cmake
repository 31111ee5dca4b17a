# The package reader, its loaders and the constraint block load, against packages
# built by vpdc's writer.
if(TARGET novrix_model_package AND TARGET novrix_vpdc_lib)
  novrix_add_test(package_tests
    SOURCES
      module/package_reader_test.cpp
      module/package_lists_test.cpp
      module/package_block_test.cpp
      module/package_file_test.cpp
    LINK novrix_model_package novrix_vpdc_lib)
endif()
