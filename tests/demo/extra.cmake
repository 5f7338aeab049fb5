# The music tests encode their own MP3s.
target_link_libraries(kra_${name}_tests PRIVATE kra_lame)
# The option tests run the demo program; the seek and golden tests read the built archive.
add_dependencies(kra_${name}_tests kra kra_data)
