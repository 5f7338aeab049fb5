# The viewer's tests run the program itself; the window test shares the one X server.
add_dependencies(kra_view_tests kra-view)
list(APPEND kra_test_properties RESOURCE_LOCK x_server)
