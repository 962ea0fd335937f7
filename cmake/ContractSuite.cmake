# quernel_contract_suite(<target> LABEL <label> SOURCES <harness sources...> LIBRARIES <libs...>)
# Builds the platform contract suite against one back-end: the shared test
# cases plus that back-end's MakeContractHarness().
function(quernel_contract_suite target)
  cmake_parse_arguments(ARG "" "LABEL" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${target} ${PROJECT_SOURCE_DIR}/tests/contract/contract_test.cpp ${ARG_SOURCES})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES} GTest::gtest_main)
  quernel_warnings(${target})
  gtest_discover_tests(${target} TEST_PREFIX "${ARG_LABEL}." DISCOVERY_TIMEOUT 120)
  # A label list does not survive gtest_discover_tests' PROPERTIES: label the
  # discovered tests from a file CTest reads after the discovery.
  set(labels ${CMAKE_CURRENT_BINARY_DIR}/${target}_labels.cmake)
  file(WRITE ${labels}
    "set_tests_properties(\${${target}_TESTS} PROPERTIES LABELS \"contract;${ARG_LABEL}\")\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${labels})
endfunction()
