# A short, repeatable libFuzzer run of the grid reader over its seed corpus; skipped
# (status 77) where clang++ is not installed.
add_test(NAME fuzz_terrain_loader_smoke
         COMMAND bash ${CMAKE_SOURCE_DIR}/fuzz/run.sh --smoke ${CMAKE_CURRENT_BINARY_DIR}/fuzz)
set_tests_properties(fuzz_terrain_loader_smoke PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)
