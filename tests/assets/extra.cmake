# The content tests link the tool's painting library; they also compare the archive the
# build made with a fresh one and run the tool itself, so both must be built first.
target_link_libraries(kra_assets_tests PRIVATE kra_assets_content)
add_dependencies(kra_assets_tests kra-assets kra_data)
