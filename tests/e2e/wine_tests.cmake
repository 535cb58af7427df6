# End-to-end tests of the Windows programs under wine64 and Xvfb. They run
# the 64-bit build in build-win64/bin (scripts/build-windows.sh) and are
# skipped when it or wine64 is missing.
set(TARVELIN_WINE_BIN ${CMAKE_SOURCE_DIR}/build-win64/bin CACHE PATH
    "Windows programs for the wine tests")
foreach(name wine_viewer wine_saver wine_saver_modes)
  # timeout ends a stuck run with TERM, so the script still clears away its
  # Xvfb and wineserver.
  add_test(NAME ${name}
    COMMAND timeout --kill-after=10 840 bash ${CMAKE_CURRENT_LIST_DIR}/${name}.sh ${TARVELIN_WINE_BIN})
  set_tests_properties(${name} PROPERTIES
    LABELS wine SKIP_RETURN_CODE 77 TIMEOUT 900 RUN_SERIAL TRUE)
endforeach()
