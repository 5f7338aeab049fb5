# The content tests link the tool's painting library; they also compare the archive the
# build made with a fresh one and run the tool itself, so both must be built first.
target_link_libraries(kra_assets_tests PRIVATE kra_assets_content)
add_dependencies(kra_assets_tests kra-assets kra_data kra-capture)

# The soundtrack's loudness as a viewer hears it: scripts/loudness captures it with
# kra-capture and meters it with ffmpeg's EBU R 128 filter. Only where ffmpeg is installed
# (scripts/deps installs it).
find_program(KRA_FFMPEG ffmpeg)
if(KRA_FFMPEG)
  set(kra_loudness_emulator)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    list(JOIN CMAKE_CROSSCOMPILING_EMULATOR " " kra_loudness_emulator)
    set(kra_loudness_emulator --emulator ${kra_loudness_emulator})
  endif()
  add_test(NAME SoundtrackLoudness
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/loudness --build ${CMAKE_BINARY_DIR} ${kra_loudness_emulator})
  set_tests_properties(SoundtrackLoudness PROPERTIES TIMEOUT 600)
endif()
