# Read by CTest after the tests are discovered. When discovery happens as the
# tests run (the cross build's PRE_TEST mode), CMake 3.25 writes a LABELS list
# as separate words and the contract tests lose the back-end's label: give
# it back.
foreach(test IN LISTS quernel_contract_win32_TESTS)
  set_tests_properties("${test}" PROPERTIES LABELS "contract;win32")
endforeach()
