novrix_add_test(common_tests SOURCES common/text_test.cpp)
