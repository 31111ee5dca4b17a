# Device-API link, connections and exports, against the device-API component.
if(TARGET novrix_device AND TARGET novrix_oapi)
  # A component with one function missing, to see the link refuse it.
  set(oapi_missing_dir "${CMAKE_BINARY_DIR}/test_drivers/oapi_missing")
  file(READ "${NOVRIX_OAPI_DEF}" oapi_def)
  string(REPLACE "    OAPIGetUserBoxList\n" "" oapi_def "${oapi_def}")
  file(CONFIGURE OUTPUT "${CMAKE_CURRENT_BINARY_DIR}/oapi_missing.def" CONTENT "${oapi_def}" @ONLY)
  novrix_add_dll(novrix_oapi_missing NAME NOVRIX_O.DLL
    SOURCES $<TARGET_OBJECTS:novrix_oapi_objects>
    DEF "${CMAKE_CURRENT_BINARY_DIR}/oapi_missing.def"
    DIR "${oapi_missing_dir}"
    LINK ${NOVRIX_OAPI_LINK})

  novrix_add_test(oapi_tests
    SOURCES
      module/oapi_link_test.cpp
      module/oapi_connection_test.cpp
      module/oapi_exports_test.cpp
      module/oapi_companion_test.cpp
      module/oapi_lock_test.cpp
      "${PROJECT_SOURCE_DIR}/src/device/oapi_exports.cpp"
    LINK novrix_device)
  target_compile_definitions(oapi_tests PRIVATE NVX_OAPI_MISSING_DIR="${oapi_missing_dir}")
  add_dependencies(oapi_tests novrix_oapi novrix_oapi_missing)
endif()
