# These tests share one X server: two fullscreen windows at once steal each other's focus.
list(APPEND kra_test_properties RESOURCE_LOCK x_server)
if(kra_window_test_environment)
  add_dependencies(kra_window_tests kra_keep_modules_loaded)
  list(APPEND kra_test_properties ENVIRONMENT "${kra_window_test_environment}")
endif()
