# The phone book's directory search against a throw-away slapd on 127.0.0.1
# (Debian: slapd; the test fails, never skips, where it cannot start).
if(TARGET novrix_phonebook_search)
  novrix_add_test(phonebook_search_tests
    SOURCES module/phonebook_search_test.cpp support/test_slapd.cpp
    LINK novrix_phonebook_search)
endif()
