# The viewer's tests run the program itself; the window test shares the one X server.
add_dependencies(kra_view_tests kra-view)
list(APPEND kra_test_properties RESOURCE_LOCK x_server)
if(kra_window_test_environment)
  add_dependencies(kra_view_tests kra_keep_modules_loaded)
  list(APPEND kra_test_properties ENVIRONMENT "${kra_window_test_environment}")
endif()
