# Single sign-on against a throw-away Kerberos realm on the loopback (Linux: the
# KDC is Debian's krb5-kdc, started and stopped by each test).
if(NOT WIN32 AND TARGET novrix_module_core AND TARGET novrix_device_server)
  novrix_add_test(sign_on_tests
    SOURCES module/sign_on_test.cpp support/kerberos_realm.cpp
    LINK novrix_module_core novrix_device_server)
  add_dependencies(sign_on_tests novrix_module novrix_host novrix_oapi novrix_image_resources
                   novrix_dialog_resources novrix_sample_model)
endif()
