# The audio tests encode their own MP3s.
target_link_libraries(kra_${name}_tests PRIVATE kra_lame)
