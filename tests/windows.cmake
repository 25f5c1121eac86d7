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
# ... and on the PNG corpus of tests/image/png-corpus.
add_test(NAME wine_png_corpus_test
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/image/png-corpus $<TARGET_FILE:qorx-image> ${QORX_WINDOWS_DIST})
set_tests_properties(wine_png_corpus_test PROPERTIES TIMEOUT 1200)

# qorx-demo.exe on a screen without its mode (Xvfb, 1024 x 768) and on one
# with it (Xorg's dummy driver, where the mode really switches).
add_executable(wine_demo_test windows/WineDemoTest.cpp)
target_link_libraries(wine_demo_test PRIVATE GTest::gtest GTest::gtest_main qorx_xprobe qorx_test_support)
target_include_directories(wine_demo_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
find_program(QORX_WINE wine REQUIRED)
target_compile_definitions(wine_demo_test PRIVATE QORX_WINDOWS_DIST="${QORX_WINDOWS_DIST}" QORX_WINE="${QORX_WINE}")
add_test(NAME wine_demo_scaled_test COMMAND ${QORX_WITH_X_SERVER} xvfb 1024x768x24 ${with_wine} $<TARGET_FILE:wine_demo_test>)
add_test(NAME wine_demo_mode_switch_test
         COMMAND ${QORX_WITH_X_SERVER} xorg-dummy env QORX_MODE_SWITCH=1 ${with_wine} $<TARGET_FILE:wine_demo_test>)
# Scene 1's length is timed from the screen, and the scenes count frames: a
# test beside it that takes a core would stretch the scene.
set_tests_properties(wine_demo_scaled_test wine_demo_mode_switch_test PROPERTIES TIMEOUT 900 SKIP_RETURN_CODE 77
                                                                                 RUN_SERIAL TRUE)

# The zip's licences (from the programs' link maps), icons and version
# information.
add_test(NAME windows_package_test
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/windows/check-package ${QORX_WINDOWS_DIST}
                 ${PROJECT_SOURCE_DIR}/build-windows/link-maps ${PROJECT_VERSION})
# No library under the GPL (jbigkit, libtiff's JBIG codec) in the programs.
add_test(NAME windows_links_no_gpl_test
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/support/check-licences windows-gpl ${PROJECT_SOURCE_DIR}/build-windows/link-maps)
