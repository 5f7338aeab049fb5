# These tests share one X server: two fullscreen windows at once steal each other's focus.
list(APPEND kra_test_properties RESOURCE_LOCK x_server)
# D-Bus, which SDL opens for a window, keeps its connection to the end of the process: the
# one leak suppressed (tests/lsan_suppressions.txt), so a leak of ours in a window still fails.
list(APPEND kra_test_properties ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan_suppressions.txt")
