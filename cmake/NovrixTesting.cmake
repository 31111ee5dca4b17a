# novrix_add_test(<name> SOURCES <src>... [LINK <lib>...] [PARTS <part>=<filter>...])
#
# One GoogleTest executable, registered with CTest.  With PARTS it is registered
# once per part, as <name>_<part> running the tests its --gtest_filter selects
# (the parts run side by side and each has its own time limit; give the last
# part a negative filter so that tests added later run somewhere).  Tests link the test support
# library, which gives every test its own platform root.  On the windows preset the
# executables are cross-built (to be run on Windows or under Wine) and not registered.
if(NOVRIX_TESTS)
  if(WIN32)
    if(NOT TARGET gtest)
      set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
      set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
      set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
      add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
    endif()
    set(NOVRIX_GTEST gtest gmock)
  else()
    find_package(GTest REQUIRED)
    set(NOVRIX_GTEST GTest::gtest GTest::gmock)
  endif()
endif()

function(novrix_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK;PARTS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/src" "${PROJECT_SOURCE_DIR}/tests")
  target_link_libraries(${name} PRIVATE novrix_test_support ${ARG_LINK} ${NOVRIX_GTEST})
  if(NOT WIN32)
    set(registered)
    if(ARG_PARTS)
      foreach(part IN LISTS ARG_PARTS)
        string(REGEX MATCH "^([^=]+)=(.*)$" matched "${part}")
        add_test(NAME ${name}_${CMAKE_MATCH_1} COMMAND ${name} --gtest_filter=${CMAKE_MATCH_2})
        list(APPEND registered ${name}_${CMAKE_MATCH_1})
      endforeach()
    else()
      add_test(NAME ${name} COMMAND ${name})
      set(registered ${name})
    endif()
    # A hung test fails after five minutes instead of stalling the whole run.
    set_tests_properties(${registered} PROPERTIES
      TIMEOUT 300
      ENVIRONMENT "NOVRIX_DRIVER_DIR=${NOVRIX_DRIVER_DIR};NOVRIX_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
  endif()
endfunction()
