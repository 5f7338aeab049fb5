# The content checker's tests run its checks in-process and, once, the program itself.
target_link_libraries(kra_scene_tests PRIVATE kra_check_content)
add_dependencies(kra_scene_tests kra-check)
