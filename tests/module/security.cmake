# The printer password cipher (its vectors come from the openssl command) and a
# printer's cipher with its key seed.
if(TARGET novrix_device)
  novrix_add_test(password_cipher_tests
    SOURCES module/password_cipher_test.cpp module/auth_capability_test.cpp
    LINK novrix_device)
endif()
if(TARGET novrix_module_core)
  novrix_add_test(printer_cipher_tests
    SOURCES module/printer_cipher_test.cpp module/user_settings_test.cpp support/sheet_builder.cpp
    LINK novrix_module_core novrix_hostsupport)
endif()
