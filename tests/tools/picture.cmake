# The record of GDI drawing and the pictures drawn from it (tools/picture).
if(TARGET novrix_picture)
  novrix_add_test(picture_tests SOURCES tools/picture_test.cpp LINK novrix_picture)
  find_package(PNG REQUIRED)
  target_link_libraries(picture_tests PRIVATE PNG::PNG)
endif()
