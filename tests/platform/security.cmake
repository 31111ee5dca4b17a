# Cryptography conformance tests (the CNG subset, CoCreateGuid), written against
# the Win32 API only and checked with published test vectors.
novrix_add_test(platform_security_tests SOURCES
  "${CMAKE_CURRENT_LIST_DIR}/security_bcrypt_test.cpp")
