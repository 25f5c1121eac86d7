# The Windows build (make windows, which make test runs first) under Wine:
# the programs in dist/qorx-windows, each test in a fresh Wine prefix.
# Only the normal build runs them: they test the Windows programs, not this
# build's code.
if(QORX_SANITIZE)
  return()
endif()
set(QORX_WINDOWS_DIST ${PROJECT_SOURCE_DIR}/dist/qorx-windows)
set(with_wine ${CMAKE_CURRENT_SOURCE_DIR}/windows/with-wine)

# qorx-image.exe against the Linux qorx-image on the bad-file corpus, the
# fuzz seeds and the bundled pictures.
add_test(NAME wine_image_tool_test
  COMMAND ${with_wine} ${CMAKE_CURRENT_SOURCE_DIR}/windows/compare-image-tool $<TARGET_FILE:qorx-image>
    ${QORX_WINDOWS_DIST} ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus ${CMAKE_BINARY_DIR}/tests/fuzz/seeds
    ${PROJECT_SOURCE_DIR}/assets)
set_tests_properties(wine_image_tool_test PROPERTIES TIMEOUT 900)
