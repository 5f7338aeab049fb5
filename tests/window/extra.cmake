# These tests share one X server: two fullscreen windows at once steal each other's focus.
list(APPEND kra_test_properties RESOURCE_LOCK x_server)
