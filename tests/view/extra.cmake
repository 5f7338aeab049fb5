# The viewer's tests run the program itself; the window test shares the one X server.
add_dependencies(kra_view_tests kra-view)
list(APPEND kra_test_properties RESOURCE_LOCK x_server)
list(APPEND kra_test_properties ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan_suppressions.txt")
