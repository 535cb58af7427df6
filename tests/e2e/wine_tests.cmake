# End-to-end tests of the Windows programs under wine64 and Xvfb. They run
# the 64-bit build in build-win64/bin (scripts/build-windows.sh) and are
# skipped when it or wine64 is missing.
set(TARVELIN_WINE_BIN ${CMAKE_SOURCE_DIR}/build-win64/bin CACHE PATH
    "Windows programs for the wine tests")
# The three run side by side, each with a Wine prefix and an Xvfb of its own.
set(wine_scripts wine_viewer wine_saver wine_saver_modes)
list(TRANSFORM wine_scripts PREPEND ${CMAKE_CURRENT_LIST_DIR}/ OUTPUT_VARIABLE paths)
list(TRANSFORM paths APPEND .sh)
add_test(NAME wine_e2e
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_parallel.sh 840 ${paths} -- ${TARVELIN_WINE_BIN})
set_tests_properties(wine_e2e PROPERTIES LABELS wine SKIP_RETURN_CODE 77 TIMEOUT 900)
