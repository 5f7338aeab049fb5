# These tests share one X server: two fullscreen windows at once steal each other's focus.
list(APPEND kra_test_properties RESOURCE_LOCK x_server)
# The X11, D-Bus and GL driver libraries SDL loads keep memory to the end of the process
# (some of it in driver modules already unloaded, which no suppression can name), so leak
# checking is left to the other suites.
list(APPEND kra_test_properties ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
